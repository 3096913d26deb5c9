#include "results/ui/results_graph_view.h"

#include "common/twips.h"
#include "picture/ui/screen_layout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace {

// The object names the graph's captions go by.
QString captionObjectName(GraphCaption caption)
{
    switch (caption) {
    case GraphCaption::Scale:
        return QStringLiteral("scaleLabel");
    case GraphCaption::BuoyNumber1:
        return QStringLiteral("buoyNumber1Label");
    case GraphCaption::BuoyNumber2:
        return QStringLiteral("buoyNumber2Label");
    case GraphCaption::BuoyNumber3:
        return QStringLiteral("buoyNumber3Label");
    case GraphCaption::BuoyNumber4:
        return QStringLiteral("buoyNumber4Label");
    case GraphCaption::BuoyNumber5:
        return QStringLiteral("buoyNumber5Label");
    case GraphCaption::BuoyNumber6:
        return QStringLiteral("buoyNumber6Label");
    case GraphCaption::RecordLimit:
        return QStringLiteral("recordLimitLabel");
    case GraphCaption::Mark100m:
        return QStringLiteral("mark100mLabel");
    case GraphCaption::Mark200m:
        return QStringLiteral("mark200mLabel");
    case GraphCaption::Buoy180m:
        return QStringLiteral("buoy180mLabel");
    case GraphCaption::Buoy150m:
        return QStringLiteral("buoy150mLabel");
    case GraphCaption::Ramp:
        break;
    }
    return QStringLiteral("rampLabel");
}

// The view's pixels at the first layout.
constexpr double shownWidth()
{
    return (ResultsGraphView::kShownTwips.right - ResultsGraphView::kShownTwips.left) /
           kTwipsPerPixel;
}
constexpr double shownHeight()
{
    return (ResultsGraphView::kShownTwips.bottom - ResultsGraphView::kShownTwips.top) /
           kTwipsPerPixel;
}

} // namespace

ResultsGraphView::ResultsGraphView(QWidget* parent) : DrawingSurface(parent)
{
    for (Event e : {Event::Slalom, Event::Jump})
        for (const GraphLabel& l : graphFrame(e, true).labels)
            if (!labels.count(l.caption)) {
                auto* label = named(new QLabel(this), captionObjectName(l.caption));
                label->hide();
                labels[l.caption] = label;
            }
    fit();
}

QSize ResultsGraphView::sizeHint() const
{
    return QSize(int(shownWidth()), twipsToPixels(8700));
}

QSize ResultsGraphView::minimumSizeHint() const
{
    return QSize(int(shownWidth() / 2), int(shownHeight() / 2));
}

void ResultsGraphView::resizeEvent(QResizeEvent* event)
{
    DrawingSurface::resizeEvent(event);
    fit();
}

QPointF ResultsGraphView::toView(double xTwips, double yTwips) const
{
    const PlanePoint p = mapping().toSurface(xTwips, yTwips);
    return {p.x, p.y};
}

void ResultsGraphView::fit()
{
    // The shown part scaled to fit, centred across and from the top. The mapping's picture
    // is the screen's first layout from its top-left corner, placed so that the shown part
    // lands where it should and the rest of the view is covered: the background is drawn
    // into exactly that placement, one of its pixels to one of the view's.
    const double w = std::max(1, width()), h = std::max(1, height());
    scale_ = std::min(w / shownWidth(), h / shownHeight());
    const double left = (w - shownWidth() * scale_) / 2.0;
    const int x = int(std::lround(left - kShownTwips.left / kTwipsPerPixel * scale_));
    const int y = int(std::lround(-kShownTwips.top / kTwipsPerPixel * scale_));
    const PixelRect placed{x, y, int(w) - x, int(h) - y};
    const PixelSize picture{int(std::lround(placed.width / scale_)),
                            int(std::lround(placed.height / scale_))};
    setMapping(PictureMapping(picture, placed));
    paintBackground();
    placeLabels();
    drawShapes();
}

void ResultsGraphView::showGraph(Event shownEvent, bool towardCamera,
                                 const std::vector<GraphRect>& shownBands,
                                 const OverlayShapes& shownShapes)
{
    event = shownEvent;
    comingToward = towardCamera;
    bands = shownBands;
    shapes = shownShapes;
    paintBackground();
    placeLabels();
    drawShapes();
}

void ResultsGraphView::paintBackground()
{
    const PictureMapping& m = mapping();
    // Pixels of the background, which is drawn one to one into the placement.
    const auto px = [&m](double twips) { return int(std::lround(m.lengthXToSurface(twips))); };
    const auto py = [&m](double twips) { return int(std::lround(m.lengthYToSurface(twips))); };
    const PixelRect placed = m.placement();
    QImage background(std::max(1, placed.width), std::max(1, placed.height), QImage::Format_RGB32);
    background.fill(Qt::white);
    const GraphFrame frame = graphFrame(event, comingToward);
    QPainter p(&background);
    p.fillRect(QRect(QPoint(px(frame.box.left), py(frame.box.top)),
                     QPoint(px(frame.box.right) - 1, py(frame.box.bottom) - 1)),
               palette().color(QPalette::Button));
    // A band of a window shorter than a pixel is still a line of one.
    for (const GraphRect& band : bands) {
        const int top = py(band.top);
        const int bottom = std::max(py(band.bottom), top + 1);
        p.fillRect(QRect(QPoint(px(band.left), top), QPoint(px(band.right) - 1, bottom - 1)),
                   QColor(kBuoyBandColour.r, kBuoyBandColour.g, kBuoyBandColour.b));
    }
    p.end();
    setBackgroundPicture(background);
}

void ResultsGraphView::placeLabels()
{
    const PictureMapping& m = mapping();
    const PixelRect placed = m.placement();
    const auto px = [&m](double twips) { return int(std::lround(m.lengthXToSurface(twips))); };
    const auto py = [&m](double twips) { return int(std::lround(m.lengthYToSurface(twips))); };
    for (const GraphLabel& l : graphFrame(event, comingToward).labels) {
        QLabel* label = labels.at(l.caption);
        label->setText(l.text);
        label->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3)")
                                 .arg(l.colour.r)
                                 .arg(l.colour.g)
                                 .arg(l.colour.b));
        // The type grows with the graph. The scale caption must keep its width to sit under
        // the graph's lines: its type shrinks until the caption fits. Other captions take
        // the width of their text.
        QFont font = this->font();
        font.setPointSizeF(font.pointSizeF() * scale_);
        const int boxWidth = px(l.width);
        if (l.caption == GraphCaption::Scale)
            while (font.pointSizeF() > 5 && QFontMetrics(font).horizontalAdvance(l.text) > boxWidth)
                font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
        const int width =
            l.caption == GraphCaption::Scale
                ? boxWidth
                : std::max(boxWidth, QFontMetrics(font).horizontalAdvance(l.text) + 4);
        label->setGeometry(placed.x + px(l.left), placed.y + py(l.top), width, py(300));
        label->setVisible(l.visible);
    }
}

void ResultsGraphView::drawShapes()
{
    clearDrawing();
    draw(graphFrame(event, comingToward).lines);
    // Lines and dots thicken with the graph, whole pixels at a time.
    const int pen = std::max(1, int(std::floor(scale_)));
    if (pen == 1) {
        draw(shapes);
        return;
    }
    OverlayShapes thick = shapes;
    for (OverlayShape& s : thick)
        std::visit([pen](auto& shape) { shape.penWidth = std::max(1, shape.penWidth) * pen; }, s);
    draw(thick);
}
