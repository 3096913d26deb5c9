#pragma once
// The per-buoy figures the results screen states: which samples they are of (the pass just
// measured, or a slalom file read back), under which rule set (the file the operator chose
// last, remembered in the settings store), and the rule set files to choose from.

#include "common/overlay.h"
#include "common/run_info.h"
#include "results/buoy_figures.h"
#include "results/rule_set_choice.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class SettingsStore;
struct PassRecord;

class ShownFigures
{
public:
    ShownFigures(SettingsStore& settings, QString rulesFolder);

    // The rule set in force read again, and the figures of the pass when it is a measured
    // slalom pass; otherwise why there are none.
    void load(const RunInfo& run, const PassRecord& pass);
    // A slalom file read back: the figures follow the report to it, when its samples are
    // provably the pass it was written for.
    void showFile(const QString& path, const QString& text);

    // The rule set files, looked at again: one added or renamed meanwhile is there to
    // choose; the set in force stays in the list when its file has gone.
    void listRuleSets();
    const std::vector<RuleSetSource>& ruleSetSources() const { return sources; }
    // The position of the set in force among the sources; -1 when it is not among them.
    int ruleSetInForceIndex() const;
    const RuleSetInForce& ruleSet() const { return inForce; }
    // The source at `index` in force, remembered for the next start. What the operator must
    // hear comes back: a file that does not read (the set in force stays), or a choice
    // that could not be remembered (it is in force all the same).
    std::optional<QString> chooseRuleSet(int index);

    bool hasFigures() const { return samples.has_value(); }
    const BuoyFigures& figures() const { return figures_; }
    // What the figures are of, or why there are none.
    QString source() const { return samples ? samples->origin : noFigures; }
    // Where the figures read the trace of their samples; nothing without figures.
    OverlayShapes readingMarksOnGraph() const;

private:
    void compute();

    SettingsStore& settings;
    QString rulesFolder;

    // The samples the figures are of.
    struct Samples
    {
        std::vector<double> deviations;
        int passTenths = 0;
        Direction direction = Direction::Toward;
        QString origin; // what the figures are of, for the operator
    };
    std::optional<Samples> samples;
    QString noFigures; // why there are no figures, when samples is empty
    RuleSetInForce inForce;
    std::vector<RuleSetSource> sources;
    BuoyFigures figures_;
};
