#pragma once
// Drives the measurement screen as an operator does (keys, clicks, the pointer over the
// picture, the video's controls) and reads what it shows, so that tests say what they do
// instead of looking controls up by name. The names live here, and only here.

#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

class MeasureScreenDriver
{
public:
    enum class Check { ViewOnly, ThinLine, EdgeMarkers, PathMarkers, UseMouse };

    explicit MeasureScreenDriver(MeasureScreen& screen) : screen(screen) {}

    MeasureScreen& window() { return screen; }
    const MeasureModel& model() const { return screen.model(); }

    // --- the pass ---
    // Enter on Start Pass, which holds the keyboard while the screen is armed.
    void pressStartPass() { QTest::keyClick(startPassButton(), Qt::Key_Return); }
    void clickStartPass() { QTest::mouseClick(startPassButton(), Qt::LeftButton); }
    // Enter on whatever has the keyboard.
    void pressEnter() { QTest::keyClick(screen.focusWidget(), Qt::Key_Return); }
    bool startPassHasFocus() const { return screen.focusWidget() == startPassButton(); }
    void abort() { QTest::mouseClick(find<QPushButton>("abortButton"), Qt::LeftButton); }
    void returnToStart() { find<QAction>("returnToStartAction")->trigger(); }

    // --- the operator's devices ---
    // Arrow keys as key events on a widget of the screen (the focused one unless given).
    void pressKey(Qt::Key key, QWidget* on = nullptr) { QTest::keyPress(target(on), key); }
    void releaseKey(Qt::Key key, QWidget* on = nullptr) { QTest::keyRelease(target(on), key); }
    void tapKey(Qt::Key key, QWidget* on = nullptr) { QTest::keyClick(target(on), key); }
    // The pointer over the picture, at a surface position (fractions of a pixel count).
    void movePointer(QPointF at)
    {
        QMouseEvent move(QEvent::MouseMove, at, surface().mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&surface(), &move);
    }
    // A click on the picture, at a surface pixel.
    void clickPicture(QPoint at) { QTest::mouseClick(&surface(), Qt::LeftButton, {}, at); }
    void connectJoystick()
    {
        QTest::mouseClick(find<QPushButton>("connectJoystickButton"), Qt::LeftButton);
    }
    QString joystickStatus() const { return find<QLabel>("joystickStatusLabel")->text(); }

    // --- the display options ---
    QCheckBox* check(Check which) const
    {
        static const char* const names[] = {"viewOnlyCheck", "thinLineCheck", "edgeMarkersCheck",
                                            "pathMarkersCheck", "useMouseCheck"};
        return find<QCheckBox>(names[int(which)]);
    }
    // On the box, as the operator clicks it.
    void clickCheck(Check which)
    {
        QCheckBox* box = check(which);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QRadioButton* whiteLineOption() const { return find<QRadioButton>("whiteLineOption"); }
    void chooseRedGreenBoundary() { find<QRadioButton>("redGreenBoundaryOption")->click(); }
    void chooseWideJumpPath()
    {
        QTest::mouseClick(find<QRadioButton>("widePathOption"), Qt::LeftButton);
    }
    void toggleStatusIndicators()
    {
        QTest::mouseClick(find<QPushButton>("statusButton"), Qt::LeftButton);
    }
    QString statusButtonText() const { return find<QPushButton>("statusButton")->text(); }
    // Replaces the text of an entry as typed; with `finish`, Enter ends the editing.
    static void type(QLineEdit* box, const QString& text, bool finish)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        if (finish)
            QTest::keyClick(box, Qt::Key_Return);
    }

    // --- what the screen shows ---
    bool shows(const QWidget* w) const { return w->isVisibleTo(&screen); }
    QString deviation() const { return deviationEdit()->text(); }
    QString distance() const { return distanceEdit()->text(); }
    QString sampleCount() const { return sampleCountEdit()->text(); }

    QPushButton* startPassButton() const { return find<QPushButton>("startPassButton"); }
    QLineEdit* deviationEdit() const { return find<QLineEdit>("deviationEdit"); }
    QLineEdit* distanceEdit() const { return find<QLineEdit>("distanceEdit"); }
    QLineEdit* sampleEdit() const { return find<QLineEdit>("sampleEdit"); }
    QLineEdit* startTimeEdit() const { return find<QLineEdit>("startTimeEdit"); }
    QLineEdit* endTimeEdit() const { return find<QLineEdit>("endTimeEdit"); }
    QLineEdit* sampleCountEdit() const { return find<QLineEdit>("sampleCountEdit"); }
    QLineEdit* inputTicksEdit() const { return find<QLineEdit>("inputTicksEdit"); }
    QLineEdit* sampleTicksEdit() const { return find<QLineEdit>("sampleTicksEdit"); }
    QLineEdit* markRedrawsEdit() const { return find<QLineEdit>("markRedrawsEdit"); }
    QLineEdit* countEdit() const { return find<QLineEdit>("countEdit"); }
    QLineEdit* boatWidthEdit() const { return find<QLineEdit>("boatWidthEdit"); }
    QLineEdit* boundaryWidthEdit() const { return find<QLineEdit>("boundaryWidthEdit"); }
    QLineEdit* jumpBoundaryEdit() const { return find<QLineEdit>("jumpBoundaryEdit"); }
    QLabel* timeLabel() const { return find<QLabel>("timeLabel"); }
    QLabel* doneLabel() const { return find<QLabel>("doneLabel"); }
    QLabel* mouseStartLabel() const { return find<QLabel>("mouseStartLabel"); }
    QLabel* styleLegendLabel() const { return find<QLabel>("styleLegendLabel"); }
    QLabel* instructionLabel() const { return find<QLabel>("instructionLabel"); }
    QLabel* joystickYLabel() const { return find<QLabel>("joystickYLabel"); }
    QGroupBox* lineColourGroup() const { return find<QGroupBox>("lineColourGroup"); }
    QGroupBox* jumpPathGroup() const { return find<QGroupBox>("jumpPathGroup"); }
    // The captions of the pass's figures and of the engine's counters.
    QList<QLabel*> figureCaptions() const
    {
        return {find<QLabel>("startTimeLabel"), find<QLabel>("endTimeLabel"),
                find<QLabel>("sampleCountLabel"), find<QLabel>("ticksLabel"),
                find<QLabel>("redrawsLabel")};
    }
    DrawingSurface& surface() const { return *find<DrawingSurface>(nullptr); }

    // --- the video file under the screen (its transport and menu) ---
    QWidget* videoTransport() const { return find<QWidget>("videoTransport"); }
    void playOrPause() { QTest::mouseClick(find<QPushButton>("btnPlay"), Qt::LeftButton); }
    void stepVideoForward()
    {
        QTest::mouseClick(find<QPushButton>("btnFrameForward"), Qt::LeftButton);
    }
    void chooseVideoFile() { find<QAction>("mnuVideoFile")->trigger(); }

private:
    template <typename W> W* find(const char* name) const
    {
        W* w = name ? screen.findChild<W*>(QString::fromLatin1(name)) : screen.findChild<W*>();
        EXPECT_NE(w, nullptr) << (name ? name : "no such widget on the measurement screen");
        return w;
    }
    QWidget* target(QWidget* on) const
    {
        if (on)
            return on;
        return screen.focusWidget() ? screen.focusWidget() : &screen;
    }

    MeasureScreen& screen;
};
