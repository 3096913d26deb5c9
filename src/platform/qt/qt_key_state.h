#pragma once
// The arrow keys from Qt's key events, seen application-wide (whichever control has the
// focus), as a system-wide key state query would see them. The events go on to their
// receivers unchanged.

#include "platform/key_state.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <optional>

class QtKeyState : public QObject, public ArrowKeyLatch
{
public:
    QtKeyState()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    ~QtKeyState() override
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->removeEventFilter(this);
    }

    static std::optional<ArrowKey> arrowKey(int qtKey)
    {
        switch (qtKey) {
        case Qt::Key_Left:
            return ArrowKey::Left;
        case Qt::Key_Up:
            return ArrowKey::Up;
        case Qt::Key_Right:
            return ArrowKey::Right;
        case Qt::Key_Down:
            return ArrowKey::Down;
        default:
            return std::nullopt;
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        // A key event reaches the filter once per receiver it propagates through; only the
        // first delivery (to a widget) matters, repeats change nothing in the latch.
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (const auto arrow = arrowKey(key->key())) {
                if (type == QEvent::KeyPress)
                    press(*arrow);
                else if (!key->isAutoRepeat()) // auto-repeat sends release/press pairs
                    release(*arrow);
            }
        } else if (type == QEvent::ApplicationDeactivate) {
            releaseAll(); // a key let go in another program is never reported here
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void releaseAll()
    {
        for (ArrowKey k : {ArrowKey::Left, ArrowKey::Up, ArrowKey::Right, ArrowKey::Down})
            release(k);
    }
};
