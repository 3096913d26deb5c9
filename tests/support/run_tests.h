#pragma once
// Runs the tests a main has set up, and fails the run when they left files in the folder they
// started in.

int runTestsLeavingNoFiles();
