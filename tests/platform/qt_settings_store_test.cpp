#include "app/settings_keys.h"
#include "platform/qt/qt_platform.h"
#include "support/write_block.h"
#include "support/write_failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

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

namespace {

// The store's file in a folder the test breaks: missing (the store makes it), read-only, or
// a disk that fills half way through the new file.
class SettingsFileFailure : public testing::TestWithParam<Failure>
{
protected:
    void SetUp() override
    {
        root = GetParam() == Failure::FolderMissing
                   ? QDir(config.path()).filePath(QStringLiteral("gone/deeper"))
                   : config.path();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root);
    }
    bool write(const QString& value, QString* error = nullptr)
    {
        return store.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, value,
                              error);
    }

    QTemporaryDir config;
    QString root;
    QtSettingsStore store;
};

TEST_P(SettingsFileFailure, TheErrorNamesTheFileTheOldOneStaysAndTheNextWriteWorks)
{
    const QString file = QSettings(kSettingsApplication, kSettingsApplication).fileName();
    ASSERT_TRUE(file.startsWith(root)) << file.toStdString();
    QByteArray oldBytes;
    if (GetParam() != Failure::FolderMissing) {
        ASSERT_TRUE(write(QStringLiteral("Earlier")));
        oldBytes = bytesOf(file);
        ASSERT_FALSE(oldBytes.isEmpty());
    }
    QString error;
    bool written = false;
    {
        std::optional<WriteBlock> readOnly;
        std::optional<SizeLimit> full;
        if (GetParam() == Failure::FolderReadOnly)
            readOnly.emplace(QFileInfo(file).absolutePath());
        else if (GetParam() == Failure::DiskFull)
            full.emplace(rlim_t(oldBytes.size() / 2));
        written = write(QStringLiteral("Earlier and later"), &error);
    }

    if (GetParam() == Failure::FolderMissing) {
        EXPECT_TRUE(written) << error.toStdString();
        EXPECT_TRUE(QFile::exists(file));
        return;
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_EQ(bytesOf(file), oldBytes);
    // Remembered again once it can be.
    ASSERT_TRUE(write(QStringLiteral("Later")));
    EXPECT_NE(bytesOf(file), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, SettingsFileFailure, kAllFailures, failureName);

} // namespace
