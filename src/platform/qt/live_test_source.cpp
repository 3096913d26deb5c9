#include "platform/qt/live_test_source.h"

#include "platform/clock.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Water with some grain and a few long, lighter swells: detail for the encoder to spend
// its bits on, as a real course picture has.
QImage drawnCourse(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    std::mt19937 random(20260912);
    std::uniform_int_distribution<int> grain(-18, 18);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int depth = 60 + 80 * y / std::max(1, size.height());
        for (int x = 0; x < size.width(); ++x) {
            const int swell = ((x + 3 * y) / 24) % 5 == 0 ? 25 : 0;
            const int g = grain(random);
            row[x] = qRgb(std::clamp(20 + swell + g, 0, 255), std::clamp(depth + swell + g, 0, 255),
                          std::clamp(depth + 60 + swell + g, 0, 255));
        }
    }
    return image;
}

} // namespace

LiveTestSource::LiveTestSource(const Options& options, const Clock& clock)
    : options(options), clock(clock), timer(new QTimer(this))
{
    course = options.background.isNull()
                 ? drawnCourse(options.size)
                 : options.background
                       .scaled(options.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this] { tick(); });
    started.start();
    // The first frame, as a camera's, comes from the event loop.
    timer->start(0);
}

LiveTestSource::~LiveTestSource() = default;

QImage LiveTestSource::picture(int n) const
{
    QImage image(options.size, QImage::Format_RGB32);
    const int w = options.size.width(), h = options.size.height();
    // The camera follows the boat a little: the course pans two pixels a frame.
    const int pan = (2 * n) % std::max(1, w);
    QPainter p(&image);
    p.drawImage(-pan, 0, course);
    p.drawImage(w - pan, 0, course);
    // The boat: a hull with a dark windshield, crossing once every four seconds.
    const int boatW = std::max(8, w / 12), boatH = std::max(4, h / 20);
    const int travel = w + boatW;
    const int x = (n * travel / std::max(1, 4 * options.fps)) % travel - boatW;
    const int y = h / 2 + (h / 8) * ((n / 15) % 3 - 1);
    p.fillRect(x, y, boatW, boatH, QColor(235, 235, 230));
    p.fillRect(x + boatW / 3, y + boatH / 4, boatW / 4, boatH / 2, QColor(30, 30, 40));
    return image;
}

double LiveTestSource::lumaPsnr(const QImage& back, const QImage& drawn)
{
    const QImage a = back.convertToFormat(QImage::Format_RGB32);
    const QImage b = drawn.convertToFormat(QImage::Format_RGB32);
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    const auto luma = [](QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); };
    double squares = 0.0;
    for (int y = 0; y < h; ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const double d = luma(ra[x]) - luma(rb[x]);
            squares += d * d;
        }
    }
    const double mse = squares / std::max(1.0, double(w) * h);
    return 10.0 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

qint64 LiveTestSource::captureUs(int n) const
{
    return qint64(n) * 1000000 / std::max(1, options.fps);
}

void LiveTestSource::stop()
{
    timer->stop();
    next = -1;
}

void LiveTestSource::tick()
{
    if (next < 0)
        return;
    // The frame whose moment is the latest one past; the ones before it are missed.
    const qint64 nowUs = started.nsecsElapsed() / 1000;
    int n = next;
    while (captureUs(n + 1) <= nowUs)
        ++n;
    skipped_ += n - next;
    next = n + 1;
    VideoFrame frame;
    frame.image = picture(n);
    frame.startUs = captureUs(n);
    frame.durationUs = captureUs(n + 1) - captureUs(n);
    frame.arrivalMs = clock.monotonicMs();
    ++delivered_;
    if (core.state == VideoState::Opening) {
        core.state = VideoState::Ready;
        core.frame = std::move(frame);
        scheduleNext();
        core.tellState();
        return;
    }
    scheduleNext();
    core.show(std::move(frame)); // last: the handler may destroy this source
}

void LiveTestSource::scheduleNext()
{
    const qint64 waitUs = captureUs(next) - started.nsecsElapsed() / 1000;
    timer->start(int(std::max<qint64>(0, (waitUs + 999) / 1000)));
}

std::optional<LiveTestSource::Options> WithLiveTestCamera::optionsFrom(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{2,4})x(\\d{2,4})(?:@(\\d{1,3}))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    LiveTestSource::Options o;
    o.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    if (m.hasCaptured(3))
        o.fps = m.captured(3).toInt();
    if (o.fps < 1 || o.fps > 120)
        return std::nullopt;
    return o;
}

std::unique_ptr<VideoSource> WithLiveTestCamera::openCamera(const QString& description)
{
    // Listed first, it is the default camera too.
    if (description.isEmpty() || description == name())
        return std::make_unique<LiveTestSource>(options, clock);
    return system.openCamera(description);
}
