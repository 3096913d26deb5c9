#pragma once
// Drives the start screen as the operator does: clicks, typing, picks from the name fields,
// the list editor. Tests say what they do and read what shows; only this driver knows the
// controls' names.

#include "app/start_up.h"
#include "app/ui/start_screen.h"
#include "common/run_info.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

class StartScreenDriver
{
public:
    explicit StartScreenDriver(StartScreen& screen) : screen_(screen) {}
    StartScreen& screen() const { return screen_; }

    // The ways on, and the menu.
    void goToSetup() { click(control<QPushButton>("goToSetupButton")); }
    void measure() { click(control<QPushButton>("measureButton")); }
    void readManual() { control<QAction>("readManualAction").trigger(); }
    void exit() { control<QAction>("exitAction").trigger(); }

    // The choices, clicked. Speeds and line lengths by their index in kSlalomSpeeds,
    // kJumpSpeeds and kLineLengths.
    void chooseEvent(Event event) { click(eventOption(event)); }
    void chooseDirection(Direction direction) { click(directionOption(direction)); }
    void chooseSlalomSpeed(int index) { click(option(slalomSpeedGroup(), index)); }
    void chooseJumpSpeed(int index) { click(option(jumpSpeedGroup(), index)); }
    void chooseLineLength(int index) { click(option(lineLengthGroup(), index)); }

    enum class Field { Tournament, Location, Date, BoatNumber, ResultsFolder };
    QLineEdit& field(Field field)
    {
        static constexpr const char* names[] = {"tournamentEdit", "locationEdit", "dateEdit",
                                                "boatNumberEdit", "resultsFolderEdit"};
        return control<QLineEdit>(names[int(field)]);
    }
    // Keystrokes at the end of the field's text, each one a change.
    void type(Field which, const QString& text)
    {
        QLineEdit& edit = field(which);
        edit.setFocus();
        edit.end(false);
        QTest::keyClicks(&edit, text);
    }
    // The whole text replaced in one change, as a paste over it does.
    void replaceText(Field which, const QString& text) { field(which).setText(text); }

    QComboBox& nameField(NameList list)
    {
        static constexpr const char* names[] = {"driverCombo", "skierCombo", "boatMakerCombo",
                                                "boatModelCombo"};
        return control<QComboBox>(names[int(list)]);
    }
    QStringList nameItems(NameList list)
    {
        QStringList items;
        QComboBox& combo = nameField(list);
        for (int i = 0; i < combo.count(); ++i)
            items << combo.itemText(i);
        return items;
    }
    // Types over whatever the name field shows, then leaves it with Tab.
    void typeName(NameList list, const QString& text)
    {
        QComboBox& combo = nameField(list);
        combo.setFocus();
        combo.lineEdit()->selectAll();
        QTest::keyClicks(&combo, text);
        QTest::keyClick(&combo, Qt::Key_Tab);
    }
    // Opens the drop-down and clicks the name in it (the window must be active).
    void pickName(NameList list, const QString& name)
    {
        QComboBox& combo = nameField(list);
        combo.showPopup();
        // A click that comes at once after the list opens is taken as the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QAbstractItemView* items = combo.view();
        const QRect item = items->visualRect(items->model()->index(combo.findText(name), 0));
        QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, item.center());
    }
    // The item at `position` picked, as a pick in the drop-down makes it.
    void pickPosition(NameList list, int position) { nameField(list).setCurrentIndex(position); }

    // The name list editor under the fields.
    void editList(NameList list)
    {
        static constexpr const char* names[] = {"editDriversButton", "editSkiersButton",
                                                "editBoatMakersButton", "editBoatModelsButton"};
        click(control<QPushButton>(names[int(list)]));
    }
    void closeSave() { click(control<QPushButton>("closeSaveButton")); }
    QPlainTextEdit& listEditor() { return control<QPlainTextEdit>("nameListEdit"); }
    bool closeSaveShown() { return control<QPushButton>("closeSaveButton").isVisible(); }
    bool editorOpen() { return listEditor().isVisible() && closeSaveShown(); }

    // What shows.
    QString title() { return control<QLabel>("titleLabel").text(); }
    QGroupBox& slalomSpeedGroup() { return control<QGroupBox>("slalomSpeedGroup"); }
    QGroupBox& jumpSpeedGroup() { return control<QGroupBox>("jumpSpeedGroup"); }
    QGroupBox& lineLengthGroup() { return control<QGroupBox>("lineLengthGroup"); }
    QRadioButton& eventOption(Event event)
    {
        return control<QRadioButton>(event == Event::Jump ? "jumpOption" : "slalomOption");
    }
    QRadioButton& directionOption(Direction direction)
    {
        return control<QRadioButton>(direction == Direction::Away ? "awayOption" : "towardOption");
    }

private:
    template <typename T> T& control(const char* name)
    {
        T* found = screen_.findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            ADD_FAILURE() << "the start screen has no " << name;
            throw std::logic_error(name);
        }
        return *found;
    }
    // The group's options in their order, the index-th of them.
    static QRadioButton& option(QGroupBox& group, int index)
    {
        const QList<QRadioButton*> options =
            group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        if (index < 0 || index >= options.size()) {
            ADD_FAILURE() << group.title().toStdString() << " has no option " << index;
            throw std::out_of_range("option");
        }
        return *options[index];
    }
    static void click(QAbstractButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }

    StartScreen& screen_;
};
