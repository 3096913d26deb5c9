#pragma once
// The "Buoy Figures" page of the results screen: a slalom pass's figures at each buoy under
// the rule set in force, the choice of that rule set among the rules folder's files, and the
// day file the figures go into. The results screen owns it, says which pass the figures are
// of, and draws the figures' bands and reading marks on its graph from it.

#include "common/overlay.h"
#include "common/text_file.h"
#include "results/buoy_figures.h"
#include "results/rule_set_choice.h"

#include <QDateTime>
#include <QWidget>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QTableWidget;
struct PassRecord;
struct Platform;
struct ProgramPlace;

class BuoyPanel : public QWidget
{
    Q_OBJECT
public:
    BuoyPanel(Platform& platform, const ProgramPlace& place, QWidget* parent);

    // The rule set in force read again, and the figures of the pass when it is a measured
    // slalom pass; otherwise the panel says why there are none.
    void load(const RunInfo& run, const PassRecord& pass);
    // A slalom file read back and traced: the panel follows the report box to it.
    void showFiguresOfFile(const QString& path, const QString& text);

    bool hasFigures() const { return figuresPass.has_value(); }
    const BuoyFigures& figures() const { return figures_; }
    // Where the figures read the trace of their samples; nothing without figures.
    OverlayShapes readingMarksOnGraph() const;
    // The figures into the day's buoy file; nothing to write without figures.
    std::optional<WriteResult> writeDayFile(const RunInfo& run, const QDateTime& now) const;

Q_SIGNALS:
    // The operator chose another rule set: the graph's bands and marks are out of date.
    void figuresChanged();

private Q_SLOTS:
    void cbRuleSet_Click(int index);

private:
    QString rulesFolder() const;
    // The rule files in the list, the one in force selected.
    void listRuleSets();
    // Figures of what the panel is about under the rule set in force, into the table.
    void showBuoyFigures();

    Platform& platform;
    const ProgramPlace& programPlace;

    // The samples the figures are of: the pass, or a slalom file read back.
    struct FiguresPass
    {
        std::vector<double> deviations;
        int passTenths = 0;
        Direction direction = Direction::Toward;
        QString origin; // what the panel says they are of
    };
    std::optional<FiguresPass> figuresPass;
    QString noFigures; // why the panel has no figures, when figuresPass is empty
    RuleSetInForce ruleSet;
    std::vector<RuleSetSource> ruleSources; // the rule set list's entries, in order
    BuoyFigures figures_;

    QComboBox* cbRuleSet = nullptr;
    QLabel* lblRuleSet = nullptr;
    QLabel* lblBuoySource = nullptr;
    QTableWidget* grdBuoys = nullptr;
    QLabel* lblBuoyNotes = nullptr;
};
