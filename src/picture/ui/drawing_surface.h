#pragma once
// The drawing area of the calibration and measurement screens: the magenta key colour (or
// the picture under the screens: a still picture, a camera or video frame) as the background,
// and a retained drawing over it, so that marks survive the window being covered.
// Clearing the drawing never touches the background or the controls placed on top.
// Shapes drawn in the key colour magenta erase earlier drawing where they fall.
//
// Draw calls and mouse events are in picture twips: the surface converts through its
// PictureMapping, the one conversion every screen shares. The drawing is kept as its list of
// shapes and rasterised into a cached layer in surface pixels, rebuilt only when the mapping
// or the size changes (a new frame never re-rasterises it); pen widths stay in pixels.
//
// How a screen uses it:
//   surface->showVideoOf(courseVideo);          // instead of showPictureOf: the still
//                                               // picture is part of what it shows
//   // pictures fill the area right of the column
//   surface->fitPicturesBeside(kControlColumnWidth);
//   connect(surface, &DrawingSurface::mappingChanged, lineOverlay, &LineOverlay::setMapping);
//   lineOverlay->setMapping(surface->mapping());
// Until fitPicturesBeside or setMapping is called, a picture is shown at its own size from
// the surface's top-left corner (the identity), as before.

#include "common/overlay.h"
#include "course_display/picture_mapping.h"

#include <QImage>
#include <QWidget>
#include <vector>

class CoursePicture;
class CourseVideo;

class DrawingSurface : public QWidget
{
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    void setBackgroundPicture(const QImage& picture); // a null image clears it
    // Shows the shared course picture, now and whenever it changes.
    void showPictureOf(const CoursePicture& picture);
    // Shows what lies under the screens (still picture, camera or video frame, or the key
    // colour), now and whenever it changes, frame by frame.
    void showVideoOf(const CourseVideo& video);
    const QImage& backgroundPicture() const { return picture; }
    bool hasBackgroundPicture() const { return !picture.isNull(); }

    // From now on every picture is scaled to fit the area right of a control column of
    // `columnWidth` pixels, aspect kept, from the area's top-left; with no picture (the
    // overlay card) the mapping is the identity over the whole surface. Followed on resize
    // and on a picture of another size.
    void fitPicturesBeside(int columnWidth);
    // A fixed mapping from now on: the picture is drawn into its placement.
    void setMapping(const PictureMapping& mapping);
    const PictureMapping& mapping() const { return mapping_; }

    void clearDrawing();
    void draw(const OverlayShape& shape);
    void draw(const OverlayShapes& shapes);
    // The drawing layer alone, in surface pixels (transparent where nothing is drawn).
    const QImage& drawingLayer() const;
    // Background and drawing as the operator sees them (without child controls).
    QImage composed() const;

Q_SIGNALS:
    void mappingChanged(const PictureMapping& mapping);
    // Positions in picture twips.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double xTwips,
                      double yTwips);
    void mouseMoved(Qt::MouseButtons buttons, double xTwips, double yTwips);
    void mouseReleased(Qt::MouseButton button, double xTwips, double yTwips);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Placement { OwnSize, FitBesideColumn, Fixed };

    void placePicture();
    void addShape(const OverlayShape& shape);
    bool layerCurrent() const;
    QRect pictureRect() const;
    void paintPicture(QPainter& p, const QRect& dirty) const;

    QImage picture;
    // Around the picture: the key colour, through which the overlay card shows its video;
    // with a camera or a file nothing shows there, so it is a plain dark border.
    bool keyAroundPicture = true;
    Placement placement = Placement::OwnSize;
    int columnWidth = 0;
    PictureMapping mapping_;
    std::vector<OverlayShape> shapes;
    // The shapes rasterised through mapping_ at the surface's size; rebuilt on demand.
    mutable QImage layer;
    mutable bool layerStale = true;
};
