#pragma once
// Choices made on the command line for the whole run of the program.

struct ProgramOptions
{
    // --diagnostics: the measurement screen also shows its engine's counters (input and
    // sample ticks, mark redraws), for a technician checking the timing; an official never
    // needs them.
    bool diagnostics = false;
};
