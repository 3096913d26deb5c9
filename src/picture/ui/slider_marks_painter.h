#pragma once
// Draws marks (SliderMark) over a horizontal slider's groove: a transparent child of the
// slider that lets the mouse through, each mark a band from its start to its end at the
// slider's own positions (the slider counts milliseconds).

#include "picture/ui/slider_marks.h"

#include <QWidget>

class QSlider;

class SliderMarksPainter : public QWidget
{
public:
    explicit SliderMarksPainter(QSlider* slider);
    void setMarks(const std::vector<SliderMark>& marks);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSlider* slider;
    std::vector<SliderMark> marks;
};
