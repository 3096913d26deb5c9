#include "picture/ui/slider_marks_painter.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

SliderMarksPainter::SliderMarksPainter(QSlider* slider) : QWidget(slider), slider(slider)
{
    setObjectName(QStringLiteral("sliderMarks"));
    setAccessibleName(QStringLiteral("Marks on the Video Position"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    slider->installEventFilter(this);
    setGeometry(slider->rect());
}

void SliderMarksPainter::setMarks(const std::vector<SliderMark>& next)
{
    marks = next;
    QStringList labels;
    for (const SliderMark& m : marks)
        labels << m.label;
    slider->setAccessibleDescription(labels.join(QStringLiteral(", ")));
    update();
}

bool SliderMarksPainter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == slider && event->type() == QEvent::Resize)
        setGeometry(slider->rect());
    if (watched == slider && event->type() == QEvent::ToolTip && !marks.empty()) {
        QStringList labels;
        for (const SliderMark& m : marks)
            labels << m.label;
        setToolTip(labels.join(QLatin1Char('\n')));
    }
    return false;
}

void SliderMarksPainter::paintEvent(QPaintEvent*)
{
    if (marks.empty() || slider->maximum() <= slider->minimum())
        return;
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    const QRect groove = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderGroove, slider);
    const int handle = slider->style()->pixelMetric(QStyle::PM_SliderLength, &option, slider);
    const int span = std::max(1, groove.width() - handle);
    const auto xOf = [&](qint64 us) {
        const int ms = int(std::clamp<qint64>(us / 1000, slider->minimum(), slider->maximum()));
        return groove.left() + handle / 2 +
               QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), ms, span);
    };
    QPainter p(this);
    const int top = std::max(0, groove.center().y() - 5);
    for (const SliderMark& m : marks) {
        const int a = xOf(m.fromUs);
        const int b = std::max(a + 2, xOf(m.toUs));
        p.fillRect(QRect(QPoint(a, top), QPoint(b, top + 10)), m.colour);
    }
}
