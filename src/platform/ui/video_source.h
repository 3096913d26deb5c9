#pragma once
// The moving picture under the screens: a camera, or a video file the operator plays, pauses,
// steps and seeks (screens only: the image type is QtGui's).
//
// Opening never replaces what is on screen by itself: a new source starts in Opening and
// reports once, through its state handler, that it is Ready (a first frame is there) or that
// it Failed (message() says why, naming the file). The caller keeps its previous source until
// then, and drops the new one on failure. Handlers run on the user-interface thread from the
// event loop, never inside a call made on the source; a handler may destroy the source.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

// One picture as it goes on screen.
struct VideoFrame
{
    QImage image;          // converted once, ready to paint
    qint64 startUs = 0;    // media time the frame starts; for a file, on the position clock
    qint64 durationUs = 0; // media time it covers (0 when unknown)
    qint64 arrivalMs = 0;  // monotonic milliseconds at arrival (the Clock's monotonicMs)
};

enum class VideoState { Opening, Ready, Failed };

class VideoSource
{
public:
    virtual ~VideoSource() = default;
    virtual VideoState state() const = 0;
    // The operator's message when the source failed; empty otherwise.
    virtual QString message() const = 0;
    // What the operator should know about a source that opened and can be used, said once
    // when it is Ready (a file whose pictures stop before its stated length); empty otherwise.
    virtual QString notice() const = 0;
    bool hasPicture() const { return state() == VideoState::Ready; }
    // A picture taken as it comes (a camera), which is gone unless recorded; a video file's
    // is not.
    virtual bool live() const { return false; }
    // The frame on screen (a null image before the first).
    virtual const VideoFrame& frame() const = 0;
    // Called with each new frame.
    virtual void setFrameHandler(std::function<void(const VideoFrame&)> handler) = 0;
    // Called when the state changes: once to Ready or Failed, and to Failed if a source that
    // was Ready breaks down (the last frame stays).
    virtual void setStateHandler(std::function<void()> handler) = 0;
};

// What a file's playback did, for whoever times samples on its clock.
enum class PlaybackChange {
    Playing,     // play, or a resume; rate() holds the rate
    RateChanged, // while playing
    Paused,      // the frame on screen stays, and positionUs() lies in it
    Seeked,      // a jump other than a one-frame step
    EndOfMedia   // no frame follows the one on screen (played to the end, or stepped past it)
};

class VideoFile : public VideoSource
{
public:
    virtual void play() = 0;
    virtual void pause() = 0;
    // One frame on or back, paused (a playing video pauses first).
    virtual void stepForward() = 0;
    virtual void stepBack() = 0;
    // 0.25, 0.5, 1 or 2; takes effect at once while playing, else at the next play().
    virtual void setRate(double rate) = 0;
    virtual double rate() const = 0;
    // To the frame holding positionUs (clamped to the video).
    virtual void seek(qint64 positionUs) = 0;
    virtual bool playing() const = 0;
    // Media time of the frame on screen.
    virtual qint64 positionUs() const = 0;
    // The length that can be shown: the container's, or where the pictures of a file cut
    // short stop (the end of its last frame).
    virtual qint64 durationUs() const = 0;
    // Media time from one frame to the next.
    virtual qint64 frameUs() const = 0;
    virtual void setChangeHandler(std::function<void(PlaybackChange)> handler) = 0;
};

class VideoSources
{
public:
    virtual ~VideoSources() = default;
    // Descriptions of the cameras present, the default first.
    virtual QStringList cameras() const = 0;
    // The camera with this description; the default camera when empty.
    virtual std::unique_ptr<VideoSource> openCamera(const QString& description) = 0;
    virtual std::unique_ptr<VideoFile> openFile(const QString& path) = 0;
};
