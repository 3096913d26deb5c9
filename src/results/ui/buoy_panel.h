#pragma once
// The "Buoy Figures" page of the results screen: a slalom pass's figures at each buoy under
// the rule set in force, and the choice of that rule set among the rules folder's files. The
// figures and the choice are the session's (ShownFigures); the page shows them and hands the
// operator's choice to the session.

#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;
class ResultsSession;

class BuoyPanel : public QWidget
{
    Q_OBJECT
public:
    BuoyPanel(ResultsSession& session, QWidget* parent);

public Q_SLOTS:
    // The rule set list and the figures as the session has them now.
    void showFigures();

private Q_SLOTS:
    void ruleSetChosen(int index);

private:
    // The rule files in the list, the one in force selected.
    void listRuleSets();

    ResultsSession& session;

    QComboBox* ruleSetCombo = nullptr;
    QLabel* ruleSetLabel = nullptr;
    QLabel* figuresSourceLabel = nullptr;
    QTableWidget* buoyFiguresList = nullptr;
    QLabel* figuresNotesLabel = nullptr;
};
