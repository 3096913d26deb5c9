#include "app/program_folder.h"
#include "app/settings_keys.h"
#include "app/start_up.h"
#include "fakes/fake_services.h"
#include "support/write_block.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ProgramFolder, OverrideWinsThenWritableExecutableFolderThenUserData)
{
    QTemporaryDir exe, data, forced;
    EXPECT_EQ(resolveProgramFolder(forced.path(), exe.path(), data.path()), forced.path());
    EXPECT_EQ(resolveProgramFolder(QString(), exe.path(), data.path()), exe.path());
    // An executable folder that cannot take a file (here: it does not exist) is skipped.
    EXPECT_EQ(resolveProgramFolder(QString(), exe.filePath("missing"), data.path()), data.path());
}

TEST(ProgramFolder, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder)
{
    QTemporaryDir prefix, data;
    QDir(prefix.path()).mkpath("bin");
    writeFile(prefix.filePath("share/applications/wakeline.desktop"), "[Desktop Entry]\n");
    // The install folder is writable here (as it is for root), and still not used.
    EXPECT_EQ(resolveProgramFolder(QString(), prefix.filePath("bin"), data.path()), data.path());
}

TEST(ProgramFolder, FirstUseCopiesResourcesWithoutOverwritingTheOperatorsFiles)
{
    QTemporaryDir resources, folder;
    writeFile(resources.filePath("SlalomOK.ipt"), "built-in");
    writeFile(resources.filePath("pictures/slalom.png"), "picture");
    writeFile(folder.filePath("SlalomOK.ipt"), "the operator's own");

    EXPECT_TRUE(installBuiltInResources(folder.path(), resources.path()).isEmpty());

    EXPECT_EQ(readFile(folder.filePath("SlalomOK.ipt")), "the operator's own");
    EXPECT_EQ(readFile(folder.filePath("pictures/slalom.png")), "picture");
    EXPECT_TRUE(QFileInfo(folder.filePath("Default")).isDir());
    // The copy stays editable by the operator.
    EXPECT_TRUE(QFileInfo(folder.filePath("pictures/slalom.png")).isWritable());
}

TEST(ProgramFolder, FirstUseReportsWhatCouldNotBeMade)
{
    QTemporaryDir resources, parent;
    writeFile(resources.filePath("a.txt"), "x");
    writeFile(parent.filePath("blocker"), "a file where the folder should be");
    const QStringList failures =
        installBuiltInResources(parent.filePath("blocker/program"), resources.path());
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.first().contains("blocker"));
}

TEST(StartUp, MissingListFilesAreCreatedEmptyAndExistingOnesKept)
{
    QTemporaryDir folder;
    writeFile(folder.filePath("skiers.txt"), "Smith, John\r\n");
    EXPECT_TRUE(createMissingListFiles(folder.path()).isEmpty());
    for (NameList list : kNameListsInLoadOrder)
        EXPECT_TRUE(QFileInfo::exists(folder.filePath(nameListFile(list))));
    EXPECT_EQ(readFile(folder.filePath("skiers.txt")), "Smith, John\r\n");
    EXPECT_EQ(readFile(folder.filePath("drivers.txt")), "");
    EXPECT_EQ(readNameList(folder.filePath("skiers.txt")), (QStringList{"Smith", "John"}));
    EXPECT_TRUE(readNameList(folder.filePath("gone.txt")).isEmpty());
}

TEST(StartUp, ResultsFolderComesFromTheSettingWithItsTwoDefaults)
{
    FakeSettingsStore settings;
    EXPECT_EQ(initialResultsFolder(settings, "/prog"), "Default");
    settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, "", nullptr);
    EXPECT_EQ(initialResultsFolder(settings, "/prog"), "/prog");
    settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, "/data/r",
                      nullptr);
    EXPECT_EQ(initialResultsFolder(settings, "/prog"), "/data/r");
}

// The probe leaves the folder as it found it: no new file, an existing test.txt unchanged.
TEST(FolderCheck, ProbeLeavesNoFileAndAnExistingOneAsItWas)
{
    QTemporaryDir program;
    QDir(program.path()).mkdir("Default");
    const FolderCheck relative = checkResultsFolder("Default", program.path());
    EXPECT_TRUE(relative.ok);
    EXPECT_TRUE(QDir(program.filePath("Default")).isEmpty());

    writeFile(program.filePath("Default/test.txt"), "kept");
    EXPECT_TRUE(checkResultsFolder(program.filePath("Default"), program.path()).ok);
    EXPECT_EQ(readFile(program.filePath("Default/test.txt")), "kept");
}

// A folder that can create a file but not hold its bytes (a full disk; here a file size limit
// of a few bytes, or a read-only folder for a user that respects it) is refused, and neither a
// new probe file nor the probe's bytes stay behind.
TEST(FolderCheck, FolderThatTakesNoBytesIsRefused)
{
    QTemporaryDir program;
    const QString results = program.filePath("Default");
    QDir(program.path()).mkdir("Default");
    FolderCheck fresh;
    {
        WriteBlock block(results);
        fresh = checkResultsFolder("Default", program.path());
    }
    EXPECT_FALSE(fresh.ok);
    EXPECT_TRUE(fresh.error.startsWith(QStringLiteral("The results folder %1 cannot be used: ")
                                           .arg(QDir::toNativeSeparators(results))))
        << fresh.error.toStdString();
    EXPECT_FALSE(fresh.error.endsWith(": .")) << fresh.error.toStdString();
    EXPECT_TRUE(QDir(results).isEmpty());

    // Under the size limit one byte of the probe gets in before the write fails: taken back.
    writeFile(program.filePath("Default/test.txt"), "kep");
    {
        WriteBlock block(results);
        (void)checkResultsFolder(results, program.path());
    }
    EXPECT_EQ(readFile(program.filePath("Default/test.txt")), "kep");
}

TEST(FolderCheck, OneTrailingSeparatorIsRemoved)
{
    QTemporaryDir program;
    for (const QString& sep : {QStringLiteral("\\"), QStringLiteral("/")}) {
        const FolderCheck c = checkResultsFolder(program.path() + sep, program.path());
        EXPECT_TRUE(c.ok);
        EXPECT_TRUE(c.trimmed);
        EXPECT_EQ(c.folder, program.path());
    }
    const FolderCheck twice = checkResultsFolder(program.path() + "//", program.path());
    EXPECT_EQ(twice.folder, program.path() + "/");
}

TEST(FolderCheck, MissingFolderFailsWithThePlatformsText)
{
    QTemporaryDir program;
    const FolderCheck c = checkResultsFolder("Default", program.path());
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.error,
              QStringLiteral("The results folder %1 cannot be used: No such file or directory.")
                  .arg(QDir::toNativeSeparators(program.filePath("Default"))));
    EXPECT_FALSE(QFileInfo::exists(program.filePath("Default")));
}
