#pragma once
// Setup file commands of wakeline-cli: to-course, to-screen, check.

#include "cli/commands.h"

extern const CliCommand kToCourseCommand;
extern const CliCommand kToScreenCommand;
extern const CliCommand kCheckCommand;
