// The start screen's layout on the smallest display it is used on (1024 x 768): where its
// controls stand at the usual size, that nothing is cut or overlaps in any of its states,
// that a larger window keeps them together at their sizes, and the Tab key's order.

#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <stdexcept>

namespace {

std::string text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

class StartScreenLayout : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        screen.emplace(start());
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
    StartScreen& window() { return screen->screen(); }

    // The control an operator knows by `caption`: a field's caption, a button's text, a
    // group's title; the first in the screen's order where two share one ("Speed").
    QWidget& control(const QString& caption)
    {
        for (QWidget* w : window().findChildren<QWidget*>()) {
            auto* group = qobject_cast<QGroupBox*>(w);
            if ((group ? group->title() : w->accessibleName()) == caption)
                return *w;
        }
        throw std::invalid_argument(caption.toStdString());
    }
    // A control's place under the menu bar.
    QRect placeOf(QWidget& w)
    {
        return QRect(w.mapTo(&window(), QPoint(0, -window().menuBar()->height())), w.size());
    }
    // The controls an operator sees: every visible widget of the screen but the menu bar and
    // the parts Qt builds inside a control.
    std::vector<QWidget*> shownControls()
    {
        std::vector<QWidget*> shown;
        for (QWidget* w : window().centralWidget()->findChildren<QWidget*>()) {
            QWidget* parent = w->parentWidget();
            const bool inside = !qobject_cast<QGroupBox*>(parent) &&
                                parent->parentWidget() != window().centralWidget();
            if (w->isVisible() && !inside && !w->objectName().startsWith("qt_"))
                shown.push_back(w);
        }
        return shown;
    }
    std::map<QWidget*, QRect> places()
    {
        std::map<QWidget*, QRect> at;
        for (QWidget* w : shownControls())
            at[w] = placeOf(*w);
        return at;
    }

    // Nothing reaches past its frame or the window, nothing is smaller than it needs to be
    // read, no two controls in the same frame overlap.
    void expectReadable(const char* state)
    {
        const QRect available = window().screen()->availableGeometry();
        EXPECT_TRUE(available.contains(window().frameGeometry()))
            << state << ": window " << text(window().frameGeometry());
        const std::vector<QWidget*> shown = shownControls();
        for (QWidget* w : shown) {
            const std::string who = state + std::string(": ") + w->metaObject()->className() + " " +
                                    w->accessibleName().toStdString();
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
                << who << " at " << text(w->geometry()) << " outside its frame";
            const QSize needed = w->minimumSizeHint();
            EXPECT_GE(w->width(), needed.width()) << who;
            EXPECT_GE(w->height(), needed.height()) << who;
            for (QWidget* other : shown) {
                if (other != w && other->parentWidget() == w->parentWidget()) {
                    EXPECT_FALSE(w->geometry().intersects(other->geometry()))
                        << who << " overlaps " << other->accessibleName().toStdString();
                }
            }
        }
    }

    std::optional<StartScreenDriver> screen;
};

// The places the controls have always had (pixels under the menu bar), to within a few
// pixels: the window looks as it did before its layout grew with it.
TEST_F(StartScreenLayout, AtItsUsualSizeItLooksAsItAlwaysHas)
{
    EXPECT_EQ(window().size(), QSize(688, 576 + window().menuBar()->height()));
    screen->editList(NameList::Skiers);
    const std::vector<std::pair<QString, QRect>> usual{
        {"Tournament", {120, 64, 296, 22}},
        {"Boat Number", {120, 160, 296, 22}},
        {"Skiers", {16, 200, 280, 24}},
        {"Edit Boat Manuf.", {304, 264, 112, 24}},
        {"Boat Model", {16, 296, 280, 24}},
        {"Data Path for Results", {16, 356, 400, 22}},
        {"Go To Setup", {16, 396, 192, 36}},
        {"Measure", {224, 396, 192, 36}},
        {"Skiers list editor", {16, 456, 400, 104}},
        {"Close/Save", {448, 456, 104, 28}},
        {"Speed", {448, 64, 104, 188}},
        {"Line Length", {568, 64, 100, 244}},
        {"Select Slalom or Jump", {448, 320, 220, 44}},
        {"Boat Direction", {448, 372, 220, 68}},
    };
    constexpr int kNear = 6;
    for (const auto& [caption, was] : usual) {
        const QRect now = placeOf(control(caption));
        EXPECT_NEAR(now.x(), was.x(), kNear) << caption.toStdString() << " at " << text(now);
        EXPECT_NEAR(now.y(), was.y(), kNear) << caption.toStdString() << " at " << text(now);
        EXPECT_NEAR(now.width(), was.width(), kNear)
            << caption.toStdString() << " at " << text(now);
        EXPECT_NEAR(now.height(), was.height(), kNear)
            << caption.toStdString() << " at " << text(now);
    }
}

TEST_F(StartScreenLayout, NothingIsCutOrOverlapsInAnyState)
{
    expectReadable("slalom");
    screen->editList(NameList::Boats);
    expectReadable("slalom, editing a list");
    screen->chooseEvent(Event::Jump);
    expectReadable("jump, editing a list");
    screen->closeSave();
    expectReadable("jump");
}

// Maximised on a wide screen the controls keep their sizes and stay together, at the top in
// the middle; the event's change moves nothing but the speed groups' swap.
TEST_F(StartScreenLayout, ALargerWindowKeepsTheControlsTogetherAtTheirSizes)
{
    const std::map<QWidget*, QRect> usual = places();
    window().resize(1900, 1000);
    QTest::qWait(20);
    const std::map<QWidget*, QRect> large = places();
    ASSERT_EQ(large.size(), usual.size());
    const QPoint moved = large.begin()->second.topLeft() - usual.begin()->second.topLeft();
    for (const auto& [w, was] : usual) {
        EXPECT_EQ(large.at(w), was.translated(moved))
            << w->metaObject()->className() << " " << w->accessibleName().toStdString();
    }
    EXPECT_EQ(moved.y(), 0);
    EXPECT_NEAR(moved.x(), (1900 - 688) / 2, 4) << "in the middle";

    screen->chooseEvent(Event::Jump);
    QGroupBox& jumpSpeeds = screen->jumpSpeedGroup();
    for (const auto& [w, at] : places()) {
        if (w != &jumpSpeeds && w->parentWidget() != &jumpSpeeds) {
            EXPECT_EQ(at, large.at(w)) << w->accessibleName().toStdString();
        }
    }
}

TEST_F(StartScreenLayout, TabVisitsTheControlsInTheOrderTheyAlwaysHad)
{
    const QStringList order{"Tournament",
                            "Location",
                            "Date",
                            "Boat Number",
                            "Skiers",
                            "Edit Skiers",
                            "Drivers",
                            "Edit Drivers",
                            "Boat Manufacturer",
                            "Edit Boat Manuf.",
                            "Boat Model",
                            "Edit Model",
                            "Slalom",
                            "58/36",
                            "18.25",
                            "Going away from Camera",
                            "Data Path for Results",
                            "Go To Setup",
                            "Measure",
                            "Tournament"};
    screen->field(StartScreenDriver::Field::Tournament).setFocus();
    QStringList visited;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << visited.join(", ").toStdString();
        visited << focused->accessibleName();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, order);
}

} // namespace
