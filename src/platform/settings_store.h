#pragma once
// The per-user settings store: one text value by application, section and key.

#include <QString>
#include <optional>

class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // std::nullopt when the setting does not exist.
    virtual std::optional<QString> value(const QString& application, const QString& section,
                                         const QString& key) const = 0;
    // False when the store could not be written (the reason in *error when given).
    virtual bool setValue(const QString& application, const QString& section, const QString& key,
                          const QString& value, QString* error = nullptr) = 0;
};
