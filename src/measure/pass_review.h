#pragma once
// A measured pass looked at again on its video: the video, where on it the pass started, the
// frame each sample was taken on and where the operator held the line there, and stretches of
// the course (the buoy windows) as media times. The measurement screen shows the line as it
// was held over each frame; the pass itself stays as it was measured.

#include "common/run_info.h"
#include "measure/pass_record.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// A stretch of the pass on its video, from the frame of its first sample to the frame of its
// last.
struct ReviewWindow
{
    qint64 fromUs = 0;
    qint64 toUs = 0;
    QString label;
};

struct ReviewedPass
{
    QString videoFile;
    qint64 startUs = 0;                 // P0
    std::vector<qint64> sampleFramesUs; // by sample index
    std::vector<HeldLine> sampleLines;  // by sample index; empty when the line was not kept
    Direction direction = Direction::Toward;
    int passTenths = 0;
    std::vector<ReviewWindow> windows;
};

// The line on the frame starting at `frameStartUs`: the sample taken on that frame (the last
// one, should a frame hold two), else the last sample before it, for the line stood there until
// the next sample was read. None before the pass's first frame, after the frame of its last
// sample, or when the line was not kept.
struct HeldLineOnFrame
{
    int sample = 0;
    HeldLine line;
    bool takenOnThisFrame = false;
};
std::optional<HeldLineOnFrame> heldLineOn(const ReviewedPass& pass, qint64 frameStartUs);

// The stretch of the course from `startMetres` to `endMetres` from the entrance gate on the
// video: from the frame of the first sample inside it to the frame of the last. None when no
// sample of the pass lies inside.
std::optional<ReviewWindow> windowOnVideo(double startMetres, double endMetres, double courseLength,
                                          int passTenths, const std::vector<qint64>& sampleFramesUs,
                                          const QString& label);
