// wakeline-cli analyse --buoys: the per-buoy figures of a saved slalom pass.

#include "cli/commands.h"
#include "common/number_forms.h"
#include "measure/measure_tables.h"
#include "measure/pass_rules.h"
#include "results/analyse_file.h"
#include "results/buoy_figures_text.h"
#include "results/rule_set.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Without --rules: the newer preset, read from the program's own resources.
const char* const kDefaultRuleSetFile = kBuiltInRuleSetFiles[1];

} // namespace

int printBuoyFigures(const QString& shownPath, const QString& text, const BuoyOptions& options,
                     CliStreams& io)
{
    const bool builtIn = options.rulesPath.isEmpty();
    const RuleSetRead rules =
        readRuleSetFile(builtIn ? QStringLiteral(":/program/") + QLatin1String(kDefaultRuleSetFile)
                                : options.rulesPath);
    if (!rules.ruleSet) {
        io.err << "analyse: " << rules.message << "\n";
        return 2;
    }
    const SlalomPassRead pass = readSlalomPass(text);
    if (!pass.ok) {
        io.err << shownPath << ", line " << pass.line << ": " << pass.reason << "\n";
        return 2;
    }
    const BuoyFigures figures =
        computeBuoyFigures(pass.deviations, pass.passTenths, pass.direction, *rules.ruleSet);
    if (!figures.ok) {
        io.err << shownPath << ": no buoy figures: " << figures.message << "\n";
        return 2;
    }

    const QString source =
        builtIn ? QStringLiteral("Rule set file: none given, so the built-in \"%1\" "
                                 "(--rules FILE chooses another)")
                      .arg(QFileInfo(QLatin1String(kDefaultRuleSetFile)).fileName())
                : QStringLiteral("Rule set file: ") + QDir::toNativeSeparators(options.rulesPath);
    if (!options.csv) {
        io.out << source << "\n";
        for (const QString& line : buoyFiguresTable(figures))
            io.out << line << "\n";
        return 0;
    }
    // The CSV holds its rows and nothing else; what it was computed with goes beside it.
    QStringList about{source};
    about << ruleSetFigures(*rules.ruleSet);
    const int count = int(pass.deviations.size());
    if (count <= pass.passTenths)
        about << QStringLiteral("the pass stops at %1 m after %2 of %3 samples; the windows "
                                "beyond it are not reached and have no reading")
                     .arg(ruleFigure(roundHalfUp(
                         sampleDistance(count - 1, pass.passTenths, kSlalomCourseLength), 1)))
                     .arg(count)
                     .arg(pass.passTenths + 1);
    for (const QString& line : about)
        io.err << shownPath << ": note: " << line << "\n";
    io.out << buoyFiguresCsv(figures);
    return 0;
}
