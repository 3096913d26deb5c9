#pragma once
// A live picture for tests and benchmarks, delivered as a camera's is: frames in real time at
// a steady rate, each through the frame handler from the event loop, with its capture time.
// Every picture is drawn from its frame number alone (a textured course panning by, a boat
// crossing it), so that whoever receives a frame can draw it again and compare.

#include "platform/qt/qt_video_core.h"

#include <QElapsedTimer>
#include <QImage>
#include <QSize>
#include <optional>

class Clock;
class QTimer;

class LiveTestSource final : public CoreSource<VideoSource>
{
public:
    struct Options
    {
        QSize size{320, 240};
        int fps = 30;
        // The course under the boat; a drawn texture when null. Scaled to `size` once.
        QImage background;
    };

    LiveTestSource(const Options& options, const Clock& clock);
    ~LiveTestSource() override;
    bool live() const override { return true; }

    // The picture of frame n.
    QImage picture(int n) const;
    // How close a picture that came back (decoded from a recording) is to the one drawn: the
    // PSNR of their luma in dB, over the size they share.
    static double lumaPsnr(const QImage& back, const QImage& drawn);
    // Frame n's capture time (its VideoFrame's startUs): n frame periods after the first.
    qint64 captureUs(int n) const;
    // Frames delivered so far, and frames whose moment passed while the event loop was busy
    // (not delivered: a camera's driver drops them too).
    int delivered() const { return delivered_; }
    int skipped() const { return skipped_; }
    // No more frames after this one.
    void stop();

private:
    void tick();
    void scheduleNext();

    const Options options;
    const Clock& clock;
    QImage course;
    QElapsedTimer started;
    QTimer* timer = nullptr;
    int next = 0;
    int delivered_ = 0;
    int skipped_ = 0;
};

// The system's cameras with the live test source before them, as "Live test source": for
// trying the program, and testing it, without a camera (wakeline --live-test-camera).
class WithLiveTestCamera final : public VideoSources
{
public:
    WithLiveTestCamera(VideoSources& system, const LiveTestSource::Options& options,
                       const Clock& clock)
        : system(system), options(options), clock(clock)
    {
    }

    static QString name() { return QStringLiteral("Live test source"); }
    // "WIDTHxHEIGHT" or "WIDTHxHEIGHT@FPS"; none when it is not one.
    static std::optional<LiveTestSource::Options> optionsFrom(const QString& text);

    QStringList cameras() const override { return QStringList{name()} + system.cameras(); }
    std::unique_ptr<VideoSource> openCamera(const QString& description) override;
    std::unique_ptr<VideoFile> openFile(const QString& path) override
    {
        return system.openFile(path);
    }

private:
    VideoSources& system;
    const LiveTestSource::Options options;
    const Clock& clock;
};
