#include "calibration/buoy_marking.h"

#include "common/number_forms.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

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
        const OverlayShapes erase = markEraseShapes(old, g.cross_radius, crossSize.max);
        result.shapes.insert(result.shapes.end(), erase.begin(), erase.end());
        const Point2 mark = newMark(b, old);
        storeMark(g, b, mark);
        addCross(result.shapes, mark, crossSize.value, kWhite, kMarkPenWidth);
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

static QString buoyCaption(Buoy b)
{
    switch (b) {
    case Buoy::UpperLeft:
        return QStringLiteral("upper left");
    case Buoy::UpperRight:
        return QStringLiteral("upper right");
    case Buoy::LowerLeft:
        return QStringLiteral("lower left");
    case Buoy::LowerRight:
        return QStringLiteral("lower right");
    }
    return {};
}

QString boxCaption(CoordinateBox b)
{
    switch (b.kind) {
    case BoxKind::ScreenX:
        return buoyCaption(b.buoy) + QStringLiteral(" buoy screen x");
    case BoxKind::ScreenY:
        return buoyCaption(b.buoy) + QStringLiteral(" buoy screen y");
    case BoxKind::SurveyX:
        return buoyCaption(b.buoy) + QStringLiteral(" buoy survey x");
    case BoxKind::SurveyY:
        return buoyCaption(b.buoy) + QStringLiteral(" buoy survey y");
    case BoxKind::JumpX:
        return QStringLiteral("jump x");
    case BoxKind::JumpY:
        return QStringLiteral("jump y");
    }
    return {};
}

QString notAScreenPositionMessage(CoordinateBox box, const QString& typed)
{
    return QStringLiteral("\"%1\" is not a number for the %2: the mark stays where it was.")
        .arg(typed, boxCaption(box));
}

std::optional<double> typedScreenCoordinate(const QString& text)
{
    static const QRegularExpression plainNumber(
        QStringLiteral(R"(^\s*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)\s*$)"));
    if (!plainNumber.match(text).hasMatch())
        return std::nullopt;
    QByteArray digits = text.trimmed().toLatin1();
    if (digits.startsWith('+'))
        digits.remove(0, 1);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    if (error != std::errc() || end != digits.constData() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

MarkResult placeTypedMark(Global& g, CoordinateBox box, double value, bool locked,
                          CrossSize crossSize)
{
    if (box.kind != BoxKind::ScreenX && box.kind != BoxKind::ScreenY)
        return {};
    const Point2 m = cornerMark(g, box.buoy);
    const Point2 target = box.kind == BoxKind::ScreenX ? Point2{value, m.y} : Point2{m.x, value};
    const Point2 d{target.x - m.x, target.y - m.y};
    return moveMarks(g, box.buoy, locked, crossSize, [&](Buoy b, Point2 old) {
        return b == box.buoy ? target : Point2{old.x + d.x, old.y + d.y};
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

void addCross(OverlayShapes& shapes, Point2 c, double half, Rgb colour, int penWidth)
{
    shapes.push_back(OverlayLine{c.x - half, c.y, c.x + half, c.y, colour, penWidth});
    shapes.push_back(OverlayLine{c.x, c.y - half, c.x, c.y + half, colour, penWidth});
}

OverlayShapes markCrossShapes(Point2 mark, int crossSize)
{
    OverlayShapes shapes;
    addCross(shapes, mark, crossSize, kWhite, kMarkPenWidth);
    return shapes;
}

OverlayShapes markEraseShapes(Point2 mark, double crossRadius, int crossSizeMax)
{
    OverlayShapes shapes;
    shapes.push_back(OverlayCircle{mark.x, mark.y, crossRadius, kMagenta, kMarkPenWidth});
    addCross(shapes, mark, crossSizeMax, kMagenta, kMarkPenWidth);
    return shapes;
}

OverlayShapes exitShapes(const Global& g)
{
    OverlayShapes shapes;
    for (Buoy b : kBuoyVisitOrder)
        addCross(shapes, cornerMark(g, b), kExitCrossHalfLength, kWhite, kMarkPenWidth);
    const Point2 ur = cornerMark(g, Buoy::UpperRight);
    const Point2 lr = cornerMark(g, Buoy::LowerRight);
    const Point2 ul = cornerMark(g, Buoy::UpperLeft);
    const Point2 ll = cornerMark(g, Buoy::LowerLeft);
    shapes.push_back(OverlayLine{lr.x, lr.y, ur.x, ur.y, kWhite, kMarkPenWidth});
    shapes.push_back(OverlayLine{ll.x, ll.y, ul.x, ul.y, kWhite, kMarkPenWidth});
    return shapes;
}
