// The manual screen, opened from the start screen's menu.

#include "app/manual_rules.h"
#include "app/ui/manual.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ManualScreen : public ::testing::Test, protected StartedProgram
{
protected:
    void SetUp() override { form = &start(false); }

    Manual& openManual()
    {
        StartScreenDriver(*form).readManual();
        return screens.manual();
    }

    StartScreen* form = nullptr;
};

TEST_F(ManualScreen, OpensBesideTheStartScreenWithoutBlockingIt)
{
    EXPECT_FALSE(screens.hasManual());
    Manual& manual = openManual();
    EXPECT_TRUE(manual.isVisible());
    EXPECT_TRUE(manual.isWindow());
    EXPECT_EQ(manual.windowTitle(), "Wakeline Program Manual");
    EXPECT_EQ(manual.windowModality(), Qt::NonModal);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ManualScreen, ShowsTheManualReadOnlyWithBothScrollBars)
{
    Manual& manual = openManual();
    auto* text = manual.findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_DOUBLE_EQ(text->font().pointSizeF(), 9.75);
    EXPECT_EQ(text->font().styleHint(), QFont::SansSerif);
    EXPECT_EQ(text->toPlainText(), QString(manualText()).replace("\r\n", "\n"));

    // Typing does not change it.
    text->setFocus();
    QTest::keyClicks(text, "xyz");
    EXPECT_EQ(text->toPlainText(), QString(manualText()).replace("\r\n", "\n"));
}

TEST_F(ManualScreen, ReturnHidesItAndItComesBackAsItWasLeft)
{
    Manual& manual = openManual();
    auto* text = manual.findChild<QPlainTextEdit*>();
    auto* returnButton = manual.findChild<QPushButton*>();
    ASSERT_TRUE(text && returnButton);
    EXPECT_EQ(returnButton->text(), "Return");

    QScrollBar* vertical = text->verticalScrollBar();
    QScrollBar* horizontal = text->horizontalScrollBar();
    ASSERT_GT(vertical->maximum(), 20);
    vertical->setValue(vertical->maximum() * 2 / 3);
    horizontal->setValue(horizontal->maximum() / 2);
    const int down = vertical->value();
    const int across = horizontal->value();
    const QPoint place = manual.pos();

    QTest::mouseClick(returnButton, Qt::LeftButton);
    EXPECT_FALSE(manual.isVisible());
    EXPECT_TRUE(form->isVisible());

    Manual& again = openManual();
    EXPECT_EQ(&again, &manual);
    EXPECT_TRUE(manual.isVisible());
    EXPECT_EQ(vertical->value(), down);
    EXPECT_EQ(horizontal->value(), across);
    EXPECT_EQ(manual.pos(), place);
}

TEST_F(ManualScreen, ReadManualWhileOpenKeepsTheOneScreen)
{
    Manual& manual = openManual();
    auto* text = manual.findChild<QPlainTextEdit*>();
    text->verticalScrollBar()->setValue(10);
    Manual& again = openManual();
    EXPECT_EQ(&again, &manual);
    EXPECT_TRUE(manual.isVisible());
    EXPECT_EQ(text->verticalScrollBar()->value(), 10);
    int manuals = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<Manual*>(w))
            ++manuals;
    EXPECT_EQ(manuals, 1);
}

} // namespace
