#pragma once
// What the program keeps in the per-user settings store.

#include <QString>

inline const QString kSettingsApplication = QStringLiteral("Kelvane");
inline const QString kSettingsSection = QStringLiteral("Settings");
inline const QString kSettingsResultsPath = QStringLiteral("resultspath");

// The video under the screens, in the same section: "videosource" is "overlay", "camera" or
// "file"; "camera" the chosen camera's description (empty: the system's default camera);
// "videofile" the file's path.
inline const QString kSettingsVideoSource = QStringLiteral("videosource");
inline const QString kSettingsCamera = QStringLiteral("camera");
inline const QString kSettingsVideoFile = QStringLiteral("videofile");

// The rule set of the per-buoy figures, in the same section: the file's name in the program
// folder's "rules" folder.
inline const QString kSettingsRuleSet = QStringLiteral("buoyrules");

// Whether the passes measured on a live picture are recorded, in the same section: "0" off,
// anything else (or nothing kept) on.
inline const QString kSettingsRecordLivePasses = QStringLiteral("recordlivepasses");
