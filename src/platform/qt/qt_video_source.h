#pragma once
// Cameras and video files through Qt Multimedia on its GStreamer backend. Frames come from a
// QVideoSink, never a QVideoWidget (a native window that hides whatever is drawn over it), so
// the screens paint them under their own drawing.

#include "platform/ui/video_source.h"

class Clock;

class QtVideoSources : public VideoSources
{
public:
    // Frames are stamped with the clock's monotonic milliseconds as they arrive.
    explicit QtVideoSources(const Clock& clock) : clock(clock) {}

    QStringList cameras() const override;
    std::unique_ptr<VideoSource> openCamera(const QString& description) override;
    std::unique_ptr<VideoFile> openFile(const QString& path) override;

    // How long a file being opened may take to show a frame near its end before its decoder
    // counts as stalled. A seek decodes from the key frame before it: in a 3840 x 2160 H.264
    // file with a key frame every 10 s that took 3.3 s here on an idle two-core machine and
    // 5.5 s with both cores busy.
    static constexpr int kEndProbeLimitMs = 20000;
    // Tests shorten it.
    void setEndProbeLimitMs(int ms) { endProbeLimitMs = ms; }

private:
    const Clock& clock;
    int endProbeLimitMs = kEndProbeLimitMs;
};
