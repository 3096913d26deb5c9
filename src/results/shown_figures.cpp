#include "results/shown_figures.h"

#include "app/settings_keys.h"
#include "measure/pass_record.h"
#include "platform/settings_store.h"
#include "results/analyse_file.h"
#include "results/pass_report.h"
#include "results/results_graph.h"

#include <QFileInfo>
#include <algorithm>

ShownFigures::ShownFigures(SettingsStore& settings, QString rulesFolder)
    : settings(settings), rulesFolder(std::move(rulesFolder))
{
}

void ShownFigures::load(const RunInfo& run, const PassRecord& pass)
{
    inForce = ruleSetInForce(
        rulesFolder, settings.value(kSettingsApplication, kSettingsSection, kSettingsRuleSet)
                         .value_or(QString()));
    listRuleSets();
    samples.reset();
    if (!pass.measured) {
        noFigures = QStringLiteral("No pass measured yet.");
    } else if (run.event != Event::Slalom) {
        noFigures = QStringLiteral("Jump passes have no per-buoy figures: they are made for "
                                   "slalom passes.");
    } else {
        const std::span<const double> d = passDeviations(pass.samples, pass.tenths);
        samples = Samples{{d.begin(), d.end()},
                          pass.tenths,
                          run.direction,
                          QStringLiteral("Figures of this pass")};
    }
    compute();
}

void ShownFigures::showFile(const QString& path, const QString& text)
{
    // The same reader as the command line's: figures only for samples that provably are the
    // pass the file's report was written for, so that both state the same figures.
    const QString name = QFileInfo(path).fileName();
    const SlalomPassRead read = readSlalomPass(text);
    if (read.ok) {
        samples = Samples{read.deviations, read.passTenths, read.direction,
                          QStringLiteral("Figures of the file \"%1\" read back").arg(name)};
    } else {
        samples.reset();
        noFigures =
            QStringLiteral("No figures for the file \"%1\" read back: %2%3.")
                .arg(name, read.line > 0 ? QStringLiteral("line %1: ").arg(read.line) : QString(),
                     read.reason);
    }
    compute();
}

void ShownFigures::listRuleSets()
{
    sources = ::ruleSetSources(rulesFolder);
    if (!inForce.source.path.isEmpty() &&
        std::find(sources.begin(), sources.end(), inForce.source) == sources.end())
        sources.insert(sources.begin(), inForce.source);
}

int ShownFigures::ruleSetInForceIndex() const
{
    const auto found = std::find(sources.begin(), sources.end(), inForce.source);
    return found == sources.end() ? -1 : int(found - sources.begin());
}

std::optional<QString> ShownFigures::chooseRuleSet(int index)
{
    if (index < 0 || size_t(index) >= sources.size())
        return std::nullopt;
    const RuleSetSource chosen = sources[size_t(index)];
    const RuleSetRead read = readRuleSetFile(chosen.path);
    if (!read.ruleSet) {
        listRuleSets();
        return read.message + QStringLiteral("\n\nThe figures stay under the rule set \"%1\".")
                                  .arg(inForce.rules.name);
    }
    inForce = RuleSetInForce{*read.ruleSet, chosen, QString()};
    compute();
    QString error;
    if (!settings.setValue(kSettingsApplication, kSettingsSection, kSettingsRuleSet,
                           chosen.fileName, &error))
        return QStringLiteral("The rule set is in force, but it could not be remembered for the "
                              "next start: %1.")
            .arg(error);
    return std::nullopt;
}

OverlayShapes ShownFigures::readingMarksOnGraph() const
{
    return samples ? readingMarks(figures_, samples->deviations) : OverlayShapes{};
}

void ShownFigures::compute()
{
    figures_ = samples ? computeBuoyFigures(samples->deviations, samples->passTenths,
                                            samples->direction, inForce.rules)
                       : BuoyFigures{};
}
