#pragma once
// Small helpers every screen uses to lay out its controls: positions in twips, and the
// control's own name (tests find controls by it).

#include "common/twips.h"

#include <QString>
#include <QWidget>

// The control column at the left edge of the calibration and measurement screens, in pixels:
// the picture fills the rest of the surface, the same rectangle on both. With the standard
// camera the course starts 293 pixels from the picture's left edge, so it stays in view.
inline constexpr int kControlColumnWidth = 270;

// Places a widget by its position and size in twips.
inline void place(QWidget* w, double left, double top, double width, double height)
{
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                   twipsToPixels(height));
}

// Gives a new control its name and hands it back.
template <typename T> T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}
