#pragma once
// The controls for playing a recorded pass, small enough for the screens' left column (at
// most 270 pixels wide, two rows): play/pause, one frame back, one frame forward and the
// playback rate (0.25, 0.5, 1, 2); a position slider and the media time
// ("00:12.440 / 00:18.000"). It is shown only while the picture under the screens comes from
// a video file.
//
// During a pass on a file the video may only go forward (the samples follow its clock): with
// setPassRunning(true) the step back and the slider refuse.
//
// Keys, on the window given to installShortcuts (shown in the tooltips):
//   P      play / pause
//   ,  .   one frame back / forward (the "<" and ">" keys)
//   [  ]   slower / faster
// Enter starts a pass, Space presses the focused button and the arrow keys move the line, so
// none of those is used; plain character keys are typed, not taken, while a text box has the
// focus. The controls never take the focus: a click on them leaves it on "Start Pass".
//
// How a screen uses it (one per screen, both following the same CourseVideo):
//   auto* transport = new VideoTransport(courseVideo, column);
//   columnLayout->addWidget(transport);
//   transport->installShortcuts(this);
//   ... transport->setPassRunning(true) when a pass starts, false when it ends.

#include "picture/ui/slider_marks.h"

#include <QWidget>

class CourseVideo;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class SliderMarkStrip;

class VideoTransport : public QWidget
{
    Q_OBJECT
public:
    explicit VideoTransport(CourseVideo& video, QWidget* parent = nullptr);

    void installShortcuts(QWidget* window);
    void setPassRunning(bool running);
    bool passRunning() const { return passRunning_; }

    // "mm:ss.mmm" for a media time in microseconds (minutes go past 59).
    static QString mediaTime(qint64 us);

    // The actions behind the buttons and keys; each does nothing when it does not apply.
    // Moments of the video marked on the position slider, drawn over its groove; replaces all.
    void setMarks(std::vector<SliderMark> marks);
    const std::vector<SliderMark>& marks() const { return marks_; }

    void playOrPause();
    void frameBack();
    void frameForward();
    void slower();
    void faster();

private:
    void followSource();
    void showPosition(qint64 us);
    void showPlaying();
    void showRate();
    void seekTo(int ms);

    CourseVideo& video;
    bool passRunning_ = false;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnFrameBack = nullptr;
    QPushButton* btnFrameForward = nullptr;
    QComboBox* cbRate = nullptr;
    QSlider* sldPosition = nullptr;
    QLabel* lblMediaTime = nullptr;
    std::vector<SliderMark> marks_;
    SliderMarkStrip* markStrip = nullptr;
};
