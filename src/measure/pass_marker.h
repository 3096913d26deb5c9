#pragma once
// A small file in the results folder that stands while a pass is being measured. A pass lives
// in memory until it ends, so a program that finds a marker at start knows that a pass was
// lost because the program stopped during it, and can say which.

#include "common/text_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Which pass a marker stands for.
struct PassMarkerInfo
{
    QDateTime started;
    QString skier;
    QString event; // "Slalom" or "Jump"
    QString speed; // the speed choice's caption, "58/36"; empty when none was chosen
};

// The file's text: a first line that names it, then one line per item.
QString passMarkerText(const PassMarkerInfo& info);
// std::nullopt when the text is not a marker's (empty, cut short, or another file).
std::optional<PassMarkerInfo> readPassMarker(const QString& text);
// The markers lying in the folder, oldest first.
QStringList passMarkerFiles(const QString& folder);

// The marker of the pass running now: one at a time.
class PassMarker
{
public:
    // The pass starts: its marker is written in `folder` (replacing the marker of a pass
    // restarted before it ended).
    WriteResult passStarted(const QString& folder, const PassMarkerInfo& info);
    // The pass ended, was aborted or given up: its marker goes. Nothing to do without one.
    WriteResult passOver();
    // The marker standing now; empty when none.
    const QString& path() const { return path_; }

private:
    QString path_;
};
