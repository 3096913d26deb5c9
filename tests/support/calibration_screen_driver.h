#pragma once
// The calibration screen worked as the operator works it, for tests: its menus, buttons,
// boxes and indicators by what they do, so that only this file knows their object names.
// Answers to the file dialog and the questions come from the test's fakes.

#include "calibration/buoy_marking.h"
#include "calibration/ui/calibration_screen.h"
#include "course_display/accuracy_check.h"
#include "picture/ui/drawing_surface.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

class CalibrationScreenDriver
{
public:
    explicit CalibrationScreenDriver(CalibrationScreen& screen) : screen(screen) {}

    // ---- menus ----
    void loadSetup() { trigger("loadSetupAction"); }
    void saveSetup() { trigger("saveSetupAction"); }
    void leave() { trigger("exitAction"); }
    void loadPicture() { trigger("loadPictureAction"); }
    void clearPicture() { trigger("clearPictureAction"); }
    void pastePicture() { trigger("pastePictureAction"); }

    // ---- buttons ----
    void complete() { click(completeButton()); }
    void selectNextGrid() { click(gridButton()); }
    void clickGridLock() { click(gridLock()); }
    void selectBuoy(Buoy buoy) { click(buoyOption(buoy)); }
    void nudge(AdjustDirection direction) { click(adjustButton(direction)); }
    void toggleDescriptions() { click(descriptionsButton()); }
    void drawBuoys() { click(find<QPushButton>("drawBuoysButton")); }
    void showCourse() { click(find<QPushButton>("showCourseButton")); }
    void checkAccuracy() { click(accuracyButton()); }
    void clearAccuracy() { click(clearAccuracyButton()); }
    void chooseAdvancedAccuracy() { click(find<QRadioButton>("advancedAccuracyOption")); }
    void chooseDisplay(AccuracyDisplay display) { click(displayOption(display)); }

    // ---- the picture ----
    // A click at a pixel of the surface.
    void clickPicture(QPoint pixel)
    {
        QTest::mouseClick(&screen.surface(), Qt::LeftButton, {}, pixel);
    }
    void markBuoy(Buoy buoy, QPoint pixel)
    {
        selectBuoy(buoy);
        clickPicture(pixel);
    }

    // ---- boxes ----
    QLineEdit* box(CoordinateBox b) { return find<QLineEdit>(boxName(b).toLatin1().constData()); }
    QString text(CoordinateBox b) { return box(b)->text(); }
    // Types into a box as the operator does: the old text selected, then the keys.
    void typeInto(CoordinateBox b, const QString& keys)
    {
        QLineEdit* field = box(b);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, keys);
    }
    void pressEnter(CoordinateBox b) { QTest::keyClick(box(b), Qt::Key_Return); }
    QLineEdit* setupFileLine() { return find<QLineEdit>("setupFileEdit"); }
    QLineEdit* descriptionLine() { return find<QLineEdit>("setupDescriptionEdit"); }

    // ---- controls to look at ----
    QPushButton* completeButton() { return find<QPushButton>("completeButton"); }
    QPushButton* gridButton() { return find<QPushButton>("selectGridButton"); }
    QCheckBox* gridLock() { return find<QCheckBox>("gridLockCheck"); }
    QLabel* gridLockedLabel() { return find<QLabel>("gridLockedLabel"); }
    QLabel* stateLabel() { return find<QLabel>("setupStateLabel"); }
    QPushButton* descriptionsButton() { return find<QPushButton>("hideDescriptionsButton"); }
    QRadioButton* buoyOption(Buoy buoy)
    {
        return find<QRadioButton>(buoyName(buoy, "Option").toLatin1().constData());
    }
    QAbstractButton* adjustButton(AdjustDirection direction)
    {
        static const char* const names[] = {"adjustUpButton", "adjustDownButton",
                                            "adjustLeftButton", "adjustRightButton"};
        return find<QAbstractButton>(names[size_t(direction)]);
    }
    QScrollBar* crossSize() { return find<QScrollBar>("crossSizeSlider"); }
    QLabel* crossSizeLabel() { return find<QLabel>("crossSizeLabel"); }
    QPushButton* accuracyButton() { return find<QPushButton>("accuracyButton"); }
    QPushButton* clearAccuracyButton() { return find<QPushButton>("clearAccuracyButton"); }
    QGroupBox* advancedAccuracyGroup() { return find<QGroupBox>("advancedAccuracyGroup"); }
    QGroupBox* accuracyDisplayGroup() { return find<QGroupBox>("accuracyDisplayGroup"); }
    QRadioButton* advancedAccuracyOption() { return find<QRadioButton>("advancedAccuracyOption"); }
    QRadioButton* displayOption(AccuracyDisplay display)
    {
        switch (display) {
        case AccuracyDisplay::HomologationLevel:
            return find<QRadioButton>("homologationLevelOption");
        case AccuracyDisplay::Distance:
            return find<QRadioButton>("distanceOption");
        case AccuracyDisplay::Detail:
            break;
        }
        return find<QRadioButton>("detailOption");
    }
    QLabel* indicator(int index)
    {
        return find<QLabel>(QStringLiteral("accuracyIndicatorLabel%1").arg(index).toLatin1());
    }
    int visibleIndicators()
    {
        int n = 0;
        for (int i = 0; i < kAccuracyIndicatorCount; ++i)
            n += indicator(i)->isVisible() ? 1 : 0;
        return n;
    }
    QFrame* column() { return find<QFrame>("controlColumn"); }
    QWidget* transport() { return find<QWidget>("videoTransport"); }

    CalibrationScreen& screen;

private:
    static QString buoyName(Buoy buoy, const char* kind)
    {
        static const char* const names[] = {"upperLeft", "upperRight", "lowerLeft", "lowerRight"};
        return QString::fromLatin1(names[size_t(buoy)]) + QString::fromLatin1(kind);
    }
    // The boxes' names written out from their kind: upperLeftScreenXEdit ... jumpYEdit.
    static QString boxName(CoordinateBox b)
    {
        switch (b.kind) {
        case BoxKind::ScreenX:
            return buoyName(b.buoy, "ScreenXEdit");
        case BoxKind::ScreenY:
            return buoyName(b.buoy, "ScreenYEdit");
        case BoxKind::SurveyX:
            return buoyName(b.buoy, "SurveyXEdit");
        case BoxKind::SurveyY:
            return buoyName(b.buoy, "SurveyYEdit");
        case BoxKind::JumpX:
            return QStringLiteral("jumpXEdit");
        case BoxKind::JumpY:
            break;
        }
        return QStringLiteral("jumpYEdit");
    }
    template <typename T> T* find(const QByteArray& name)
    {
        T* found = screen.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name.constData();
        return found;
    }
    void click(QAbstractButton* button)
    {
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
    }
    void trigger(const char* name)
    {
        if (QAction* action = find<QAction>(name))
            action->trigger();
    }
};
