#pragma once
// Draws a slider's marks over it: a thin bar of the mark's colour where each moment lies on
// the slider's range (milliseconds of media time), a stretch as wide as it lasts. Lets the
// mouse through to the slider, follows its size, and hands the marks' labels to screen
// readers as the slider's description.

#include "picture/ui/slider_marks.h"

#include <QWidget>

class QSlider;

class SliderMarkStrip : public QWidget
{
public:
    SliderMarkStrip(QSlider& slider, const std::vector<SliderMark>& marks);
    // The marks changed: repaint and describe them.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int xOf(qint64 us) const;

    QSlider& slider;
    const std::vector<SliderMark>& marks;
};
