#include "app/settings_keys.h"
#include "platform/qt/qt_platform.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The real store, pointed at a temporary folder so the user's own settings are never read
// or written.
TEST(QtSettingsStore, KeepsTheResultsFolderUnderKelvaneSettings)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QtSettingsStore store;
    EXPECT_FALSE(store.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath));

    QString error;
    ASSERT_TRUE(store.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath,
                               "D:\\Results\\", &error));
    EXPECT_EQ(store.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath),
              "D:\\Results\\");
    EXPECT_TRUE(
        store.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, "", &error));
    EXPECT_EQ(store.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath), "");

    QFile file(config.filePath("Kelvane/Kelvane.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("[Settings]"));
}
