// Test main: screens need a QApplication; without a display the offscreen platform is
// used (test discovery runs the binaries at build time, outside CTest's environment).
// Settings go to QStandardPaths' test locations, never the real user's.

#include <QApplication>
#include <QDir>
#include <QSet>
#include <QStandardPaths>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

QSet<QString> entries(const QString& folder)
{
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return QSet<QString>(names.begin(), names.end());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // Tests write into temporary folders only. Under CTest they start in the build folder; a
    // file that appears there came from a test writing with a relative path (a start-up that
    // moves to the program folder hides it when the whole binary runs, not when one test does).
    // Listing the tests runs at build time, while other test programs are being linked there.
    const QString startFolder = QDir::currentPath();
    const QSet<QString> before = entries(startFolder);
    const int result = RUN_ALL_TESTS();
    if (::testing::GTEST_FLAG(list_tests))
        return result;
    QStringList left = (entries(startFolder) - before).values();
    if (left.isEmpty())
        return result;
    left.sort();
    std::fprintf(stderr, "Tests left files in the folder they started in (%s): %s\n",
                 qPrintable(QDir::toNativeSeparators(startFolder)), qPrintable(left.join(", ")));
    return 1;
}
