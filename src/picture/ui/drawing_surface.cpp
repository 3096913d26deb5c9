#include "picture/ui/drawing_surface.h"

#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

QColor toColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QPointF toPixels(const PictureMapping& m, double x, double y)
{
    const PlanePoint p = m.toSurface(x, y);
    return {p.x, p.y};
}

int penOf(const OverlayShape& shape)
{
    return std::visit([](const auto& s) { return std::max(1, s.penWidth); }, shape);
}

// Surface pixels a shape may touch, pen included.
QRect boundsOf(const PictureMapping& m, const OverlayShape& shape)
{
    QRectF r = std::visit(
        [&m](const auto& s) {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, OverlayLine>) {
                return QRectF(toPixels(m, s.x1, s.y1), toPixels(m, s.x2, s.y2)).normalized();
            } else if constexpr (std::is_same_v<T, OverlayCircle>) {
                const double rx = m.lengthXToSurface(s.radius), ry = m.lengthYToSurface(s.radius);
                const QPointF c = toPixels(m, s.cx, s.cy);
                return QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry);
            } else {
                return QRectF(toPixels(m, s.x, s.y), QSizeF(0, 0));
            }
        },
        shape);
    const int pad = penOf(shape) + 2;
    return r.toAlignedRect().adjusted(-pad, -pad, pad, pad);
}

void paintShape(QPainter& p, const PictureMapping& m, const OverlayShape& shape)
{
    std::visit(
        [&p, &m](const auto& s) {
            QPen pen(toColor(s.colour));
            pen.setWidth(std::max(1, s.penWidth));
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            // Drawing in the key colour makes the layer transparent there, so the picture
            // (or the live video) shows through as it would through the magenta.
            p.setCompositionMode(s.colour == kMagenta ? QPainter::CompositionMode_Clear
                                                      : QPainter::CompositionMode_SourceOver);
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, OverlayLine>) {
                p.drawLine(toPixels(m, s.x1, s.y1), toPixels(m, s.x2, s.y2));
            } else if constexpr (std::is_same_v<T, OverlayCircle>) {
                p.drawEllipse(toPixels(m, s.cx, s.cy), m.lengthXToSurface(s.radius),
                              m.lengthYToSurface(s.radius));
            } else {
                // A point is a filled square as wide as the pen, centred on the position.
                const double w = std::max(1, s.penWidth);
                const QPointF c = toPixels(m, s.x, s.y);
                p.fillRect(QRectF(c.x() - w / 2.0, c.y() - w / 2.0, w, w),
                           s.colour == kMagenta ? QColor(Qt::transparent) : toColor(s.colour));
            }
        },
        shape);
}

} // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DrawingSurface"));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    mapping_ = PictureMapping::identity({width(), height()});
}

void DrawingSurface::setBackgroundPicture(const QImage& image)
{
    const bool resized = image.size() != picture.size();
    picture = image;
    placePicture();
    // A frame of the same size repaints the picture alone; the drawing stays rasterised.
    update(resized ? rect() : pictureRect());
}

void DrawingSurface::showPictureOf(const CoursePicture& shared)
{
    setBackgroundPicture(shared.image());
    connect(&shared, &CoursePicture::changed, this, &DrawingSurface::setBackgroundPicture);
}

void DrawingSurface::showVideoOf(const CourseVideo& video)
{
    const auto follow = [this](const VideoChoice& choice) {
        keyAroundPicture = choice.kind == VideoChoice::Kind::OverlayCard;
        update();
    };
    follow(video.choice());
    setBackgroundPicture(video.picture());
    connect(&video, &CourseVideo::pictureChanged, this, &DrawingSurface::setBackgroundPicture);
    connect(&video, &CourseVideo::choiceChanged, this, follow);
}

void DrawingSurface::fitPicturesBeside(int width)
{
    placement = Placement::FitBesideColumn;
    columnWidth = std::max(0, width);
    placePicture();
}

void DrawingSurface::setMapping(const PictureMapping& mapping)
{
    placement = Placement::Fixed;
    if (mapping == mapping_)
        return;
    mapping_ = mapping;
    layerStale = true;
    update();
    Q_EMIT mappingChanged(mapping_);
}

void DrawingSurface::placePicture()
{
    const PixelSize surface{width(), height()};
    const PixelSize shown{picture.width(), picture.height()};
    PictureMapping next = mapping_;
    switch (placement) {
    case Placement::Fixed:
        return;
    case Placement::OwnSize:
        next = picture.isNull() ? PictureMapping::identity(surface)
                                : PictureMapping(shown, PixelRect{0, 0, shown.width, shown.height});
        break;
    case Placement::FitBesideColumn:
        // The overlay card keys the screen where it stands: its picture is the whole surface.
        next = picture.isNull()
                   ? PictureMapping::identity(surface)
                   : fitPicture(shown, PixelRect{columnWidth, 0, surface.width - columnWidth,
                                                 surface.height});
        break;
    }
    if (next == mapping_)
        return;
    // The identity over a surface of another size converts points alike: the layer is then
    // rebuilt only for its new size, which layerCurrent() sees by itself.
    const bool samePoints = next.placement().x == mapping_.placement().x &&
                            next.placement().y == mapping_.placement().y &&
                            next.scaleX() == mapping_.scaleX() &&
                            next.scaleY() == mapping_.scaleY();
    mapping_ = next;
    if (!samePoints)
        layerStale = true;
    update();
    Q_EMIT mappingChanged(mapping_);
}

bool DrawingSurface::layerCurrent() const
{
    return !layerStale && layer.size() == size().expandedTo(QSize(1, 1));
}

const QImage& DrawingSurface::drawingLayer() const
{
    if (!layerCurrent()) {
        layer = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        QPainter p(&layer);
        for (const OverlayShape& s : shapes)
            paintShape(p, mapping_, s);
        layerStale = false;
    }
    return layer;
}

void DrawingSurface::clearDrawing()
{
    shapes.clear();
    layerStale = true;
    update();
}

void DrawingSurface::addShape(const OverlayShape& shape)
{
    // Every shape paints its pixels one colour (or clears them), without blending, so an
    // earlier copy of the same shape is wholly covered by the new one and can go. The
    // measurement screen redraws the same marks ten times a second: the list stays as long as
    // the distinct marks.
    std::erase(shapes, shape);
    shapes.push_back(shape);
}

void DrawingSurface::draw(const OverlayShape& shape)
{
    draw(OverlayShapes{shape});
}

void DrawingSurface::draw(const OverlayShapes& batch)
{
    const bool paintNow = layerCurrent();
    QPainter p;
    if (paintNow)
        p.begin(&layer);
    QRect dirty;
    for (const OverlayShape& s : batch) {
        addShape(s);
        if (paintNow)
            paintShape(p, mapping_, s);
        dirty |= boundsOf(mapping_, s);
    }
    update(dirty);
}

QRect DrawingSurface::pictureRect() const
{
    if (picture.isNull())
        return QRect();
    const PixelRect r = mapping_.placement();
    return QRect(r.x, r.y, r.width, r.height);
}

void DrawingSurface::paintPicture(QPainter& p, const QRect& dirty) const
{
    const QRect placed = pictureRect();
    // The key colour (or the border) wherever the picture does not cover (all of it behind a
    // picture with transparency).
    QRegion around(dirty);
    if (!picture.hasAlphaChannel())
        around -= placed;
    const QColor fill = keyAroundPicture ? toColor(kMagenta) : QColor(40, 40, 40);
    for (const QRect& r : around)
        p.fillRect(r, fill);
    if (!placed.isEmpty() && placed.intersects(dirty)) {
        // Smooth scaling keeps thin buoys and lines from breaking up; it cost about 0.5 ms
        // for a 1920 x 1080 frame here.
        p.setRenderHint(QPainter::SmoothPixmapTransform, placed.size() != picture.size());
        p.drawImage(placed, picture);
    }
}

QImage DrawingSurface::composed() const
{
    QImage out(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&out);
    paintPicture(p, out.rect());
    p.drawImage(0, 0, drawingLayer());
    return out;
}

void DrawingSurface::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    paintPicture(p, event->rect());
    p.drawImage(event->rect(), drawingLayer(), event->rect());
}

void DrawingSurface::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePicture();
}

void DrawingSurface::mousePressEvent(QMouseEvent* e)
{
    const PlanePoint t = mapping_.toPicture(e->position().x(), e->position().y());
    Q_EMIT mousePressed(e->button(), e->modifiers(), t.x, t.y);
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* e)
{
    const PlanePoint t = mapping_.toPicture(e->position().x(), e->position().y());
    Q_EMIT mouseMoved(e->buttons(), t.x, t.y);
}

void DrawingSurface::mouseReleaseEvent(QMouseEvent* e)
{
    const PlanePoint t = mapping_.toPicture(e->position().x(), e->position().y());
    Q_EMIT mouseReleased(e->button(), t.x, t.y);
}
