// Screen tests run on a display of 1024 x 768 pixels, the size of the standard camera's
// picture, so a layout that fits here fits the smallest screen the program is used on.
// (The offscreen platform's own display is 800 x 800.)

#include "support/paths.h"
#include "support/run_tests.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform == "offscreen" || (platform.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY"))) {
        const QString config = sourcePath(QStringLiteral("tests/support/offscreen_1024x768.json"));
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return runTestsLeavingNoFiles();
}
