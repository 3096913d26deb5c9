#pragma once
// The texts and visibilities the measurement model decides, each shown in one control of the
// measurement screen.

#include "common/run_info.h"

#include <QString>

// What the joystick last said: its status line and its raw readings.
struct JoystickTexts
{
    QString status;
    QString x;
    QString y;
};

struct MeasureView
{
    // The pass.
    QString deviation;   // the live deviation, metres
    QString sample;      // the index of the sample just taken
    QString distance;    // its distance from the entrance gate, metres
    QString startTime;   // when the pass started, time of day
    QString endTime;     // when it ended
    QString sampleCount; // the samples of the finished pass
    QString inputTicks;  // input ticks of the pass (for a technician)
    QString sampleTicks; // sample ticks of the pass (for a technician)
    QString markRedraws; // how often the buoy and course marks were drawn (for a technician)
    // "Time" until the pass's time runs out by the clock, then the samples taken by then.
    QString timeLabel = QStringLiteral("Time");
    bool timeLabelVisible = false;
    bool doneVisible = false; // "Done": the pass has ended
    JoystickTexts joystick;

    // The run.
    QString driver;
    QString boatMaker;
    QString skier;
    QString boatModel;
    QString eventTitle; // "Slalom" or "Jump"
    bool lineLengthVisible = true;
    bool jumpBoundaryVisible = false; // the jump boundary width and its caption
    bool jumpPathsVisible = false;    // the jump path choices (monitoring a jump)

    // The display options.
    // "Click Mouse to Start Measuring", only while a pass waits for that click.
    bool mouseStartHintVisible = false;
    bool redGreenLegendVisible = false;    // "Red - Mandatory  Green - Optional"
    bool blackYellowLegendVisible = false; // "Black - Mandatory  Yellow - Optional"
    bool styleLegendVisible = true;        // "Solid-Mandatory, dashed-Optional"
};

// The run's texts (the people, the boat, the event) and what shows with the event.
void showRun(MeasureView& view, const RunInfo& run, bool viewOnly);
