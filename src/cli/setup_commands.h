#pragma once
// Setup file commands of wakeline-cli: to-course, to-screen, check, and the setup file
// reading they share with the accuracy command.

#include "calibration/setup_file.h"
#include "cli/commands.h"

#include <optional>

extern const CliCommand kToCourseCommand;
extern const CliCommand kToScreenCommand;
extern const CliCommand kCheckCommand;

// Reads a setup file; on a malformed one writes the file, line and reason to standard error
// and gives no data.
std::optional<SetupFileData> readSetupOrReport(const QString& path, CliStreams& io);
// Reads a setup file as the calibration screen loads it: a file it refuses gives no data
// (file, line and reason on standard error); coefficients it solves again are replaced,
// with a note on standard error.
std::optional<SetupFileData> loadSetupOrReport(const QString& path, CliStreams& io);
