// Main of the logic tests: a core application, no display, no widgets. Settings go to
// QStandardPaths' test locations, never the real user's.

#include "support/run_tests.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return runTestsLeavingNoFiles();
}
