#include "measure/input_devices.h"

#include "measure/input_positioning.h"
#include "platform/joystick.h"
#include "platform/key_state.h"

namespace {
// A device puts the line's second column on its left.
constexpr double kDeviceSecondColumn = -15.0;

// Texts are compared before they are replaced, so an unchanged tick costs no allocation
// in the screen.
void setText(QString& field, const QString& text)
{
    if (field != text)
        field = text;
}
} // namespace

InputDevices::InputDevices(KeyState& keys, Joystick& joystick, JoystickTexts& texts)
    : keys(keys), joystick(joystick), texts(texts)
{
    texts.status = joystickStatusText(kJoyErrParms);
}

int InputDevices::stepKeys(MeasureLines& lines, const LineSpan& span)
{
    int pressed = 0;
    for (ArrowKey k : {ArrowKey::Left, ArrowKey::Up, ArrowKey::Right, ArrowKey::Down}) {
        if (!keys.poll(k))
            continue;
        keyboardStep(lines, k, span);
        ++pressed;
    }
    return pressed;
}

void InputDevices::pointLine(MeasureLines& lines)
{
    const JoystickReading joy = joystick.poll();
    if (joy.status != lastJoystickStatus) {
        lastJoystickStatus = joy.status;
        texts.status = joystickStatusText(joy.status);
    }
    if (joy.status == kJoyNoError) {
        setText(texts.x, QString::number(joy.x));
        setText(texts.y, QString::number(joy.y));
        lines.putMeasureLineAt(joystickLineX(joy.x, joystickCentreX, lines.boatMarker.x1),
                               kDeviceSecondColumn);
    }
    if (useMouse_)
        lines.putMeasureLineAt(pointerX, kDeviceSecondColumn);
}

void InputDevices::pointerMoved(double xTwips)
{
    pointerX = mouseTwips(xTwips);
}

int InputDevices::connectJoystick()
{
    const int code = joystick.detect();
    if (code == kJoyNoError) {
        const JoystickReading joy = joystick.poll();
        texts.x = QString::number(joy.x);
        texts.y = QString::number(joy.y);
        joystickCentreX = joy.x;
        lastJoystickStatus = joy.status;
    } else {
        lastJoystickStatus = code;
    }
    texts.status = joystickStatusText(lastJoystickStatus);
    return code;
}
