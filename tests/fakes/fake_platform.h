#pragma once
// Platform fakes: scripted answers for dialogs and boxes, a record of every message, a
// clock the test sets, an in-memory settings store.

#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/picture_source.h"
#include "platform/platform.h"
#include "platform/settings_store.h"

#include <QMap>
#include <deque>

class FakeSettingsStore : public SettingsStore
{
public:
    std::optional<QString> value(const QString& application, const QString& section,
                                 const QString& key) const override;
    bool setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value, QString* error) override;

    QMap<QString, QString> values; // "application/section/key" -> text
    bool failWrites = false;
    int writes = 0;
};

class FakeFileDialog : public FileDialog
{
public:
    std::optional<QString> choose(const FileDialogRequest& request) override;

    std::deque<std::optional<QString>> answers; // std::nullopt = cancel
    std::vector<FileDialogRequest> requests;
};

struct ShownMessage
{
    QString text;
    QString title;
    MessageIcon icon;
};

class FakeMessageBoxes : public MessageBoxes
{
public:
    void show(const QString& text, const QString& title, MessageIcon icon) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& initial) override;

    std::vector<ShownMessage> shown;
    std::vector<QString> questions;
    std::vector<QString> prompts;
    std::deque<bool> yesNoAnswers;            // default No
    std::deque<std::optional<QString>> inputs; // default cancel
};

class FakeClock : public Clock
{
public:
    QDateTime now() const override { return nowValue; }
    qint64 monotonicMs() const override { return ms; }

    QDateTime nowValue = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
    qint64 ms = 0;
};

class FakePictureSource : public PictureSource
{
public:
    QImage load(const QString& path) override;
    QImage clipboardImage() override { return clipboard; }

    QImage clipboard;
};

// All fakes together, with the Platform bundle the screens take.
struct FakePlatform
{
    FakeSettingsStore settings;
    FakeFileDialog fileDialog;
    FakeMessageBoxes messages;
    FakeClock clock;
    FakePictureSource pictures;
    Platform platform{settings, fileDialog, messages, clock, pictures};
};
