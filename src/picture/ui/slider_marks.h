#pragma once
#include <QColor>
#include <QString>
#include <QtGlobal>
#include <vector>
// A moment or stretch of the video marked on the position slider.
struct SliderMark
{
    qint64 fromUs = 0; // media time
    qint64 toUs = 0;   // == fromUs for a single frame
    QColor colour;
    QString label; // for the tooltip and screen readers
};
