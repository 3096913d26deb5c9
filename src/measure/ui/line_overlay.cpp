#include "measure/ui/line_overlay.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace {

const LineRecord* const* inPaintOrder(const MeasureLines& l, const LineRecord* (&out)[7])
{
    out[0] = &l.leftBoundary;
    out[1] = &l.rightBoundary;
    out[2] = &l.leftEdge;
    out[3] = &l.rightEdge;
    out[4] = &l.boatMarker;
    out[5] = &l.measureLineColumn2;
    out[6] = &l.measureLine;
    return out;
}

Qt::PenStyle penStyle(LineStyle s)
{
    switch (s) {
    case LineStyle::Dash:
        return Qt::DashLine;
    case LineStyle::Dot:
        return Qt::DotLine;
    case LineStyle::Solid:
        break;
    }
    return Qt::SolidLine;
}

} // namespace

QRect LineOverlay::pixelBounds(const LineRecord& l) const
{
    const PlanePoint a = mapping.toSurface(l.x1, l.y1), b = mapping.toSurface(l.x2, l.y2);
    const int x1 = int(std::lround(a.x)), x2 = int(std::lround(b.x));
    const int y1 = int(std::lround(a.y)), y2 = int(std::lround(b.y));
    const int pad = l.width + 2;
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                 QPoint(std::max(x1, x2), std::max(y1, y2)))
        .adjusted(-pad, -pad, pad, pad);
}

LineOverlay::LineOverlay(QWidget* parent) : QWidget(parent), current(initialMeasureLines())
{
    setObjectName(QStringLiteral("LineOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void LineOverlay::setLines(const MeasureLines& lines)
{
    if (painted && lines == current)
        return;
    const LineRecord* before[7];
    const LineRecord* after[7];
    inPaintOrder(current, before);
    inPaintOrder(lines, after);
    QRegion dirty;
    for (int i = 0; i < 7; ++i) {
        if (painted && *before[i] == *after[i])
            continue;
        if (before[i]->visible)
            dirty += pixelBounds(*before[i]);
        if (after[i]->visible)
            dirty += pixelBounds(*after[i]);
    }
    current = lines;
    painted = true;
    if (!dirty.isEmpty())
        update(dirty);
}

void LineOverlay::setMapping(const PictureMapping& next)
{
    if (next == mapping)
        return;
    mapping = next;
    update();
}

void LineOverlay::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.setClipRegion(event->region());
    const LineRecord* order[7];
    inPaintOrder(current, order);
    for (const LineRecord* l : order) {
        if (!l->visible)
            continue;
        QPen pen(QColor(l->colour.r, l->colour.g, l->colour.b));
        pen.setWidth(std::max(1, l->width));
        pen.setStyle(penStyle(l->paintedStyle()));
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        const PlanePoint a = mapping.toSurface(l->x1, l->y1), b = mapping.toSurface(l->x2, l->y2);
        p.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
    }
}
