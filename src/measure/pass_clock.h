#pragma once
// What times the samples of a pass, and what the pass gives it to take them with.
//
// A pass has lastSample() + 1 samples, sample i due at start + i x 100 ms on its clock: the
// wall clock (a camera or the overlay card: WallPassClock), a video file's media clock
// (MediaPassClock), or a recorded track, whose clock hands over every sample at once. The
// measurement model owns the pass: it readies a clock, sets the pass up, lets the clock take
// the samples due at the start, and stops the clock when the pass ends or is abandoned. The
// clock takes every sample through PassSampler, in order, each once; the sample that is
// the last ends the pass.

#include "measure/pass_record.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// The pass a clock takes samples of (the measurement model).
class PassSampler
{
public:
    virtual ~PassSampler() = default;

    // The index of the sample to take next: 0 at the start, lastSample() + 1 once all are.
    virtual int nextSample() const = 0;
    virtual int lastSample() const = 0;

    // A wake-up of the clock that takes samples: counted for the technician.
    virtual void countSampleTick() = 0;
    // Reads the line where it stands, on the boat marker's row, without moving anything: the
    // deviation the next live sample stores.
    virtual void readLiveDeviation() = 0;
    // The next sample with the deviation the latest input tick read (at most one input tick
    // old, on the row of the sample before); the boat marker then moves to this sample's place.
    virtual void takeLiveSample() = 0;
    // The next sample read at its own instant: the boat marker goes to the sample's place
    // first, the line is where the operator's devices hold it now, or at `lineX` twips when
    // given (as the pointer on that column puts it), and it is read on the marker's row. A
    // clock taking these checks no pass time of its own: its last sample's instant is the
    // end of the pass's time.
    virtual void takeSampleAtItsInstant(std::optional<double> lineX = std::nullopt) = 0;
    // The samples of one wake-up are taken: the screen shows them.
    virtual void samplesTaken() = 0;
    // The clock cannot finish the pass (the video went back, jumped, ended, was replaced):
    // nothing is recorded, the operator is told `why`, and the screen is armed again.
    virtual void giveUpPass(const QString& why) = 0;
};

class PassClock
{
public:
    virtual ~PassClock() = default;

    // Readies a pass of sampler.lastSample() + 1 samples; nothing is taken yet. When this
    // clock cannot time the pass it says why and changes nothing: a pass already running goes
    // on as it was.
    virtual std::optional<QString> prepare(PassSampler& sampler) = 0;
    // The pass is set up: the samples due at its start (sample 0, or every one).
    virtual void takeFirstSamples() = 0;
    // The pass ended or was abandoned: no more samples, no more wake-ups.
    virtual void stop() = 0;
    // Samples of a pass that this clock prepared are being taken.
    virtual bool timing() const = 0;
    // Milliseconds after the start at which the operator is shown how many samples the pass
    // had by then, for a pass of `lastSample` + 1 samples; none when the last sample itself
    // marks the end of the pass's time.
    virtual std::optional<int> timeCheckMs(int lastSample) const = 0;
    // Where the samples of the pass lie on a video, for the pass record; none on the wall
    // clock. Asked as the last sample ends the pass.
    virtual std::optional<MediaPass> mediaPass() const = 0;
};
