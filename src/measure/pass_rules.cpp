#include "measure/pass_rules.h"

#include "common/number_forms.h"

#include <cmath>

double liveDeviation(double courseX, double centreLineX)
{
    return roundHalfUp(courseX - centreLineX, 2);
}

double sampleDistance(int index, int passTenths, double courseLength)
{
    if (passTenths <= 0)
        return 0.0;
    return (double(index) / double(passTenths)) * courseLength;
}

double boatCourseY(double distance, Direction direction)
{
    return direction == Direction::Toward ? -distance : distance - 259.0;
}

int mandatorySide(int p, int passTenths, int previous, Direction direction)
{
    int side = previous;
    if (p > 0) {
        // Stretch ends as fractions of the slalom course; jump uses the same fractions.
        const double t = double(passTenths);
        if (p < t * 47 / 259)
            side = 0;
        else if (p < t * 88 / 259)
            side = 1;
        else if (p < t * 129 / 259)
            side = 0;
        else if (p < t * 170 / 259)
            side = 1;
        else if (p < t * 211 / 259)
            side = 0;
        else
            side = 1;
    }
    if (direction != Direction::Toward)
        side = side == 0 ? 1 : 0;
    return side;
}

void summarisePass(PassSamples& s, int sampleCount)
{
    s.meanAbsDeviation = 0.0;
    s.maxAbsDeviation = 0.0;
    s.maxDeviationIndex = 0;
    s.sampleCount = sampleCount;
    const int n = std::min(sampleCount, PassSamples::kCapacity);
    double sum = 0.0;
    for (int j = 0; j < n; ++j) {
        const double a = std::abs(s.deviations[size_t(j)]);
        sum += a;
        if (a > s.maxAbsDeviation) {
            s.maxAbsDeviation = a;
            s.maxDeviationIndex = j;
        }
    }
    s.meanAbsDeviation = n > 0 ? sum / n : 0.0;
}
