#pragma once
// The check both picture screens' layout tests share: every control shown stands in the one
// control column at the left edge of the drawing surface, on screen, big enough for its whole
// caption, and clear of every other control.

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <string>

inline void expectReadableControlColumn(QWidget& window, QWidget& surface, const std::string& at)
{
    const auto* column = surface.findChild<QFrame*>(QStringLiteral("controlColumn"));
    ASSERT_NE(column, nullptr) << at << "no control column";
    EXPECT_EQ(column->geometry(), QRect(0, 0, 270, surface.height())) << at;
    EXPECT_LE(column->minimumSizeHint().height(), column->height()) << at;

    QList<QWidget*> shown; // the controls, not the plain frame that holds them
    for (QWidget* w : surface.findChildren<QWidget*>())
        if (w->isVisibleTo(&window) && w->metaObject() != &QFrame::staticMetaObject &&
            w->objectName() != "LineOverlay" &&
            !w->objectName().startsWith("accuracyIndicatorLabel"))
            shown.append(w);
    for (QWidget* w : shown) {
        const QRect r(w->mapTo(&surface, QPoint(0, 0)), w->size());
        const std::string what = at + w->objectName().toStdString();
        EXPECT_TRUE(column->isAncestorOf(w)) << what << " stands outside the column";
        EXPECT_TRUE(surface.rect().contains(r)) << what << " lies off the screen";
        const auto* label = qobject_cast<QLabel*>(w);
        if (label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(w->width()), w->height()) << what;
        } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()) + 8, w->width()) << what;
            EXPECT_LE(box->minimumSizeHint().height(), w->height()) << what;
        } else if (qobject_cast<QGroupBox*>(w)) {
            EXPECT_LE(w->minimumSizeHint().width(), w->width()) << what;
            EXPECT_LE(w->minimumSizeHint().height(), w->height()) << what;
        } else {
            EXPECT_LE(w->sizeHint().width(), w->width()) << what << " clips its caption";
            EXPECT_LE(w->sizeHint().height(), w->height()) << what << " clips its caption";
        }
        for (QWidget* other : shown) {
            if (other == w || w->isAncestorOf(other) || other->isAncestorOf(w))
                continue;
            const QRect o(other->mapTo(&surface, QPoint(0, 0)), other->size());
            EXPECT_FALSE(r.intersects(o))
                << what << " overlaps " << other->objectName().toStdString();
        }
    }
}
