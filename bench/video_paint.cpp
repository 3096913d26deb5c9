// The cost of painting one video frame under the screens' drawing: a 1920 x 1080 camera frame
// scaled into the picture area beside the 270-pixel control column, with buoy marks and the
// twelve course crosses on top. Frames come up to 30 times a second.
// Run: QT_QPA_PLATFORM=offscreen ./build/bench/video_paint

#include "picture/ui/drawing_surface.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Spread
{
    double median, p95;
};

Spread spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 95 / 100]};
}

OverlayShapes marks()
{
    OverlayShapes s;
    // Four buoy marks with circles and points, and twelve crosses, in picture twips.
    for (int i = 0; i < 4; ++i) {
        const double x = 6000 + 9000.0 * (i % 2), y = 3000 + 9000.0 * (i / 2);
        s.push_back(OverlayCircle{x, y, 180, kWhite, 2});
        for (int k = 0; k < 5; ++k)
            s.push_back(OverlayPoint{x + 5.0 * k, y, kWhite, 2});
    }
    for (int i = 0; i < 12; ++i) {
        const double x = 9000 + 3000.0 * (i % 2), y = 2000 + 1200.0 * i;
        s.push_back(OverlayLine{x - 90, y, x + 90, y, kWhite, 2});
        s.push_back(OverlayLine{x, y - 90, x, y + 90, kWhite, 2});
    }
    return s;
}

// Paints `frames` frames through the surface and gives the time of each.
Spread surfacePaint(QSize screen, int frames)
{
    DrawingSurface surface;
    surface.resize(screen);
    surface.fitPicturesBeside(270);
    surface.show();
    QApplication::processEvents(); // exposed: repaint() paints at once
    QImage frame(1920, 1080, QImage::Format_RGB32);
    frame.fill(Qt::darkGreen);
    surface.setBackgroundPicture(frame);
    surface.draw(marks());
    surface.repaint();
    std::vector<double> t;
    for (int i = 0; i < frames; ++i) {
        frame.fill(QColor(i % 200, 90, 40)); // a new picture each time, as the sink gives
        const auto start = Clock::now();
        surface.setBackgroundPicture(frame);
        surface.repaint();
        t.push_back(ms(Clock::now() - start));
    }
    const PixelRect r = surface.mapping().placement();
    std::printf("  placed %dx%d at (%d, %d)\n", r.width, r.height, r.x, r.y);
    return spread(t);
}

// The scaling alone, nearest pixel against smooth.
Spread scaleOnly(bool smooth, int frames)
{
    QImage target(1024, 768, QImage::Format_RGB32);
    QImage frame(1920, 1080, QImage::Format_RGB32);
    frame.fill(Qt::darkGreen);
    std::vector<double> t;
    for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        QPainter p(&target);
        p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p.drawImage(QRect(270, 0, 754, 424), frame);
        p.end();
        t.push_back(ms(Clock::now() - start));
    }
    return spread(t);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    const int frames = 300;
    for (const QSize screen : {QSize(1024, 768), QSize(1366, 768)}) {
        std::printf("1920x1080 frame on a %dx%d surface, with %zu marks:\n", screen.width(),
                    screen.height(), marks().size());
        const Spread s = surfacePaint(screen, frames);
        std::printf("  paint per frame: median %.2f ms, 95th percentile %.2f ms\n", s.median,
                    s.p95);
    }
    const Spread nearest = scaleOnly(false, frames), smooth = scaleOnly(true, frames);
    std::printf("scaling alone into 754x424: nearest %.2f ms, smooth %.2f ms (medians)\n",
                nearest.median, smooth.median);
    return 0;
}
