#include "measure/ui/review_overlay.h"

#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/video_transport.h"

#include <QEvent>
#include <QPainter>

namespace {

// Apart from every colour the operator's line and markers can take, and from the key colour.
const QColor kHeldLineColour(0, 230, 255);
constexpr int kHeldLineWidth = 3;
constexpr double kTickHalfTwips = 400.0; // across the line where it was read, as the marker
const QColor kGateColour(255, 200, 0);
const QColor kBuoyColour(255, 110, 0);

} // namespace

ReviewOverlay::ReviewOverlay(DrawingSurface* surface, CourseVideo& video, VideoTransport& transport)
    : QWidget(surface), surface(surface), video(video), transport(transport),
      mapping(surface->mapping())
{
    setObjectName(QStringLiteral("reviewOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setGeometry(surface->rect());
    surface->installEventFilter(this);
    connect(surface, &DrawingSurface::mappingChanged, this, [this](const PictureMapping& m) {
        mapping = m;
        update();
    });
    connect(&video, &CourseVideo::choiceChanged, this, &ReviewOverlay::followChoice);
    connect(&video, &CourseVideo::frameShown, this, &ReviewOverlay::frameShown);
    hide();
}

bool ReviewOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == surface && event->type() == QEvent::Resize)
        setGeometry(surface->rect());
    return false;
}

bool ReviewOverlay::onThePassVideo() const
{
    return pass_ && video.file() && video.choice().kind == VideoChoice::Kind::File &&
           video.choice().file == pass_->videoFile;
}

void ReviewOverlay::begin(const ReviewedPass& pass, const LineSpan& lineSpan)
{
    pass_ = pass;
    span = lineSpan;
    frameUs.reset();
    held.reset();
    std::vector<SliderMark> marks;
    for (const ReviewWindow& w : pass.windows)
        marks.push_back({w.fromUs, w.toUs,
                         w.label.startsWith(QStringLiteral("Buoy")) ? kBuoyColour : kGateColour,
                         w.label});
    transport.setMarks(std::move(marks));
    show();
    update();
    if (onThePassVideo()) {
        waitingForVideo = false;
        goToFirstFrame();
        return;
    }
    waitingForVideo = true;
    video.choose(VideoChoice::ofFile(pass.videoFile));
}

void ReviewOverlay::end()
{
    if (!pass_)
        return;
    pass_.reset();
    held.reset();
    frameUs.reset();
    waitingForVideo = false;
    transport.setMarks({});
    hide();
}

void ReviewOverlay::followChoice()
{
    if (!pass_)
        return;
    if (onThePassVideo()) {
        if (std::exchange(waitingForVideo, false))
            goToFirstFrame();
        return;
    }
    // The operator chose another picture: the held line belongs to the pass's video only.
    if (!waitingForVideo)
        end();
}

void ReviewOverlay::goToFirstFrame()
{
    // From the event loop: a pause or seek from inside a frame's delivery breaks the stream.
    QMetaObject::invokeMethod(
        this,
        [this] {
            VideoFile* file = onThePassVideo() ? video.file() : nullptr;
            if (!file)
                return;
            file->pause();
            file->seek(pass_->startUs + file->frameUs() / 2);
        },
        Qt::QueuedConnection);
}

void ReviewOverlay::frameShown(const VideoFrame& frame)
{
    if (!pass_)
        return;
    if (!onThePassVideo()) {
        // The pass's video did not open (the operator has been told): nothing to review.
        if (waitingForVideo && !video.opening())
            end();
        return;
    }
    frameUs = frame.startUs;
    held = heldLineOn(*pass_, frame.startUs);
    update();
}

QString ReviewOverlay::caption() const
{
    if (!pass_)
        return {};
    const QString title = QStringLiteral("Review on Video: ");
    if (waitingForVideo || !frameUs)
        return title + QStringLiteral("opening the video of the pass");
    const int samples = int(pass_->sampleFramesUs.size());
    if (pass_->sampleLines.size() != pass_->sampleFramesUs.size())
        return title + QStringLiteral("where the line was held was not kept for this pass");
    if (held)
        return title + (held->takenOnThisFrame
                            ? QStringLiteral("the line as held at sample %1 of %2")
                            : QStringLiteral("the line as held since sample %1 of %2"))
                           .arg(held->sample)
                           .arg(samples - 1);
    if (samples > 0 && *frameUs < pass_->sampleFramesUs.front())
        return title + QStringLiteral("before the pass (it starts at %1)")
                           .arg(VideoTransport::mediaTime(pass_->startUs));
    return title + QStringLiteral("after the pass");
}

void ReviewOverlay::paintEvent(QPaintEvent*)
{
    if (!pass_)
        return;
    QPainter p(this);
    if (held) {
        QPen pen(kHeldLineColour);
        pen.setWidth(kHeldLineWidth);
        pen.setCapStyle(Qt::FlatCap);
        // Solid on the frame the sample was taken on; dashed where it stood until the next.
        pen.setStyle(held->takenOnThisFrame ? Qt::SolidLine : Qt::DashLine);
        p.setPen(pen);
        const PlanePoint a = mapping.toSurface(held->line.x, span.top);
        const PlanePoint b = mapping.toSurface(held->line.x, span.bottom);
        p.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
        const PlanePoint l = mapping.toSurface(held->line.x - kTickHalfTwips, held->line.y);
        const PlanePoint r = mapping.toSurface(held->line.x + kTickHalfTwips, held->line.y);
        pen.setStyle(Qt::SolidLine);
        p.setPen(pen);
        p.drawLine(QPointF(l.x, l.y), QPointF(r.x, r.y));
    }
    // The words at the picture's top left corner, on a dark band to be read on any picture.
    const PlanePoint corner = mapping.toSurface(0.0, 0.0);
    const QString text = caption();
    QFont font = p.font();
    font.setBold(true);
    p.setFont(font);
    const QRect box =
        p.fontMetrics()
            .boundingRect(text)
            .translated(int(corner.x) + 8, int(corner.y) + 8 + p.fontMetrics().ascent())
            .adjusted(-6, -4, 6, 4);
    p.fillRect(box, QColor(0, 0, 0, 190));
    p.setPen(kHeldLineColour);
    p.drawText(box, Qt::AlignCenter, text);
}
