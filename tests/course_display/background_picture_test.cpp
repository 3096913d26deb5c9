#include "course_display/background_picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BackgroundPicture, ChooserStartsInThePicturesFolderWithBmpPreselected)
{
    QTemporaryDir program;
    const PictureLoadStart start = startPictureLoad(program.path());
    ASSERT_TRUE(std::holds_alternative<FileDialogRequest>(start));
    const FileDialogRequest& r = std::get<FileDialogRequest>(start);
    EXPECT_EQ(r.folder, QDir(program.path()).filePath(QStringLiteral("pictures")));
    EXPECT_TRUE(QDir(r.folder).exists());
    EXPECT_FALSE(r.forSaving);
    // Entries are name|pattern pairs; the preselected one (1-based) is the BMP entry.
    const QStringList parts = r.filter.split('|');
    ASSERT_GE(parts.size(), 2 * r.filterIndex);
    EXPECT_EQ(parts[2 * (r.filterIndex - 1)], QStringLiteral("Jump Picture Files (*.bmp)"));
    EXPECT_TRUE(r.filter.startsWith(QStringLiteral(
        "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|"
        "Jump Picture Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|")));
    EXPECT_TRUE(parts.contains(QStringLiteral("*.png")));
}

TEST(BackgroundPicture, FolderThatCannotBeMadeGivesTheWarning)
{
    QTemporaryDir program;
    // A file where the folder should be.
    QFile blocker(QDir(program.path()).filePath(QStringLiteral("pictures")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const PictureLoadStart start = startPictureLoad(program.path());
    ASSERT_TRUE(std::holds_alternative<QString>(start));
    EXPECT_EQ(std::get<QString>(start),
              QStringLiteral("Invalid path, change in configuration screen"));
}

} // namespace
