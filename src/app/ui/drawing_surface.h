#pragma once
// The drawing area of the calibration and measurement screens: the magenta key colour (or
// a still picture drawn from the top left at its own size) as the background layer, and a
// retained drawing layer over it, so that marks survive the window being covered.
// Clearing the drawing never touches the background or the controls placed on top.
// Shapes drawn in the key colour magenta erase the drawing layer where they fall.
// Positions are twips; mouse events are reported in twips too.

#include "common/overlay.h"

#include <QImage>
#include <QWidget>

class CoursePicture;

class DrawingSurface : public QWidget
{
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);

    void setBackgroundPicture(const QImage& picture); // a null image clears it
    // Shows the shared course picture, now and whenever it changes.
    void showPictureOf(const CoursePicture& picture);
    const QImage& backgroundPicture() const { return picture; }
    bool hasBackgroundPicture() const { return !picture.isNull(); }

    void clearDrawing();
    void draw(const OverlayShape& shape);
    void draw(const OverlayShapes& shapes);
    // The drawing layer alone (transparent where nothing is drawn), for tests.
    const QImage& drawingLayer() const { return layer; }
    // Background and drawing as the operator sees them (without child controls).
    QImage composed() const;

Q_SIGNALS:
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
    void ensureLayerCovers(const QSize& size);

    QImage picture;
    QImage layer;
};
