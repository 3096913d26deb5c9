#include "measure/input_positioning.h"

#include "common/number_forms.h"
#include "platform/joystick.h"

void keyboardStep(MeasureLines& lines, ArrowKey key, const LineSpan& span)
{
    LineRecord& a = lines.measureLine;
    LineRecord& b = lines.measureLineColumn2;
    switch (key) {
    case ArrowKey::Left:
    case ArrowKey::Right: {
        const double dx = key == ArrowKey::Left ? -kKeyStepX : kKeyStepX;
        a.x1 += dx;
        a.x2 += dx;
        b.x1 += dx;
        b.x2 += dx;
        break;
    }
    case ArrowKey::Up:
        if (a.y1 > span.top) {
            a.y1 -= kKeyStepY;
            b.y1 -= kKeyStepY;
        }
        break;
    case ArrowKey::Down:
        if (a.y1 < span.bottom - kLineShortest) {
            a.y1 += kKeyStepY;
            b.y1 += kKeyStepY;
        }
        break;
    }
}

std::int32_t joystickLineX(std::int32_t readingX, std::int32_t centreX, double markerLeftX)
{
    const auto centre = std::int64_t(roundHalfEven(markerLeftX + 400.0));
    // 65356 rather than 65536: full deflection moves the line a little over 1250 twips.
    const std::int64_t product = (std::int64_t(readingX) - centreX) * 1250;
    return std::int32_t(roundHalfEven(double(product) / 65356.0 + double(centre)));
}

QString joystickStatusText(int code)
{
    if (code == kJoyNoError)
        return QStringLiteral("Status: Joystick Connected");
    if (code == kJoyErrUnplugged)
        return QStringLiteral("Status: Joystick Unplugged");
    QString what;
    switch (code) {
    case kJoyErrParms:
        what = QStringLiteral("No joystick connected");
        break;
    case kJoyErrNoCanDo:
        what = QStringLiteral("Joystick found but could not be opened");
        break;
    case kJoyErrNoDriver:
        what = QStringLiteral("Joystick support could not start");
        break;
    default:
        what = QStringLiteral("Joystick could not be read");
        break;
    }
    return QStringLiteral("Status: ") + what + QStringLiteral(" (") + QString::number(code) +
           QStringLiteral(")");
}

std::int32_t mouseTwips(double xTwips)
{
    return std::int32_t(roundHalfEven(xTwips));
}
