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

private:
    const Clock& clock;
};
