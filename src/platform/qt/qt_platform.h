#pragma once
// The real platform services: QSettings, QFileDialog, QMessageBox, the system clock,
// QImageReader and the clipboard.

#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "platform/ui/picture_source.h"

#include <QElapsedTimer>

class QWidget;

class QtSettingsStore : public SettingsStore
{
public:
    std::optional<QString> value(const QString& application, const QString& section,
                                 const QString& key) const override;
    bool setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value, QString* error) override;
};

class QtFileDialog : public FileDialog
{
public:
    std::optional<QString> choose(const FileDialogRequest& request) override;
};

class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const QString& text, const QString& title, MessageIcon icon) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& initial) override;
};

class SystemClock : public Clock
{
public:
    SystemClock() { started.start(); }
    QDateTime now() const override;
    qint64 monotonicMs() const override;

private:
    QElapsedTimer started;
};

class QtPictureSource : public PictureSource
{
public:
    QImage load(const QString& path) override;
    QImage clipboardImage() override;
};

// Converts the "Name (*.ext)|*.ext|" filter list to QFileDialog's name filters, one per
// entry in the same order; "*.*" becomes "*", which also matches names without a dot.
QStringList qtFilters(const QString& filterList);
