#include "measure/pass_marker.h"

#include "common/date_forms.h"
#include "common/paths.h"

#include <QDir>
#include <QFile>

namespace {

const QString kFirstLine = QStringLiteral("Wakeline pass in progress");
const QString kStem = QStringLiteral("PassInProgress");
const QString kSuffix = QStringLiteral(".txt");
const QString kStartedForm = QStringLiteral("MM-dd-yyyy HH:mm:ss");

} // namespace

QString passMarkerText(const PassMarkerInfo& info)
{
    const QString nl = QString::fromLatin1(kCrLf);
    return kFirstLine + nl + dateText(info.started) + ' ' + timeText(info.started) + nl +
           info.skier + nl + info.event + nl + info.speed + nl;
}

std::optional<PassMarkerInfo> readPassMarker(const QString& text)
{
    const QStringList lines = splitLines(text);
    if (lines.size() != 5 || lines[0] != kFirstLine)
        return std::nullopt;
    PassMarkerInfo info;
    info.started = QDateTime::fromString(lines[1], kStartedForm);
    if (!info.started.isValid())
        return std::nullopt;
    info.skier = lines[2];
    info.event = lines[3];
    info.speed = lines[4];
    return info;
}

QStringList passMarkerFiles(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    // The names carry month, day and time: by name is by start within a year.
    for (const QString& name :
         dir.entryList({kStem + '*' + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

WriteResult PassMarker::passStarted(const QString& folder, const PassMarkerInfo& info)
{
    if (const WriteResult removed = passOver(); !removed)
        return removed;
    const QString stem = kStem + info.started.toString(QStringLiteral("MMdd-HHmmss"));
    const QString path = unusedFilePath(folder, stem, kSuffix);
    const WriteResult written = replaceFile(path, passMarkerText(info));
    if (written)
        path_ = path;
    return written;
}

WriteResult PassMarker::passOver()
{
    if (path_.isEmpty())
        return {};
    QFile f(path_);
    if (!f.remove() && f.exists())
        return {false, QStringLiteral("Could not remove the file %1: %2.")
                           .arg(QDir::toNativeSeparators(path_), f.errorString())};
    path_.clear();
    return {};
}
