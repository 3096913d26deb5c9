#pragma once
// The track drawn over the picture: the path of the tracked point through the pass (bright up
// to the frame on screen, faint after it), and the point on the frame on screen in a ring
// whose colour says who put it there (green: the engine, blue: the operator, red: the frame
// the engine stopped on, its point only a guess), with the engine's confidence beside it. A
// transparent child of the drawing surface that lets the mouse through; positions are
// picture pixels and go on screen through the surface's mapping. The review's status line
// stands at the top of the picture, white on a dark band, readable over water and sky.

#include "course_display/picture_mapping.h"
#include "tracking/track.h"

#include <QWidget>

class TrackOverlay : public QWidget
{
public:
    explicit TrackOverlay(QWidget* surface);

    // The track under review and the line that says what it needs; none hides the overlay.
    void setReview(const Track* track, const QString& status);
    const QString& status() const { return status_; }
    // Frames tracked of those to track in the run going; total 0 when none runs.
    void setProgress(int done, int total);
    // The frame on screen starts at this media time.
    void setFrameUs(qint64 us);
    void setMapping(const PictureMapping& mapping);

    // The frame on screen's point, for tests: none when the track holds no frame there.
    const TrackPoint* pointOnScreen() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF onSurface(const TrackPoint& p) const;

    const Track* track = nullptr;
    QString status_;
    int done = 0;
    int total = 0;
    qint64 frameUs = 0;
    PictureMapping mapping;
};
