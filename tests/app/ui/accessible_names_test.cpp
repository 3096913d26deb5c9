// Every control an operator can reach on the start screen (with its name list editor), the
// results screen and the manual screen has a name a screen reader can read out.

#include "app/ui/manual.h"
#include "results/ui/results_screen.h"
#include "support/qt_printers.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool takesInput(QWidget* w)
{
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
           qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QAbstractSlider*>(w);
}

// The screen's controls that have no accessible name, and its text boxes that have no
// caption label for their buddy (a drop-down's own text box has the drop-down's).
QStringList unnamed(QWidget& screen)
{
    QStringList missing;
    for (QWidget* w : screen.findChildren<QWidget*>()) {
        const QString who = QString::fromLatin1(w->metaObject()->className()) + ' ' +
                            w->objectName() + " in " + w->parentWidget()->objectName();
        if (takesInput(w) && w->accessibleName().isEmpty())
            missing << who;
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (!edit || qobject_cast<QComboBox*>(edit->parentWidget()))
            continue;
        bool captioned = false;
        for (QLabel* label : screen.findChildren<QLabel*>())
            captioned = captioned || label->buddy() == edit;
        if (!captioned)
            missing << who + " (no caption)";
    }
    return missing;
}

TEST(AccessibleNames, EveryControlOfTheStartResultsAndManualScreensHasOne)
{
    StartedProgram p;
    StartScreenDriver start(p.start());
    start.editList(NameList::Skiers);
    EXPECT_EQ(unnamed(start.screen()), QStringList());
    EXPECT_EQ(start.listEditor().accessibleName(), "Skiers list editor");

    p.state.pass.measured = true;
    ResultsScreen& results = p.screens.resultsScreen();
    results.load();
    EXPECT_EQ(unnamed(results), QStringList());

    start.readManual();
    EXPECT_EQ(unnamed(p.screens.manual()), QStringList());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
