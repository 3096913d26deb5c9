#pragma once
// A calibrated slalom course on a plausible camera picture, set straight into Global as a
// completed calibration would leave it: the far gate (course y 0) near the top of the
// picture and narrow, the near gate (y -259) at the bottom and wide. Course x grows to the
// left on the screen, as the standard survey values put it.

#include "calibration/course_transform.h"
#include "calibration/grid_slots.h"
#include "calibration/setup_file.h"
#include "common/global.h"

#include <array>

inline std::array<ReferencePoint, 4> slalomMarks()
{
    // Upper right, lower right, upper left, lower left, in twips; survey in metres.
    return {{{{5100, 1200}, {0, 0}},
             {{7500, 6600}, {0, -259}},
             {{4500, 1200}, {2.5, 0}},
             {{1500, 6600}, {2.5, -259}}}};
}

inline void calibrateSlalom(Global& g)
{
    const auto marks = slalomMarks();
    const auto t = solveCourseTransform(marks);
    t->toMatrix(g.grid_matrix);
    g.ur_screen_x = marks[0].screen.x;
    g.ur_screen_y = marks[0].screen.y;
    g.lr_screen_x = marks[1].screen.x;
    g.lr_screen_y = marks[1].screen.y;
    g.ul_screen_x = marks[2].screen.x;
    g.ul_screen_y = marks[2].screen.y;
    g.ll_screen_x = marks[3].screen.x;
    g.ll_screen_y = marks[3].screen.y;
    for (int i = 1; i <= 4; ++i) {
        g.buoy_screen_x[size_t(i)] = marks[size_t(i - 1)].screen.x;
        g.buoy_screen_y[size_t(i)] = marks[size_t(i - 1)].screen.y;
        g.buoy_survey_x[size_t(i)] = marks[size_t(i - 1)].survey.x;
        g.buoy_survey_y[size_t(i)] = marks[size_t(i - 1)].survey.y;
    }
    g.cross_size = 90;
    g.setup_ok = 1;
}

// Screen point of a course point under the calibration in g (test convenience).
inline Point2 screenOf(const Global& g, double x, double y)
{
    return CourseTransform::fromMatrix(g.grid_matrix).toScreen({x, y})->point;
}
inline Point2 courseOf(const Global& g, double sx, double sy)
{
    return CourseTransform::fromMatrix(g.grid_matrix).toCourse({sx, sy})->point;
}

// A shipped setup file ("SlalomOK.ipt", "JumpOK.ipt"), loaded as the calibration screen
// loads it: the working calibration, setup_ok set. Its data for the test's own mappings;
// none (and nothing loaded) when the file cannot be read.
inline std::optional<SetupFileData> loadShippedSetup(Global& g, const QString& name)
{
    const SetupFileRead read = readSetupFile(QStringLiteral(":/program/") + name);
    if (read.data)
        applyLoadedSetup(g, *read.data, name);
    return read.data;
}
