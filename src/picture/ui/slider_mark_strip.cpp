#include "picture/ui/slider_mark_strip.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <algorithm>

SliderMarkStrip::SliderMarkStrip(QSlider& slider, const std::vector<SliderMark>& marks)
    : QWidget(&slider), slider(slider), marks(marks)
{
    setObjectName(QStringLiteral("sliderMarks"));
    // What the marks are is read out as the slider's description.
    setAccessibleName(QStringLiteral("Marks on the video position"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(slider.rect());
    slider.installEventFilter(this);
}

void SliderMarkStrip::refresh()
{
    QStringList labels;
    for (const SliderMark& m : marks)
        if (!m.label.isEmpty() && !labels.contains(m.label))
            labels << m.label;
    slider.setAccessibleDescription(labels.join(QStringLiteral("; ")));
    update();
}

bool SliderMarkStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &slider && event->type() == QEvent::Resize)
        setGeometry(slider.rect());
    return QWidget::eventFilter(watched, event);
}

int SliderMarkStrip::xOf(qint64 us) const
{
    // Where the handle's middle stands at that value.
    const int handle = slider.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &slider);
    const int ms = int(std::clamp<qint64>(us / 1000, slider.minimum(), slider.maximum()));
    return handle / 2 + QStyle::sliderPositionFromValue(slider.minimum(), slider.maximum(), ms,
                                                        width() - handle);
}

void SliderMarkStrip::paintEvent(QPaintEvent*)
{
    if (marks.empty() || slider.maximum() <= slider.minimum())
        return;
    QPainter p(this);
    // Below the groove's middle, so the handle stays readable over them.
    const int top = height() / 2;
    for (const SliderMark& m : marks) {
        const int x1 = xOf(m.fromUs), x2 = xOf(std::max(m.toUs, m.fromUs));
        p.fillRect(QRect(QPoint(x1 - 1, top), QPoint(std::max(x2, x1) + 1, height() - 1)),
                   m.colour);
    }
}
