#include "platform/qt/qt_camera_source.h"

#include "platform/clock.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <algorithm>

QtCameraSource::QtCameraSource(const QString& description, const Clock& clock)
    : clock(clock), description(description), timeout(new QTimer(this))
{
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("The camera \"%1\" gave no picture within %2 s.")
                 .arg(this->description)
                 .arg(kVideoOpenTimeoutMs / 1000));
    });
    later(this, [](QtCameraSource* self) { self->begin(); });
}

QtCameraSource::~QtCameraSource()
{
    release(this, {camera, session, sink});
}

void QtCameraSource::begin()
{
    QCameraDevice device;
    if (description.isEmpty()) {
        device = QMediaDevices::defaultVideoInput();
    } else {
        for (const QCameraDevice& d : QMediaDevices::videoInputs())
            if (d.description() == description)
                device = d;
    }
    // Without a device GStreamer still shows a test picture: no camera is made at all.
    if (device.isNull()) {
        fail(description.isEmpty()
                 ? QStringLiteral("No camera was found.")
                 : QStringLiteral("The camera \"%1\" is not connected.").arg(description));
        return;
    }
    description = device.description();
    camera = new QCamera(device, this);
    if (camera->error() != QCamera::NoError) {
        fail(QStringLiteral("The camera \"%1\" cannot be used: %2")
                 .arg(description, camera->errorString()));
        return;
    }
    session = new QMediaCaptureSession(this);
    sink = new QVideoSink(this);
    session->setCamera(camera);
    session->setVideoSink(sink);
    connect(camera, &QCamera::errorOccurred, this, [this](QCamera::Error, const QString& text) {
        fail(QStringLiteral("The camera \"%1\" failed: %2").arg(description, text));
    });
    connect(sink, &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& f) { frameArrived(f); });
    timeout->start(kVideoOpenTimeoutMs);
    camera->start();
}

void QtCameraSource::fail(const QString& message)
{
    if (core.state == VideoState::Failed)
        return;
    timeout->stop();
    core.state = VideoState::Failed;
    core.message = message;
    later(this, [](QtCameraSource* self) {
        if (self->camera)
            self->camera->stop();
        self->core.tellState();
    });
}

void QtCameraSource::frameArrived(const QVideoFrame& f)
{
    // Frames count only while the camera runs: an inactive one may still deliver test
    // pictures.
    if (!f.isValid() || !camera || !camera->isActive() || core.state == VideoState::Failed)
        return;
    VideoFrame v;
    v.arrivalMs = clock.monotonicMs();
    v.startUs = std::max<qint64>(f.startTime(), 0);
    v.durationUs = f.endTime() > f.startTime() ? f.endTime() - f.startTime() : 0;
    v.image = paintableImage(f);
    if (core.state == VideoState::Opening) {
        timeout->stop();
        core.state = VideoState::Ready;
        core.frame = std::move(v);
        later(this, [](QtCameraSource* self) { self->core.tellState(); });
        return;
    }
    core.show(std::move(v));
}
