#pragma once
// Where the results folder is kept in the per-user settings store.

#include <QString>

inline const QString kSettingsApplication = QStringLiteral("Kelvane");
inline const QString kSettingsSection = QStringLiteral("Settings");
inline const QString kSettingsResultsPath = QStringLiteral("resultspath");
