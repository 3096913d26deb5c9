#pragma once
// The standard slalom camera scaled to another picture size, as the camera model has it: its
// picture of the course (rendered once into tests/data: tracing it takes seconds) and where it
// puts the buoys.

#include <QImage>
#include <QPointF>
#include <array>
#include <vector>

struct ScaledCameraView
{
    QImage picture;
    // Upper right, lower right, upper left, lower left, in picture pixels: the order of the
    // setup file's rows.
    std::array<QPointF, 4> gates;
    // The twelve boat guide buoys with their course positions (metres).
    std::vector<std::pair<QPointF, QPointF>> guides;
};

// The picture is tests/data/slalom_course_WIDTHxHEIGHT.jpg (null when there is none).
ScaledCameraView standardSlalomCameraAt(int width, int height);
