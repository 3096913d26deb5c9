#pragma once
// The media clock of a pass: a video file under the screen times it (MediaSampleSchedule).
// The pass starts on the frame on screen, and sample i is taken when the video reaches
// start + i x 100 ms, while the frame holding that instant is on screen, at any playback
// rate, paused, or stepped frame by frame. The screen forwards what the player does (frames,
// play, pause, seeks, the end), whether or not a pass runs, and this clock wakes itself at
// each sample's own instant. Each sample is read at its instant (PassSampler).

#include "measure/media_sample_schedule.h"
#include "measure/pass_clock.h"

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

class Clock;
class HiResTimer;
class HiResTimerFactory;

// The video file under the screen, whose clock times the passes.
struct MediaClockFile
{
    QString path;
    qint64 durationUs = 0; // 0 when unknown
};

class MediaPassClock : public QObject, public PassClock
{
    Q_OBJECT
public:
    explicit MediaPassClock(Clock& clock);
    ~MediaPassClock() override;

    // The wake-up at a sample's own instant ("media wake"), one shot at a time.
    void createTimer(HiResTimerFactory& timers);

    // The file under the screen; none for a camera or the overlay card. A pass running on
    // the file's clock is given up when the file is replaced.
    void setFile(const std::optional<MediaClockFile>& file);
    bool hasFile() const { return file_.has_value(); }

    // What the file's player did (media times in microseconds, on its position clock).
    void frameShown(qint64 startUs, qint64 durationUs);
    void playing(double rate); // play, resume or a new rate
    void paused();
    void seeked();
    void ended();
    // The wake-up at a sample's own instant within the frame on screen.
    void wake();

    std::optional<QString> prepare(PassSampler& sampler) override;
    void takeFirstSamples() override;
    void stop() override;
    bool timing() const override { return timing_; }
    std::optional<int> timeCheckMs(int) const override { return std::nullopt; }
    std::optional<MediaPass> mediaPass() const override;

Q_SIGNALS:
    // The player skipped the frame holding an instant of the pass (it fell behind): the
    // video is to pause and show the frame holding mediaUs. The seek is part of the pass.
    void showFrameAt(qint64 mediaUs);
    // That frame was taken: the video plays on.
    void playOn();

private:
    void takeSamples(const std::vector<int>& due);
    void takeHeldBackSamples();
    void afterPlayerEvent();

    Clock& clock;
    PassSampler* sampler = nullptr; // of the last pass prepared
    std::unique_ptr<HiResTimer> wakeTimer;
    std::optional<MediaClockFile> file_;
    MediaSampleSchedule schedule;
    bool timing_ = false;
    std::vector<int> firstDue; // the samples due at the start, until they are taken
    // Samples on the frame just shown, taken once it has reached the screen.
    std::vector<int> heldBack;
    bool videoPlaying = false;
    // A skipped frame asked for: the seeks that bring it are no jumps, and playing resumes
    // once it is taken.
    bool skippedFrameAsked = false;
    bool playAfterSkippedFrame = false;
    int ownSeeks = 0;
};
