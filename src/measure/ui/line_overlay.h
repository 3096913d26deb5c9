#pragma once
// Paints the measurement screen's line objects over the drawing surface: a transparent
// child that lets the mouse through and repaints only where a line moved.

#include "measure/line_record.h"

#include <QWidget>

class LineOverlay : public QWidget
{
public:
    explicit LineOverlay(QWidget* parent);

    void setLines(const MeasureLines& lines);
    const MeasureLines& lines() const { return current; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MeasureLines current;
    bool painted = false;
};
