// Main of the tests that drive widgets: screens need a QApplication; without a display the
// offscreen platform is used (test discovery runs the binaries at build time, outside CTest's
// environment). Settings go to QStandardPaths' test locations, never the real user's.

#include "support/run_tests.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return runTestsLeavingNoFiles();
}
