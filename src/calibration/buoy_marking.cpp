#include "calibration/buoy_marking.h"

#include "common/number_forms.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Moves each processed buoy to newMark(buoy, oldMark), erasing and redrawing as it goes.
template <typename NewMark>
MarkResult moveMarks(Calibration& calibration, std::optional<Buoy> selected, bool locked,
                     CrossSize crossSize, NewMark newMark)
{
    MarkResult result;
    for (Buoy b : kBuoyVisitOrder) {
        if (b != selected && !locked)
            continue;
        const Point2 old = calibration.mark(b);
        const OverlayShapes erase = markEraseShapes(old, crossSize.circleRadius, crossSize.max);
        result.shapes.insert(result.shapes.end(), erase.begin(), erase.end());
        const Point2 mark = newMark(b, old);
        calibration.mark(b) = mark;
        addCross(result.shapes, mark, crossSize.value, kWhite, kMarkPenWidth);
        result.moved.push_back({b, mark});
    }
    return result;
}

} // namespace

void applyCoordinateChange(Calibration& calibration, CoordinateBox box, const QString& text)
{
    const double value = leadingNumber(text);
    switch (box.kind) {
    case BoxKind::SurveyX:
        calibration.surveyPoint(box.buoy).x = value;
        break;
    case BoxKind::SurveyY:
        calibration.surveyPoint(box.buoy).y = value;
        break;
    case BoxKind::JumpX:
        calibration.jumpPoint.x = value;
        break;
    case BoxKind::JumpY:
        calibration.jumpPoint.y = value;
        break;
    case BoxKind::ScreenX:
    case BoxKind::ScreenY:
        break;
    }
    calibration.complete = false;
}

MarkResult markBuoy(Calibration& calibration, std::optional<Buoy> selected, bool locked,
                    Point2 click, CrossSize crossSize)
{
    if (!selected)
        return {};
    const Point2 m = calibration.mark(*selected);
    const Point2 d{click.x - m.x, click.y - m.y};
    return moveMarks(calibration, selected, locked, crossSize, [&](Buoy b, Point2 old) {
        return b == *selected ? click : Point2{old.x + d.x, old.y + d.y};
    });
}

QString buoyCaption(Buoy b)
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

QStringList coordinateLines(const CoordinateTexts& t, const QString& screenUnit)
{
    const QString gap = QStringLiteral("  ");
    const QString blank = QStringLiteral(" ");
    struct Row
    {
        const char* name;
        Buoy buoy;
    };
    QStringList lines;
    for (const Row& r :
         {Row{"Upper Left", Buoy::UpperLeft}, Row{"Lower Left", Buoy::LowerLeft},
          Row{"Upper Right", Buoy::UpperRight}, Row{"Lower Right", Buoy::LowerRight}}) {
        const BuoyTexts& b = t[r.buoy];
        const QString name = QString::fromLatin1(r.name);
        lines << name + QStringLiteral(" X,Y ") + screenUnit + QStringLiteral(": ") + b.screenX +
                     gap + b.screenY
              << name + QStringLiteral(" X,Y Survey: ") + b.surveyX + gap + b.surveyY << blank;
    }
    lines << QStringLiteral("Jump X,Y Survey: ") + t.jumpX + gap + t.jumpY << blank;
    return lines;
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

MarkResult placeTypedMark(Calibration& calibration, CoordinateBox box, double value, bool locked,
                          CrossSize crossSize)
{
    if (box.kind != BoxKind::ScreenX && box.kind != BoxKind::ScreenY)
        return {};
    const Point2 m = calibration.mark(box.buoy);
    const Point2 target = box.kind == BoxKind::ScreenX ? Point2{value, m.y} : Point2{m.x, value};
    const Point2 d{target.x - m.x, target.y - m.y};
    return moveMarks(calibration, box.buoy, locked, crossSize, [&](Buoy b, Point2 old) {
        return b == box.buoy ? target : Point2{old.x + d.x, old.y + d.y};
    });
}

MarkResult microAdjust(Calibration& calibration, std::optional<Buoy> selected, bool locked,
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
    return moveMarks(calibration, selected, locked, crossSize, [&](Buoy, Point2 old) {
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

OverlayShapes exitShapes(const Calibration& calibration)
{
    OverlayShapes shapes;
    for (Buoy b : kBuoyVisitOrder)
        addCross(shapes, calibration.mark(b), kExitCrossHalfLength, kWhite, kMarkPenWidth);
    const Point2 ur = calibration.mark(Buoy::UpperRight);
    const Point2 lr = calibration.mark(Buoy::LowerRight);
    const Point2 ul = calibration.mark(Buoy::UpperLeft);
    const Point2 ll = calibration.mark(Buoy::LowerLeft);
    shapes.push_back(OverlayLine{lr.x, lr.y, ur.x, ur.y, kWhite, kMarkPenWidth});
    shapes.push_back(OverlayLine{ll.x, ll.y, ul.x, ul.y, kWhite, kMarkPenWidth});
    return shapes;
}
