#pragma once
// A calibrated slalom course on a plausible camera picture, set straight into a calibration
// as a completed one would leave it: the far gate (course y 0) near the top of the picture
// and narrow, the near gate (y -259) at the bottom and wide. Course x grows to the left on
// the screen, as the standard survey values put it.

#include "calibration/calibration.h"
#include "calibration/course_transform.h"
#include "calibration/grid_slots.h"
#include "calibration/setup_file.h"

#include <array>

inline std::array<ReferencePoint, 4> slalomMarks()
{
    // Upper right, lower right, upper left, lower left, in twips; survey in metres.
    return {{{{5100, 1200}, {0, 0}},
             {{7500, 6600}, {0, -259}},
             {{4500, 1200}, {2.5, 0}},
             {{1500, 6600}, {2.5, -259}}}};
}

inline void calibrateSlalom(Calibration& c)
{
    const auto marks = slalomMarks();
    c.transform = *solveCourseTransform(marks);
    c.setReferencePoints(marks);
    c.complete = true;
}

// Screen point of a course point under the calibration (test convenience).
inline Point2 screenOf(const Calibration& c, double x, double y)
{
    return c.transform.toScreen({x, y})->point;
}
inline Point2 courseOf(const Calibration& c, double sx, double sy)
{
    return c.transform.toCourse({sx, sy})->point;
}

// A shipped setup file ("SlalomOK.ipt", "JumpOK.ipt"), loaded as the calibration screen
// loads it: the working calibration, complete. Its data for the test's own mappings; none
// (and nothing loaded) when the file cannot be read.
inline std::optional<SetupFileData> loadShippedSetup(Calibration& c, const QString& name)
{
    const SetupFileRead read = readSetupFile(QStringLiteral(":/program/") + name);
    if (read.data) {
        GridSlots slots;
        applyLoadedSetup(c, slots, *read.data, name);
    }
    return read.data;
}
