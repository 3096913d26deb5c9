#include "camera_model/pylon_in_picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::optional<double> pylonOffset(const uchar* grey, int stride, int width, int height,
                                  const PinholeCamera& camera, const BoatPose& boat)
{
    const auto low = camera.project({boat.x, boat.y, kWindshieldTopM + 0.1});
    const auto high = camera.project({boat.x, boat.y, kPylonTopM - 0.1});
    const auto beside = camera.project({boat.x + kPylonRadiusM, boat.y, kPylonTopM - 0.1});
    if (!low || !high || !beside)
        return std::nullopt;
    const int halfWindow = int(std::ceil(3 * std::fabs(beside->u - high->u))) + 3;
    double sum = 0.0;
    int rows = 0;
    for (int j = int(std::ceil(high->v)); j <= int(std::floor(low->v)); ++j) {
        // A vertical post is a straight line in the picture.
        const double expected = low->u + (high->u - low->u) * (j - low->v) / (high->v - low->v);
        const int first = int(std::floor(expected)) - halfWindow;
        const int last = int(std::ceil(expected)) + halfWindow;
        if (j < 0 || j >= height || first < 0 || last >= width)
            continue;
        const uchar* row = grey + qsizetype(j) * stride;
        std::vector<uchar> window(row + first, row + last + 1);
        std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
        const double water = window[window.size() / 2];
        const int darkest = int(std::min_element(row + first, row + last + 1) - row);
        if (water - row[darkest] < 30)
            continue;
        // The centroid of the darkness below a level a quarter of the way down from the water,
        // over the dark run around the darkest pixel only: symmetric edges pull it neither way,
        // and neither the water's ripple nor a buoy beside the post reaches it.
        const double level = water - 0.25 * (water - row[darkest]);
        int left = darkest, right = darkest;
        while (left > first && row[left - 1] < level)
            --left;
        while (right < last && row[right + 1] < level)
            ++right;
        double mass = 0.0, moment = 0.0;
        for (int i = left; i <= right; ++i) {
            mass += level - row[i];
            moment += (level - row[i]) * i;
        }
        sum += moment / mass - expected;
        ++rows;
    }
    if (rows < 5)
        return std::nullopt;
    return sum / rows;
}
