#pragma once
// The arithmetic of a measurement pass: the live deviation, the distance and boat position
// of each sample, the mandatory side of each stretch, and the summary at the end.

#include "common/run_info.h"
#include "measure/pass_record.h"

#include <QtGlobal>

inline constexpr qint64 kSamplePeriodMs = 100;
inline constexpr int kInputTickMs = 50;
inline constexpr int kRefreshMs = 1000;

// Deviation of the line from the ideal path in metres, rounded half up to 2 decimals.
double liveDeviation(double courseX, double centreLineX);

// Distance of sample `index` from the entrance gate, in metres (exactly the course length
// at index passTenths).
double sampleDistance(int index, int passTenths, double courseLength);

// Course y of the boat at `distance` from the entrance: coming toward the camera the boat
// runs from 0 to -length; going away from -259 to 0 (259 for both events).
double boatCourseY(double distance, Direction direction);

// The mandatory boundary of sample p: 1 = the left (low x) one, 0 = the right one. At p = 0
// no stretch applies and `previous` stands; going away the result is inverted.
int mandatorySide(int p, int passTenths, int previous, Direction direction);

// Mean and largest absolute deviation of the first `sampleCount` samples; the first index
// wins a tie. The index starts from 0 on every summary, so a pass of zeros reports frame 0.
void summarisePass(PassSamples& samples, int sampleCount);
