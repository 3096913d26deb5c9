#include "calibration/buoy_marking.h"

#include "common/number_forms.h"

#include <algorithm>

namespace {

constexpr int kPenWidth = 2;

void eraseMark(OverlayShapes& shapes, Point2 m, double radius, int max)
{
    shapes.push_back(OverlayCircle{m.x, m.y, radius, kMagenta, kPenWidth});
    shapes.push_back(OverlayLine{m.x - max, m.y, m.x + max, m.y, kMagenta, kPenWidth});
    shapes.push_back(OverlayLine{m.x, m.y - max, m.x, m.y + max, kMagenta, kPenWidth});
}

void drawCross(OverlayShapes& shapes, Point2 m, double half)
{
    shapes.push_back(OverlayLine{m.x - half, m.y, m.x + half, m.y, kWhite, kPenWidth});
    shapes.push_back(OverlayLine{m.x, m.y - half, m.x, m.y + half, kWhite, kPenWidth});
}

void storeMark(Global& g, Buoy b, Point2 m)
{
    setCornerMark(g, b, m);
    const size_t k = size_t(pointIndex(b));
    g.buoy_screen_x[k] = m.x;
    g.buoy_screen_y[k] = m.y;
    g.point_x[k] = m.x;
    g.point_y[k] = m.y;
}

// Moves each processed buoy to newMark(buoy, oldMark), erasing and redrawing as it goes.
template <typename NewMark>
MarkResult moveMarks(Global& g, std::optional<Buoy> selected, bool locked, CrossSize crossSize,
                     NewMark newMark)
{
    MarkResult result;
    for (Buoy b : kBuoyVisitOrder) {
        if (b != selected && !locked)
            continue;
        const Point2 old = cornerMark(g, b);
        eraseMark(result.shapes, old, g.cross_radius, crossSize.max);
        const Point2 mark = newMark(b, old);
        storeMark(g, b, mark);
        drawCross(result.shapes, mark, crossSize.value);
        result.moved.push_back({b, mark});
    }
    return result;
}

} // namespace

int pointIndex(Buoy b)
{
    switch (b) {
    case Buoy::UpperRight:
        return 1;
    case Buoy::LowerRight:
        return 2;
    case Buoy::UpperLeft:
        return 3;
    case Buoy::LowerLeft:
        return 4;
    }
    return 1;
}

Buoy buoyAtPoint(int index)
{
    static constexpr std::array<Buoy, 4> byIndex{Buoy::UpperRight, Buoy::LowerRight,
                                                 Buoy::UpperLeft, Buoy::LowerLeft};
    return byIndex[size_t(std::clamp(index, 1, 4) - 1)];
}

Point2 cornerMark(const Global& g, Buoy b)
{
    switch (b) {
    case Buoy::UpperLeft:
        return {g.ul_screen_x, g.ul_screen_y};
    case Buoy::UpperRight:
        return {g.ur_screen_x, g.ur_screen_y};
    case Buoy::LowerLeft:
        return {g.ll_screen_x, g.ll_screen_y};
    case Buoy::LowerRight:
        return {g.lr_screen_x, g.lr_screen_y};
    }
    return {};
}

void setCornerMark(Global& g, Buoy b, Point2 m)
{
    switch (b) {
    case Buoy::UpperLeft:
        g.ul_screen_x = m.x;
        g.ul_screen_y = m.y;
        break;
    case Buoy::UpperRight:
        g.ur_screen_x = m.x;
        g.ur_screen_y = m.y;
        break;
    case Buoy::LowerLeft:
        g.ll_screen_x = m.x;
        g.ll_screen_y = m.y;
        break;
    case Buoy::LowerRight:
        g.lr_screen_x = m.x;
        g.lr_screen_y = m.y;
        break;
    }
}

void cornerMarksFromPoints(Global& g)
{
    for (Buoy b : kBuoyVisitOrder) {
        const size_t k = size_t(pointIndex(b));
        setCornerMark(g, b, {g.buoy_screen_x[k], g.buoy_screen_y[k]});
    }
}

void applyCoordinateChange(Global& g, CoordinateBox box, const QString& text)
{
    const double value = leadingNumber(text);
    const size_t k = size_t(pointIndex(box.buoy));
    switch (box.kind) {
    case BoxKind::SurveyX:
        g.buoy_survey_x[k] = value;
        break;
    case BoxKind::SurveyY:
        g.buoy_survey_y[k] = value;
        break;
    case BoxKind::JumpX:
        g.jump_survey_x = value;
        g.slot_jump_x = value;
        break;
    case BoxKind::JumpY:
        g.jump_survey_y = value;
        g.slot_jump_y = value;
        break;
    case BoxKind::ScreenX:
    case BoxKind::ScreenY:
        break;
    }
    g.setup_ok = 0;
}

MarkResult markBuoy(Global& g, std::optional<Buoy> selected, bool locked, Point2 click,
                    CrossSize crossSize)
{
    if (!selected)
        return {};
    g.click_x = click.x;
    g.click_y = click.y;
    const Point2 m = cornerMark(g, *selected);
    const Point2 d{click.x - m.x, click.y - m.y};
    return moveMarks(g, selected, locked, crossSize, [&](Buoy b, Point2 old) {
        return b == *selected ? click : Point2{old.x + d.x, old.y + d.y};
    });
}

MarkResult microAdjust(Global& g, std::optional<Buoy> selected, bool locked,
                       AdjustDirection direction, CrossSize crossSize)
{
    Point2 step;
    switch (direction) {
    case AdjustDirection::Up:
        step.y = -kMicroAdjustStep;
        break;
    case AdjustDirection::Down:
        step.y = kMicroAdjustStep;
        break;
    case AdjustDirection::Left:
        step.x = -kMicroAdjustStep;
        break;
    case AdjustDirection::Right:
        step.x = kMicroAdjustStep;
        break;
    }
    return moveMarks(g, selected, locked, crossSize, [&](Buoy, Point2 old) {
        return Point2{old.x + step.x, old.y + step.y};
    });
}

bool canLockGrid(const CoordinateTexts& texts)
{
    for (Buoy b : kBuoyVisitOrder)
        if (texts[b].screenX == kUnmarkedText)
            return false;
    return true;
}

OverlayShapes showGridShapes(Global& g, int crossSizeValue)
{
    OverlayShapes shapes;
    const double r = 2.0 * crossSizeValue;
    for (Buoy b : kBuoyVisitOrder) {
        const Point2 m = cornerMark(g, b);
        shapes.push_back(OverlayCircle{m.x, m.y, r, kWhite, kPenWidth});
    }
    g.cross_radius = r;
    for (Buoy b : kBuoyVisitOrder) {
        const Point2 m = cornerMark(g, b);
        for (const Point2 p : {m, Point2{m.x, m.y + 5}, Point2{m.x, m.y - 5}, Point2{m.x + 5, m.y},
                               Point2{m.x - 5, m.y}})
            shapes.push_back(OverlayPoint{p.x, p.y, kWhite, kPenWidth});
    }
    return shapes;
}

OverlayShapes exitShapes(const Global& g)
{
    constexpr double kHalf = 100.0;
    OverlayShapes shapes;
    for (Buoy b : kBuoyVisitOrder)
        drawCross(shapes, cornerMark(g, b), kHalf);
    const Point2 ur = cornerMark(g, Buoy::UpperRight);
    const Point2 lr = cornerMark(g, Buoy::LowerRight);
    const Point2 ul = cornerMark(g, Buoy::UpperLeft);
    const Point2 ll = cornerMark(g, Buoy::LowerLeft);
    shapes.push_back(OverlayLine{lr.x, lr.y, ur.x, ur.y, kWhite, kPenWidth});
    shapes.push_back(OverlayLine{ll.x, ll.y, ul.x, ul.y, kWhite, kPenWidth});
    return shapes;
}
