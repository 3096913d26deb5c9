#include "results/ui/buoy_panel.h"

#include "app/program_place.h"
#include "app/settings_keys.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "measure/pass_record.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/screen_layout.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "results/analyse_file.h"
#include "results/buoy_figures_text.h"
#include "results/pass_report.h"
#include "results/results_graph.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

const QString kErrorTitle = QStringLiteral("Error Message");

// A rule set list that looks at the rules folder again each time it opens: a file the
// operator has just added or renamed is there to choose.
class RuleSetList : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> beforeOpening;
    void showPopup() override
    {
        if (beforeOpening)
            beforeOpening();
        QComboBox::showPopup();
    }
};

enum BuoyColumn { Samples, Reading, Cumulative, Tolerance, Verdict, BuoyColumns };

// Pale enough for the figures to stay readable on them.
QColor verdictColour(const std::optional<bool>& within)
{
    if (!within)
        return QColor();
    return *within ? QColor(200, 240, 200) : QColor(250, 190, 190);
}

} // namespace

BuoyPanel::BuoyPanel(Platform& platform, const ProgramPlace& place, QWidget* parent)
    : QWidget(parent), platform(platform), programPlace(place)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto* choice = new QHBoxLayout;
    auto* list = new RuleSetList(this);
    // Files come and go while the program runs; the list follows when it opens.
    list->beforeOpening = [this] { listRuleSets(); };
    cbRuleSet = named<QComboBox>(list, QStringLiteral("cbRuleSet"));
    auto* listCaption = new QLabel(QStringLiteral("Rule set file:"), this);
    captionFor(listCaption, cbRuleSet);
    choice->addWidget(listCaption);
    choice->addWidget(cbRuleSet, 1);
    layout->addLayout(choice);

    lblRuleSet = named(new QLabel(this), QStringLiteral("lblRuleSet"));
    lblRuleSet->setWordWrap(true);
    layout->addWidget(lblRuleSet);
    lblBuoySource = named(new QLabel(this), QStringLiteral("lblBuoySource"));
    lblBuoySource->setWordWrap(true);
    layout->addWidget(lblBuoySource);

    grdBuoys =
        named(new QTableWidget(1 + kGuideBuoys, BuoyColumns, this), QStringLiteral("grdBuoys"));
    grdBuoys->setHorizontalHeaderLabels(
        {QStringLiteral("Samples"), QStringLiteral("Reading\ncm"), QStringLiteral("Cumulative\ncm"),
         QStringLiteral("Tolerance\ncm"), QStringLiteral("Within/\nout")});
    QFont tableFont = grdBuoys->font();
    tableFont.setPointSizeF(tableFont.pointSizeF() * 0.9);
    grdBuoys->setFont(tableFont);
    grdBuoys->horizontalHeader()->setFont(tableFont);
    grdBuoys->verticalHeader()->setFont(tableFont);
    grdBuoys->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdBuoys->setSelectionMode(QAbstractItemView::NoSelection);
    grdBuoys->setFocusPolicy(Qt::NoFocus);
    grdBuoys->setCornerButtonEnabled(false);
    // Columns as wide as their figures, the room left to the verdict.
    grdBuoys->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdBuoys->horizontalHeader()->setStretchLastSection(true);
    grdBuoys->horizontalHeader()->setSectionsClickable(false);
    grdBuoys->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdBuoys->verticalHeader()->setSectionsClickable(false);
    const int rowHeight = grdBuoys->fontMetrics().height() + 8;
    grdBuoys->verticalHeader()->setDefaultSectionSize(rowHeight);
    grdBuoys->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdBuoys->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every row in sight, no scrolling.
    grdBuoys->setFixedHeight(grdBuoys->horizontalHeader()->sizeHint().height() +
                             (1 + kGuideBuoys) * rowHeight + 2 * grdBuoys->frameWidth());
    nameForAccess(grdBuoys, QStringLiteral("Buoy Figures"));
    layout->addWidget(grdBuoys);

    lblBuoyNotes = named(new QLabel(this), QStringLiteral("lblBuoyNotes"));
    lblBuoyNotes->setWordWrap(true);
    lblBuoyNotes->setTextFormat(Qt::RichText);
    layout->addWidget(lblBuoyNotes);
    layout->addStretch(1);

    connect(cbRuleSet, &QComboBox::activated, this, &BuoyPanel::cbRuleSet_Click);
}

QString BuoyPanel::rulesFolder() const
{
    return QDir(programPlace.folder).filePath(QLatin1String(kRuleSetFolder));
}

void BuoyPanel::listRuleSets()
{
    ruleSources = ruleSetSources(rulesFolder());
    // The set in force stays in the list when its file has gone meanwhile.
    if (!ruleSet.source.path.isEmpty() &&
        std::find(ruleSources.begin(), ruleSources.end(), ruleSet.source) == ruleSources.end())
        ruleSources.insert(ruleSources.begin(), ruleSet.source);
    const QSignalBlocker quiet(cbRuleSet);
    cbRuleSet->clear();
    int inForce = -1;
    for (const RuleSetSource& source : ruleSources) {
        if (source == ruleSet.source)
            inForce = cbRuleSet->count();
        cbRuleSet->addItem(source.builtIn ? source.fileName + QStringLiteral(" (built in)")
                                          : source.fileName);
    }
    cbRuleSet->setCurrentIndex(inForce);
}

void BuoyPanel::cbRuleSet_Click(int index)
{
    if (index < 0 || size_t(index) >= ruleSources.size())
        return;
    const RuleSetSource chosen = ruleSources[size_t(index)];
    const RuleSetRead read = readRuleSetFile(chosen.path);
    if (!read.ruleSet) {
        platform.messages.warning(
            read.message + QStringLiteral("\n\nThe figures stay under the rule set \"%1\".")
                               .arg(ruleSet.rules.name),
            kErrorTitle);
        listRuleSets();
        return;
    }
    ruleSet = RuleSetInForce{*read.ruleSet, chosen, QString()};
    QString error;
    if (!platform.settings.setValue(kSettingsApplication, kSettingsSection, kSettingsRuleSet,
                                    chosen.fileName, &error))
        platform.messages.warning(
            QStringLiteral("The rule set is in force, but it could not be remembered for the "
                           "next start: %1.")
                .arg(error),
            kErrorTitle);
    showBuoyFigures();
    Q_EMIT figuresChanged();
}

void BuoyPanel::showBuoyFigures()
{
    const RuleSet& rules = ruleSet.rules;
    lblRuleSet->setText(QStringLiteral("Rule set: ") + rules.name);
    lblRuleSet->setToolTip(ruleSetFigures(rules).join(QLatin1Char('\n')));

    figures_ = figuresPass ? computeBuoyFigures(figuresPass->deviations, figuresPass->passTenths,
                                                figuresPass->direction, rules)
                           : BuoyFigures{};
    QStringList notes;
    if (figuresPass) {
        lblBuoySource->setText(figuresPass->origin);
        notes << buoyFiguresNotes(figures_);
    } else {
        lblBuoySource->setText(noFigures);
    }
    QString html;
    for (const QString& note : notes)
        html += note.toHtmlEscaped() + QStringLiteral("<br>");
    if (!ruleSet.note.isEmpty())
        html += QStringLiteral("<span style=\"color: #b00000\">") + ruleSet.note.toHtmlEscaped() +
                QStringLiteral("</span>");
    lblBuoyNotes->setText(html);

    const auto rows = buoyTableRows(figures_);
    const bool shown = figuresPass && figures_.ok;
    grdBuoys->setEnabled(shown);
    for (int r = 0; r < int(rows.size()); ++r) {
        const BuoyTableRow& row = rows[size_t(r)];
        auto* header = new QTableWidgetItem(row.window);
        header->setToolTip(row.span + QStringLiteral(" from the entrance gate"));
        grdBuoys->setVerticalHeaderItem(r, header);
        const std::array<std::pair<QString, std::optional<bool>>, BuoyColumns> cells{{
            {row.samples, std::nullopt},
            {row.reading, row.readingWithin},
            {row.cumulative, row.cumulativeWithin},
            {row.tolerance, std::nullopt},
            {row.verdict, row.within},
        }};
        for (int c = 0; c < BuoyColumns; ++c) {
            auto* item = new QTableWidgetItem(shown ? cells[size_t(c)].first : QString());
            item->setTextAlignment(c == Verdict ? Qt::AlignCenter
                                                : Qt::AlignRight | Qt::AlignVCenter);
            const QColor colour = shown ? verdictColour(cells[size_t(c)].second) : QColor();
            if (colour.isValid()) {
                item->setBackground(colour);
                item->setForeground(Qt::black);
            }
            if (shown && !row.detail.isEmpty())
                item->setToolTip(row.detail);
            grdBuoys->setItem(r, c, item);
        }
    }
}

void BuoyPanel::load(const RunInfo& run, const PassRecord& pass)
{
    ruleSet = ruleSetInForce(
        rulesFolder(),
        platform.settings.value(kSettingsApplication, kSettingsSection, kSettingsRuleSet)
            .value_or(QString()));
    listRuleSets();
    figuresPass.reset();
    if (!pass.measured) {
        noFigures = QStringLiteral("No pass measured yet.");
    } else if (run.event != Event::Slalom) {
        noFigures = QStringLiteral("Jump passes have no per-buoy figures: they are made for "
                                   "slalom passes.");
    } else {
        const std::span<const double> d = passDeviations(pass.samples, pass.tenths);
        figuresPass = FiguresPass{{d.begin(), d.end()},
                                  pass.tenths,
                                  run.direction,
                                  QStringLiteral("Figures of this pass")};
    }
    showBuoyFigures();
}

OverlayShapes BuoyPanel::readingMarksOnGraph() const
{
    return figuresPass ? readingMarks(figures_, figuresPass->deviations) : OverlayShapes{};
}

std::optional<WriteResult> BuoyPanel::writeDayFile(const RunInfo& run, const QDateTime& now) const
{
    if (!figuresPass)
        return std::nullopt;
    return appendText(resultsFilePath(run.resultsFolder, buoyLogName(now), programPlace.folder),
                      buoyLogBlock(run, figures_, now));
}

void BuoyPanel::showFiguresOfFile(const QString& path, const QString& text)
{
    // The same reader as the command line's: figures only for samples that provably are the
    // pass the file's report was written for, so that both state the same figures.
    const QString name = QFileInfo(path).fileName();
    const SlalomPassRead read = readSlalomPass(text);
    if (read.ok) {
        figuresPass = FiguresPass{read.deviations, read.passTenths, read.direction,
                                  QStringLiteral("Figures of the file \"%1\" read back").arg(name)};
    } else {
        figuresPass.reset();
        noFigures =
            QStringLiteral("No figures for the file \"%1\" read back: %2%3.")
                .arg(name, read.line > 0 ? QStringLiteral("line %1: ").arg(read.line) : QString(),
                     read.reason);
    }
    showBuoyFigures();
}
