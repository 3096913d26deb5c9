#include "picture/ui/control_column.h"

#include "picture/ui/screen_layout.h"

#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

ControlColumn::ControlColumn(QWidget* surface)
    : frame_(named(new QFrame(surface), QStringLiteral("controlColumn"))),
      layout_(new QVBoxLayout(frame_))
{
    frame_->setAutoFillBackground(true);
    layout_->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout_->setSpacing(kGroupGap);
}

QHBoxLayout* ControlColumn::row(std::initializer_list<QWidget*> widgets, bool stretchAtEnd)
{
    auto* r = new QHBoxLayout;
    r->setSpacing(kColumnGap);
    for (QWidget* w : widgets)
        r->addWidget(w);
    if (stretchAtEnd)
        r->addStretch(1);
    layout_->addLayout(r);
    return r;
}

QGridLayout* ControlColumn::grid()
{
    auto* g = new QGridLayout;
    g->setHorizontalSpacing(kColumnGap);
    g->setVerticalSpacing(kRowGap);
    layout_->addLayout(g);
    return g;
}

void smallType(QWidget* widget)
{
    QFont f = widget->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    widget->setFont(f);
}

void ControlColumn::keepPlacesWhenHidden()
{
    for (QWidget* w : frame_->findChildren<QWidget*>()) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
}
