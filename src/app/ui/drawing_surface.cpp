#include "app/ui/drawing_surface.h"

#include "app/ui/course_picture.h"
#include "common/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QColor toColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QPointF toPixels(double x, double y)
{
    return {x / kTwipsPerPixel, y / kTwipsPerPixel};
}

void paintShape(QPainter& p, const OverlayShape& shape)
{
    std::visit(
        [&p](const auto& s) {
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
                p.drawLine(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2));
            } else if constexpr (std::is_same_v<T, OverlayCircle>) {
                const double r = s.radius / kTwipsPerPixel;
                p.drawEllipse(toPixels(s.cx, s.cy), r, r);
            } else {
                // A point is a filled square as wide as the pen, centred on the position.
                const double w = std::max(1, s.penWidth);
                const QPointF c = toPixels(s.x, s.y);
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
}

void DrawingSurface::setBackgroundPicture(const QImage& image)
{
    picture = image;
    update();
}

void DrawingSurface::showPictureOf(const CoursePicture& shared)
{
    setBackgroundPicture(shared.image());
    connect(&shared, &CoursePicture::changed, this, &DrawingSurface::setBackgroundPicture);
}

void DrawingSurface::ensureLayerCovers(const QSize& size)
{
    if (!layer.isNull() && layer.width() >= size.width() && layer.height() >= size.height())
        return;
    QImage grown(size.expandedTo(layer.size()).expandedTo(QSize(1, 1)),
                 QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    if (!layer.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, layer);
    }
    layer = grown;
}

void DrawingSurface::clearDrawing()
{
    if (!layer.isNull())
        layer.fill(Qt::transparent);
    update();
}

void DrawingSurface::draw(const OverlayShape& shape)
{
    ensureLayerCovers(size());
    QPainter p(&layer);
    paintShape(p, shape);
    update();
}

void DrawingSurface::draw(const OverlayShapes& shapes)
{
    ensureLayerCovers(size());
    QPainter p(&layer);
    for (const OverlayShape& s : shapes)
        paintShape(p, s);
    update();
}

QImage DrawingSurface::composed() const
{
    QImage out(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(toColor(kMagenta));
    QPainter p(&out);
    if (!picture.isNull())
        p.drawImage(0, 0, picture);
    if (!layer.isNull())
        p.drawImage(0, 0, layer);
    return out;
}

void DrawingSurface::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), toColor(kMagenta));
    if (!picture.isNull())
        p.drawImage(0, 0, picture);
    if (!layer.isNull())
        p.drawImage(0, 0, layer);
}

void DrawingSurface::resizeEvent(QResizeEvent* event)
{
    ensureLayerCovers(event->size());
    QWidget::resizeEvent(event);
}

void DrawingSurface::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT mousePressed(e->button(), e->modifiers(), pixelsToTwips(e->position().x()),
                        pixelsToTwips(e->position().y()));
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* e)
{
    Q_EMIT mouseMoved(e->buttons(), pixelsToTwips(e->position().x()),
                      pixelsToTwips(e->position().y()));
}

void DrawingSurface::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT mouseReleased(e->button(), pixelsToTwips(e->position().x()),
                         pixelsToTwips(e->position().y()));
}
