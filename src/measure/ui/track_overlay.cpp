#include "measure/ui/track_overlay.h"

#include "common/twips.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kPath(255, 220, 0);
const QColor kTracked(0, 200, 80);
const QColor kOperator(40, 120, 255);
const QColor kStopped(230, 30, 30);

} // namespace

TrackOverlay::TrackOverlay(QWidget* surface) : QWidget(surface)
{
    setObjectName(QStringLiteral("TrackOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(surface->rect());
}

void TrackOverlay::setReview(const Track* t, const QString& status)
{
    track = t;
    status_ = status;
    setVisible(t != nullptr);
    update();
}

void TrackOverlay::setProgress(int d, int t)
{
    if (d == done && t == total)
        return;
    done = d;
    total = t;
    update();
}

void TrackOverlay::setFrameUs(qint64 us)
{
    if (us == frameUs)
        return;
    frameUs = us;
    if (track)
        update();
}

void TrackOverlay::setMapping(const PictureMapping& m)
{
    mapping = m;
    update();
}

const TrackPoint* TrackOverlay::pointOnScreen() const
{
    if (!track)
        return nullptr;
    // The frame on screen, the one the engine stopped on included.
    for (const TrackPoint& p : track->frames)
        if (p.startUs == frameUs || p.holds(frameUs))
            return &p;
    return nullptr;
}

QPointF TrackOverlay::onSurface(const TrackPoint& p) const
{
    const PlanePoint s = mapping.toSurface(pixelsToTwips(p.u), pixelsToTwips(p.v));
    return {s.x, s.y};
}

void TrackOverlay::paintEvent(QPaintEvent*)
{
    if (!track)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!status_.isEmpty()) {
        // At the foot of the surface: the boat enters the picture at its top, where a line of
        // text would cover the very point the operator is asked to check.
        const PlanePoint corner = mapping.toSurface(0.0, 0.0);
        const int left = std::max(int(corner.x), 0) + 8;
        const int bar = total > 0 ? 6 : 0;
        const QRect room(left, 0, width() - left - 8, height() / 3);
        QRect text = painter.fontMetrics().boundingRect(room, Qt::TextWordWrap, status_);
        text.moveBottom(height() - 6 - bar);
        painter.fillRect(text.adjusted(-6, -3, 6, 3 + bar), QColor(0, 0, 0, 190));
        painter.setPen(Qt::white);
        painter.drawText(text, Qt::TextWordWrap, status_);
        if (bar > 0) {
            const QRect groove(text.left(), text.bottom() + 3, room.width() / 2, 4);
            painter.fillRect(groove, QColor(90, 90, 90));
            painter.fillRect(
                QRect(groove.topLeft(), QSize(groove.width() * std::min(done, total) / total, 4)),
                kTracked);
        }
    }
    if (track->frames.empty())
        return;
    QPainterPath before, after;
    const std::vector<TrackPoint>& frames = track->frames;
    for (size_t i = 0; i < frames.size(); ++i) {
        const bool shown = frames[i].startUs <= frameUs;
        QPainterPath& path = shown ? before : after;
        const QPointF at = onSurface(frames[i]);
        // The faint part goes on from where the bright one ends.
        if (path.elementCount() == 0)
            path.moveTo(!shown && i > 0 ? onSurface(frames[i - 1]) : at);
        path.lineTo(at);
    }
    QColor faint = kPath;
    faint.setAlpha(110);
    painter.setPen(QPen(faint, 1.5));
    painter.drawPath(after);
    painter.setPen(QPen(kPath, 2.0));
    painter.drawPath(before);

    const TrackPoint* p = pointOnScreen();
    if (!p)
        return;
    const QColor ring = p->stop != TrackStop::None ? kStopped
                        : p->operatorSet           ? kOperator
                                                   : kTracked;
    const QPointF at = onSurface(*p);
    painter.setPen(QPen(Qt::black, 4.0));
    painter.drawEllipse(at, 9.0, 9.0);
    painter.setPen(QPen(ring, 2.5));
    painter.drawEllipse(at, 9.0, 9.0);
    painter.drawLine(at + QPointF(-3, 0), at + QPointF(3, 0));
    painter.drawLine(at + QPointF(0, -3), at + QPointF(0, 3));
    const QString text = QString::number(p->confidence, 'f', 2);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QPointF textAt = at + QPointF(13, -6);
    painter.setPen(Qt::black);
    painter.drawText(textAt + QPointF(1, 1), text);
    painter.setPen(ring);
    painter.drawText(textAt, text);
}
