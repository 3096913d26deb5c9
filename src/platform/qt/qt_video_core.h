#pragma once
// What the camera and the video file sources share: their state, the frame on screen and the
// handlers, the frame conversion, and the rules for calling back from the event loop.

#include "platform/ui/video_source.h"

#include <QCoreApplication>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <initializer_list>

class QVideoFrame;

// How long a camera or a file may take to give its first picture.
constexpr int kVideoOpenTimeoutMs = 5000;

// Runs `f` on `self` from the event loop, unless `self` is gone by then. The call is never
// made from inside the caller's own call, and a handler it reaches may destroy `self`.
template <class T, class F> void later(T* self, F f)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [p = QPointer<T>(self), f] {
            if (p)
                f(p.data());
        },
        Qt::QueuedConnection);
}

// The frame as an image the screens paint without another conversion.
QImage paintableImage(const QVideoFrame& frame);

// Qt objects that may be mid-signal when their owner is destroyed (a handler may destroy its
// source) are cut off from it and deleted by the event loop.
void release(QObject* owner, std::initializer_list<QObject*> objects);

// State, the frame on screen and the handlers, shared by both kinds of source.
class SourceCore
{
public:
    VideoState state = VideoState::Opening;
    QString message;
    QString notice;
    VideoFrame frame;
    std::function<void(const VideoFrame&)> frameHandler;
    std::function<void()> stateHandler;

    // Shows a frame: the handler is called last, so it may destroy the source.
    void show(VideoFrame f)
    {
        frame = std::move(f);
        if (const auto handler = frameHandler) {
            const VideoFrame shown = frame;
            handler(shown);
        }
    }
    void tellState()
    {
        if (const auto handler = stateHandler)
            handler();
    }
};

// A source's side of the interface that only hands out its core.
template <class Interface> class CoreSource : public QObject, public Interface
{
public:
    VideoState state() const override { return core.state; }
    QString message() const override { return core.message; }
    QString notice() const override { return core.notice; }
    const VideoFrame& frame() const override { return core.frame; }
    void setFrameHandler(std::function<void(const VideoFrame&)> handler) override
    {
        core.frameHandler = std::move(handler);
    }
    void setStateHandler(std::function<void()> handler) override
    {
        core.stateHandler = std::move(handler);
    }

protected:
    SourceCore core;
};
