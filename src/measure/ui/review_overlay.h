#pragma once
// A measured pass looked at again on the measurement screen: the video of the pass under the
// screen, opened at the pass's first frame, and over each frame shown the line where the
// operator held it then (in its own colour, apart from the line the operator moves now), with
// what the frame is to the pass in words. The buoy windows are marked on the transport's
// position slider. Nothing here changes the pass or its files; Start Pass measures the video
// again as a new pass, and the screen ends the review for it.
//
// A transparent child of the drawing surface that lets the mouse through, following the
// surface's size and mapping, and the video's frames at any rate, step or seek.

#include "course_display/picture_mapping.h"
#include "measure/line_record.h"
#include "measure/pass_review.h"

#include <QWidget>
#include <optional>

class CourseVideo;
class DrawingSurface;
class VideoTransport;
struct VideoFrame;

class ReviewOverlay : public QWidget
{
    Q_OBJECT
public:
    ReviewOverlay(DrawingSurface* surface, CourseVideo& video, VideoTransport& transport);

    // Opens the pass's video (unless it is in use) at the pass's first frame, paused. The held
    // line runs over `span`, as the measurement line does.
    void begin(const ReviewedPass& pass, const LineSpan& span);
    // The review is over: nothing drawn, no marks on the slider.
    void end();
    bool reviewing() const { return pass_.has_value(); }

    // For tests: the line drawn on the frame shown, and the words over the picture.
    const std::optional<HeldLineOnFrame>& heldLine() const { return held; }
    QString caption() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onThePassVideo() const;
    void followChoice();
    void frameShown(const VideoFrame& frame);
    void goToFirstFrame();

    DrawingSurface* surface;
    CourseVideo& video;
    VideoTransport& transport;
    PictureMapping mapping;
    std::optional<ReviewedPass> pass_;
    LineSpan span;
    bool waitingForVideo = false;
    std::optional<qint64> frameUs; // start of the frame shown, once one is
    std::optional<HeldLineOnFrame> held;
};
