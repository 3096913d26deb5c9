#pragma once
// Video sources a screen test scripts without GStreamer. Nothing happens by itself: the test
// says when a source is ready, fails, shows a frame or reports a playback change, as the real
// player would from its event loop. Controls on a file (play, steps, seeks, rate) are recorded
// in `calls` and change only the state a real file changes at once (playing, rate).

#include "platform/ui/video_source.h"

#include <QImage>
#include <QStringList>
#include <algorithm>
#include <vector>

class FakeVideoSources;

template <class Interface> class FakeSourceBase : public Interface
{
public:
    VideoState state() const override { return state_; }
    QString message() const override { return message_; }
    QString notice() const override { return notice_; }
    const VideoFrame& frame() const override { return frame_; }
    void setFrameHandler(std::function<void(const VideoFrame&)> handler) override
    {
        frameHandler = std::move(handler);
    }
    void setStateHandler(std::function<void()> handler) override
    {
        stateHandler = std::move(handler);
    }

    // The first picture is there. The handler may destroy the source: nothing follows it.
    void ready(const QImage& first, qint64 startUs = 0, const QString& notice = QString())
    {
        frame_ = {first, startUs, kFrameUs, 0};
        notice_ = notice;
        state_ = VideoState::Ready;
        tellState();
    }
    void fail(const QString& message)
    {
        message_ = message;
        state_ = VideoState::Failed;
        tellState();
    }
    // A new frame; without an image, one of the last frame's size.
    void showFrame(qint64 startUs, QImage image = QImage())
    {
        if (image.isNull()) {
            image = QImage(frame_.image.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
        }
        frame_ = {image, startUs, kFrameUs, 0};
        if (const auto handler = frameHandler)
            handler(frame_);
    }

    static constexpr qint64 kFrameUs = 40000;

protected:
    void tellState()
    {
        if (const auto handler = stateHandler)
            handler();
    }

    VideoState state_ = VideoState::Opening;
    QString message_;
    QString notice_;
    VideoFrame frame_;
    std::function<void(const VideoFrame&)> frameHandler;
    std::function<void()> stateHandler;
};

class FakeCamera : public FakeSourceBase<VideoSource>
{
public:
    FakeCamera(FakeVideoSources& sources, const QString& description)
        : description(description), sources(sources)
    {
    }
    ~FakeCamera() override;
    bool live() const override { return true; }

    const QString description;

private:
    FakeVideoSources& sources;
};

class FakeVideoFile : public FakeSourceBase<VideoFile>
{
public:
    FakeVideoFile(FakeVideoSources& sources, const QString& path) : path(path), sources(sources) {}
    ~FakeVideoFile() override;

    void play() override
    {
        calls << QStringLiteral("play");
        playing_ = true;
    }
    void pause() override
    {
        calls << QStringLiteral("pause");
        playing_ = false;
    }
    void stepForward() override
    {
        calls << QStringLiteral("stepForward");
        playing_ = false;
    }
    void stepBack() override
    {
        calls << QStringLiteral("stepBack");
        playing_ = false;
    }
    void setRate(double rate) override
    {
        calls << QStringLiteral("rate %1").arg(rate);
        rate_ = rate;
    }
    double rate() const override { return rate_; }
    void seek(qint64 positionUs) override { calls << QStringLiteral("seek %1").arg(positionUs); }
    bool playing() const override { return playing_; }
    qint64 positionUs() const override { return frame_.startUs; }
    qint64 durationUs() const override { return duration; }
    qint64 frameUs() const override { return kFrameUs; }
    void setChangeHandler(std::function<void(PlaybackChange)> handler) override
    {
        changeHandler = std::move(handler);
    }

    // What the player reports after the calls, as its event loop would.
    void tell(PlaybackChange change)
    {
        if (const auto handler = changeHandler)
            handler(change);
    }

    const QString path;
    QStringList calls;
    qint64 duration = 18000000;

private:
    FakeVideoSources& sources;
    bool playing_ = false;
    double rate_ = 1.0;
    std::function<void(PlaybackChange)> changeHandler;
};

class FakeVideoSources : public VideoSources
{
public:
    QStringList cameras() const override { return cameraList; }
    std::unique_ptr<VideoSource> openCamera(const QString& description) override
    {
        auto camera = std::make_unique<FakeCamera>(*this, description);
        liveCameras.push_back(camera.get());
        ++opened;
        return camera;
    }
    std::unique_ptr<VideoFile> openFile(const QString& path) override
    {
        auto file = std::make_unique<FakeVideoFile>(*this, path);
        liveFiles.push_back(file.get());
        ++opened;
        return file;
    }

    // The newest source still alive, or null.
    FakeCamera* camera() const { return liveCameras.empty() ? nullptr : liveCameras.back(); }
    FakeVideoFile* file() const { return liveFiles.empty() ? nullptr : liveFiles.back(); }

    QStringList cameraList;
    int opened = 0;
    std::vector<FakeCamera*> liveCameras; // in the order they were opened
    std::vector<FakeVideoFile*> liveFiles;
};

inline FakeCamera::~FakeCamera()
{
    std::erase(sources.liveCameras, this);
}

inline FakeVideoFile::~FakeVideoFile()
{
    std::erase(sources.liveFiles, this);
}
