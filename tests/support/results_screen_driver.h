#pragma once
// Drives the results screen as the operator does: type the split, pick a copy, press "Return
// to Main", read the report. Tests say what they do; the controls' object names are spelled
// here only.

#include "app/start_up.h"
#include "results/results_graph.h"
#include "results/ui/results_graph_view.h"
#include "results/ui/results_screen.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

class ResultsScreenDriver
{
public:
    explicit ResultsScreenDriver(ResultsScreen& screen) : screen(screen) {}

    ResultsScreen& window() const { return screen; }

    // ---- what the operator does ----
    void typeSplit(const QString& text) { type("splitEdit", text); }
    void typeFull(const QString& text) { type("fullEdit", text); }
    void typeComment(const QString& text) { type("commentEdit", text); }
    void setBoatNumber(const QString& text) { boatNumber()->setText(text); }
    void pickName(NameList list, int position) { nameCopy(list)->setCurrentIndex(position); }
    // The measured pass's line length, and the next pass's speed, by their texts.
    void pickLine(const QString& text) { pick(lineCopy(), text); }
    void pickNextSpeed(const QString& text) { pick(nextSpeed(), text); }
    // Opens the rule set list (which looks at the folder again) and clicks the file.
    void pickRuleSet(const QString& fileName)
    {
        QComboBox* list = ruleSets();
        list->showPopup();
        const int i = list->findText(fileName);
        ASSERT_GE(i, 0) << fileName.toStdString();
        QAbstractItemView* view = list->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(i, 0)).center());
        EXPECT_FALSE(view->isVisible());
    }
    void saveResults() { click("saveResultsButton"); }
    void readResultsFile() { click("readResultsFileButton"); }
    void returnToMain() { click("returnToMainButton"); }
    void returnToMeasure() { click("returnToMeasureButton"); }

    // ---- what the operator reads ----
    // The report box, with the CR LF line ends of the files.
    QString report() const
    {
        QString text = control<QPlainTextEdit>("reportEdit")->toPlainText();
        text.replace('\n', QStringLiteral("\r\n"));
        return text;
    }
    QStringList legend() const
    {
        QStringList items;
        auto* list = control<QListWidget>("legendList");
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    // The page in front: the report or the buoy figures.
    bool showsFigures() const
    {
        return control<QTabWidget>("resultPagesGroup")->currentWidget()->objectName() ==
               QStringLiteral("buoyFiguresGroup");
    }
    QTableWidget* figuresTable() const { return control<QTableWidget>("buoyFiguresList"); }
    QString figureCell(int row, int column) const
    {
        const QTableWidgetItem* item = figuresTable()->item(row, column);
        return item ? item->text() : QString();
    }
    QString ruleSetCaption() const { return control<QLabel>("ruleSetLabel")->text(); }
    QString figuresSource() const { return control<QLabel>("figuresSourceLabel")->text(); }
    QString figuresNotes() const { return control<QLabel>("figuresNotesLabel")->text(); }

    ResultsGraphView& graph() const { return *control<ResultsGraphView>("graph"); }
    QLabel* graphCaption(GraphCaption caption) const { return graph().caption(caption); }

    // ---- the controls, for what a test checks of them ----
    QComboBox* nameCopy(NameList list) const
    {
        static const char* const names[] = {"driverCopyCombo", "skierCopyCombo",
                                            "boatMakerCopyCombo", "boatModelCopyCombo"};
        return control<QComboBox>(names[size_t(list)]);
    }
    QLineEdit* boatNumber() const { return control<QLineEdit>("boatNumberCopyEdit"); }
    QComboBox* lineCopy() const { return control<QComboBox>("lineCopyCombo"); }
    QComboBox* nextSpeed() const { return control<QComboBox>("nextSpeedCombo"); }
    QComboBox* nextLine() const { return control<QComboBox>("nextLineCombo"); }
    QComboBox* ruleSets() const { return control<QComboBox>("ruleSetCombo"); }
    QLineEdit* split() const { return control<QLineEdit>("splitEdit"); }
    QPushButton* returnToMainButton() const { return control<QPushButton>("returnToMainButton"); }
    QTimer* graphTimer() const { return control<QTimer>("graphTimer"); }
    QWidget* reportPages() const { return control<QTabWidget>("resultPagesGroup"); }
    QWidget* fieldColumn() const { return control<QWidget>("measuredPassGroup")->parentWidget(); }

private:
    template <typename T> T* control(const char* name) const
    {
        T* w = screen.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text)
    {
        QTest::keyClicks(control<QLineEdit>(name), text);
    }
    static void pick(QComboBox* list, const QString& text)
    {
        const int i = list->findText(text);
        EXPECT_GE(i, 0) << text.toStdString();
        list->setCurrentIndex(i);
    }

    ResultsScreen& screen;
};
