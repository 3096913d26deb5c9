#pragma once
// The manual screen's fixed text and where the screen first opens.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The operator's manual, built into the program, with CR LF between lines whatever line
// ends the built-in file carries. Empty when the text is missing from the build.
QString manualText(const QString& resourcePath = QStringLiteral(":/text/manual.txt"));

// Top left corner for a window of windowSize beside the start screen's frame: to its
// right when that fits on the available area, else to its left, else against the area's
// right edge; level with the start screen's top, and kept on the area.
QPoint manualPosition(const QRect& startFrame, const QSize& windowSize, const QRect& available);
