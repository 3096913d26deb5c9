#pragma once
// The worked-example slalom calibration shared by the calibration and display tests: marks upper
// right (520, 300), lower right (700, 900), upper left (470, 300), lower left (300, 900)
// over the end gates (0, 0), (0, -259), (2.5, 0), (2.5, -259).

#include "calibration/course_transform.h"

#include <gtest/gtest.h>

inline CourseTransform workedExampleTransform()
{
    const std::array<ReferencePoint, 4> points{{{{520, 300}, {0, 0}},
                                                {{700, 900}, {0, -259}},
                                                {{470, 300}, {2.5, 0}},
                                                {{300, 900}, {2.5, -259}}}};
    const auto solved = solveCourseTransform(points);
    EXPECT_TRUE(solved.has_value());
    return solved.value_or(CourseTransform{});
}
