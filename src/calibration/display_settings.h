#pragma once
// How marks are drawn over the picture, chosen on the calibration screen and followed by the
// measurement screen's marks.

#include "calibration/buoy_marking.h"

struct DisplaySettings
{
    // The cross size: half-length of a mark's cross in twips; the circles around the buoy
    // marks are twice as wide.
    int crossSize = CrossSizeScroll::Initial;
};
