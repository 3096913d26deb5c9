#pragma once
// A video file through Qt Multimedia's player: opened on its first frame after a check that
// its end can be shown, played, paused, stepped and sought with frame-exact positions. A file
// whose pictures stop before its stated length (cut short) opens with the length it really
// holds and a notice saying so.

#include "platform/qt/qt_video_core.h"
#include "platform/qt/video_end_search.h"

#include <QMediaPlayer>
#include <QStringList>
#include <optional>

class Clock;
class QTimer;
class QVideoSink;

class QtVideoFile final : public CoreSource<VideoFile>
{
public:
    // probeLimitMs: how long a frame near the end may take to come while the file opens.
    QtVideoFile(const QString& path, const Clock& clock, int probeLimitMs);
    ~QtVideoFile() override;

    void play() override;
    void pause() override;
    void stepForward() override;
    void stepBack() override;
    void setRate(double rate) override;
    double rate() const override { return rate_; }
    void seek(qint64 positionUs) override;
    bool playing() const override { return playing_; }
    qint64 positionUs() const override { return core.frame.startUs; }
    qint64 durationUs() const override { return durationUs_; }
    qint64 frameUs() const override { return frameUs_; }
    void setChangeHandler(std::function<void(PlaybackChange)> handler) override
    {
        changeHandler = std::move(handler);
    }

private:
    // Opening: load, show the first frame (which gives the start offset and the frame
    // length), ask for a frame near the stated end; where there is none (a file cut short),
    // search for the last frame; then back to the first.
    enum class Phase { Loading, FirstFrame, ProbeEnd, SearchEnd, Rewind, Ready, Failed };

    void begin();
    void status(QMediaPlayer::MediaStatus s);
    void frameArrived(const QVideoFrame& f);
    void arm(int ms, const QString& reason);
    void fail(const QString& reason);
    void failSoon();
    void becomeReady(VideoFrame first);
    void tell(PlaybackChange change);
    // Paused: shows the frame starting at startUs, and no other frame until it comes.
    void holdAt(qint64 startUs);
    // One seek at a time: a seek asked for while another is under way replaces any that
    // waits, and goes to the player once that one has landed. Sent earlier, it held up the
    // user-interface thread for up to 300 ms.
    void seekTo(qint64 us);
    void sendSeek();
    void seekLanded();
    // Opening: whether a frame holds media time us. Played, not paused: a paused player
    // asked for an instant past the last frame never answers; a playing one meets the end.
    void probe(qint64 us);
    void probeAnswered();
    void endMet();
    void nextProbeOrRewind();
    QString stallReason(qint64 us) const;
    // Start of the frame holding media time us; frame n's start; the n of the frame at us.
    qint64 frameStartAt(qint64 us) const { return frameStart(frameIndexAt(us)); }
    qint64 frameStart(qint64 n) const;
    qint64 frameIndexAt(qint64 us) const;

    // The frame length until the first frame tells.
    static constexpr qint64 kFallbackFrameUs = 40000;

    const Clock& clock;
    QString path;
    int probeLimitMs;
    QMediaPlayer* player = nullptr;
    QVideoSink* sink = nullptr;
    QTimer* timeout = nullptr;
    QTimer* seekPatience = nullptr;
    QString timeoutReason;
    Phase phase = Phase::Loading;
    QStringList errors;
    bool failureQueued = false;
    std::function<void(PlaybackChange)> changeHandler;

    qint64 offsetUs = 0; // frame time minus position: the file's start delay
    double fps = 0.0;
    qint64 frameUs_ = kFallbackFrameUs;
    qint64 durationUs_ = 0;
    qint64 statedDurationUs = 0; // the container's
    QSize frameSize;
    qint64 probeUs = 0;
    std::optional<VideoEndSearch> endSearch;
    std::optional<qint64> seekWanted;   // waits for the seek under way
    std::optional<qint64> seekUnderWay; // sent to the player, not yet landed
    bool playing_ = false;
    bool atEnd = false;
    bool rateDue = false; // the rate goes to the pipeline once it plays
    double rate_ = 1.0;
    std::optional<qint64> holdUs;
};
