#pragma once
// A camera through Qt Multimedia: frames from a QVideoSink while the camera runs.

#include "platform/qt/qt_video_core.h"

class Clock;
class QCamera;
class QMediaCaptureSession;
class QTimer;
class QVideoSink;

class QtCameraSource final : public CoreSource<VideoSource>
{
public:
    // The camera with this description; the default camera when empty.
    QtCameraSource(const QString& description, const Clock& clock);
    ~QtCameraSource() override;
    bool live() const override { return true; }

private:
    void begin();
    void fail(const QString& message);
    void frameArrived(const QVideoFrame& f);

    const Clock& clock;
    QString description;
    QCamera* camera = nullptr;
    QMediaCaptureSession* session = nullptr;
    QVideoSink* sink = nullptr;
    QTimer* timeout = nullptr;
};
