#pragma once
// Platform services for the benchmarks, which run with no operator: nothing may block, nothing
// is remembered.

#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"

#include <optional>

class QuietMessages : public MessageBoxes
{
public:
    void show(const QString&, const QString&, MessageIcon) override {}
    bool askYesNo(const QString&, const QString&) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};
class NoDialog : public FileDialog
{
public:
    std::optional<QString> choose(const FileDialogRequest&) override { return std::nullopt; }
};
class MemorySettings : public SettingsStore
{
public:
    std::optional<QString> value(const QString&, const QString&, const QString&) const override
    {
        return std::nullopt;
    }
    bool setValue(const QString&, const QString&, const QString&, const QString&, QString*) override
    {
        return true;
    }
};
