#pragma once
// The one owner of what lies under the calibration and measurement screens, shared by both:
// the overlay card (the screens stay magenta), a camera or a video file, and over any of them
// the operator's still picture ("Setup Picture"), which hides the moving picture until it is
// cleared.
//
// Switching keeps the source in use on screen until the new one has its first picture. A new
// source that fails is reported once ("Video" message) and dropped: after a file that fails
// the source in use stays; after a camera that fails the overlay card takes over (the live
// picture can then only come through the card, which keys the magenta). A source that opens
// with a notice (a file that ends early) is used, and the notice said once. A source in use that
// breaks down later is reported once and the overlay card takes over. The choice in use is
// kept in the settings store and restored by start().
//
// How the program uses it (one instance, made in main() beside the screens):
//   CourseVideo video(coursePicture, videoSources, settings, messages);
//   video.start(commandLine.choice);                 // else what was chosen last time
//   surface->showVideoOf(video);                     // each screen's drawing surface
//   connect(&video, &CourseVideo::frameShown, ...);  // the media-clock sample schedule
//   connect(&video, &CourseVideo::playbackChanged, ...);
// The "Video" menu (VideoMenu) and the transport (VideoTransport) act on it.

#include "app/video_choice.h"
#include "platform/ui/video_source.h"

#include <QImage>
#include <QObject>
#include <memory>
#include <optional>

class CoursePicture;
class MessageBoxes;
class SettingsStore;

class CourseVideo : public QObject
{
    Q_OBJECT
public:
    CourseVideo(CoursePicture& still, VideoSources& sources, SettingsStore& settings,
                MessageBoxes& messages, QObject* parent = nullptr);
    ~CourseVideo() override;

    // At start: the command line's choice when there is one, else the remembered one. When
    // it fails, the overlay card stays and is remembered instead.
    void start(const std::optional<VideoChoice>& fromCommandLine = std::nullopt);
    // The operator's choice. The overlay card takes over at once; a camera or file when its
    // first picture is there. Choosing what is in use does nothing.
    void choose(const VideoChoice& choice);

    // In use (what is on screen).
    const VideoChoice& choice() const { return inUse; }
    // Being opened, to take over when ready.
    std::optional<VideoChoice> opening() const;
    // Descriptions of the cameras the system lists, the default first.
    QStringList cameras() const;

    // The picture under the screens: the still picture, else the frame of the source in use,
    // else a null image (the key colour: the overlay card's picture, at the identity).
    const QImage& picture() const;
    // The camera or file in use; null for the overlay card.
    VideoSource* source() const { return current.get(); }
    // The video file in use; null for a camera or the overlay card.
    VideoFile* file() const { return currentFile; }
    // Sets the file's playback rate and tells every transport.
    void setRate(double rate);

    CoursePicture& stillPicture() { return still; }

Q_SIGNALS:
    // The picture under the screens changed: a new frame, a still picture set or cleared, a
    // new source.
    void pictureChanged(const QImage& picture);
    // Each new frame of the source in use, also while a still picture hides it, and its first
    // frame when it takes over: the clock of samples on a file.
    void frameShown(const VideoFrame& frame);
    // What the file in use did (play, pause, rate, seek, end).
    void playbackChanged(PlaybackChange change);
    void rateChanged(double rate);
    // Another source is in use (menus and transports follow).
    void choiceChanged(const VideoChoice& choice);

private:
    void open(const VideoChoice& choice);
    void stateOf(VideoSource* source);
    void adopt();
    void dropPending();
    void fallBackToOverlayCard();
    void keep(const VideoChoice& choice);
    void report(const QString& message);

    CoursePicture& still;
    VideoSources& sources;
    SettingsStore& settings;
    MessageBoxes& messages;

    VideoChoice inUse;
    std::unique_ptr<VideoSource> current;
    VideoFile* currentFile = nullptr;
    std::unique_ptr<VideoSource> pending;
    VideoFile* pendingFile = nullptr;
    VideoChoice pendingChoice;
    // The choice being opened came from start(): its failure also changes what is kept.
    bool pendingAtStart = false;
};
