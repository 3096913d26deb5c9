#include "results/ui/buoy_panel.h"

#include "picture/ui/accessible_names.h"
#include "picture/ui/screen_layout.h"
#include "results/buoy_figures_text.h"
#include "results/results_session.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

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

BuoyPanel::BuoyPanel(ResultsSession& session, QWidget* parent) : QWidget(parent), session(session)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto* choice = new QHBoxLayout;
    auto* list = new RuleSetList(this);
    // Files come and go while the program runs; the list follows when it opens.
    list->beforeOpening = [this] {
        this->session.listRuleSets();
        listRuleSets();
    };
    ruleSetCombo = named<QComboBox>(list, QStringLiteral("ruleSetCombo"));
    auto* listCaption = new QLabel(QStringLiteral("Rule set file:"), this);
    captionFor(listCaption, ruleSetCombo);
    choice->addWidget(listCaption);
    choice->addWidget(ruleSetCombo, 1);
    layout->addLayout(choice);

    ruleSetLabel = named(new QLabel(this), QStringLiteral("ruleSetLabel"));
    ruleSetLabel->setWordWrap(true);
    layout->addWidget(ruleSetLabel);
    figuresSourceLabel = named(new QLabel(this), QStringLiteral("figuresSourceLabel"));
    figuresSourceLabel->setWordWrap(true);
    layout->addWidget(figuresSourceLabel);

    buoyFiguresList = named(new QTableWidget(1 + kGuideBuoys, BuoyColumns, this),
                            QStringLiteral("buoyFiguresList"));
    buoyFiguresList->setHorizontalHeaderLabels(
        {QStringLiteral("Samples"), QStringLiteral("Reading\ncm"), QStringLiteral("Cumulative\ncm"),
         QStringLiteral("Tolerance\ncm"), QStringLiteral("Within/\nout")});
    QFont tableFont = buoyFiguresList->font();
    tableFont.setPointSizeF(tableFont.pointSizeF() * 0.9);
    buoyFiguresList->setFont(tableFont);
    buoyFiguresList->horizontalHeader()->setFont(tableFont);
    buoyFiguresList->verticalHeader()->setFont(tableFont);
    buoyFiguresList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    buoyFiguresList->setSelectionMode(QAbstractItemView::NoSelection);
    buoyFiguresList->setFocusPolicy(Qt::NoFocus);
    buoyFiguresList->setCornerButtonEnabled(false);
    // Columns as wide as their figures, the room left to the verdict.
    buoyFiguresList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The stretched verdict column never grows past the room the figures leave it (at the
    // width it starts with it ran out of sight beside a wide gate reading); a verdict too long
    // for it ends in an ellipsis, its sentence in the tooltip.
    QHeaderView* columns = buoyFiguresList->horizontalHeader();
    columns->resizeSection(Verdict, columns->minimumSectionSize());
    columns->setStretchLastSection(true);
    buoyFiguresList->horizontalHeader()->setSectionsClickable(false);
    buoyFiguresList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    buoyFiguresList->verticalHeader()->setSectionsClickable(false);
    const int rowHeight = buoyFiguresList->fontMetrics().height() + 8;
    buoyFiguresList->verticalHeader()->setDefaultSectionSize(rowHeight);
    buoyFiguresList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    buoyFiguresList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Every row in sight, no scrolling.
    buoyFiguresList->setFixedHeight(buoyFiguresList->horizontalHeader()->sizeHint().height() +
                                    (1 + kGuideBuoys) * rowHeight +
                                    2 * buoyFiguresList->frameWidth());
    nameForAccess(buoyFiguresList, QStringLiteral("Buoy Figures"));
    layout->addWidget(buoyFiguresList);

    figuresNotesLabel = named(new QLabel(this), QStringLiteral("figuresNotesLabel"));
    figuresNotesLabel->setWordWrap(true);
    figuresNotesLabel->setTextFormat(Qt::RichText);
    layout->addWidget(figuresNotesLabel);
    layout->addStretch(1);

    connect(ruleSetCombo, &QComboBox::activated, this, &BuoyPanel::ruleSetChosen);
}

void BuoyPanel::listRuleSets()
{
    const ShownFigures& shown = session.figures();
    const QSignalBlocker quiet(ruleSetCombo);
    ruleSetCombo->clear();
    for (const RuleSetSource& source : shown.ruleSetSources())
        ruleSetCombo->addItem(source.builtIn ? source.fileName + QStringLiteral(" (built in)")
                                             : source.fileName);
    ruleSetCombo->setCurrentIndex(shown.ruleSetInForceIndex());
}

void BuoyPanel::ruleSetChosen(int index)
{
    session.chooseRuleSet(index);
}

void BuoyPanel::showFigures()
{
    listRuleSets();
    const ShownFigures& shown = session.figures();
    const RuleSetInForce& ruleSet = shown.ruleSet();
    ruleSetLabel->setText(QStringLiteral("Rule set: ") + ruleSet.rules.name);
    ruleSetLabel->setToolTip(ruleSetFigures(ruleSet.rules).join(QLatin1Char('\n')));
    figuresSourceLabel->setText(shown.source());

    const BuoyFigures& figures = shown.figures();
    QString html;
    if (shown.hasFigures())
        for (const QString& note : buoyFiguresNotes(figures))
            html += note.toHtmlEscaped() + QStringLiteral("<br>");
    if (!ruleSet.note.isEmpty())
        html += QStringLiteral("<span style=\"color: #b00000\">") + ruleSet.note.toHtmlEscaped() +
                QStringLiteral("</span>");
    figuresNotesLabel->setText(html);

    const auto rows = buoyTableRows(figures);
    const bool filled = shown.hasFigures() && figures.ok;
    buoyFiguresList->setEnabled(filled);
    for (int r = 0; r < int(rows.size()); ++r) {
        const BuoyTableRow& row = rows[size_t(r)];
        auto* header = new QTableWidgetItem(row.window);
        header->setToolTip(row.span + QStringLiteral(" from the entrance gate"));
        buoyFiguresList->setVerticalHeaderItem(r, header);
        const std::array<std::pair<QString, std::optional<bool>>, BuoyColumns> cells{{
            {row.samples, std::nullopt},
            {row.reading, row.readingWithin},
            {row.cumulative, row.cumulativeWithin},
            {row.tolerance, std::nullopt},
            {row.verdict, row.within},
        }};
        for (int c = 0; c < BuoyColumns; ++c) {
            auto* item = new QTableWidgetItem(filled ? cells[size_t(c)].first : QString());
            item->setTextAlignment(c == Verdict ? Qt::AlignCenter
                                                : Qt::AlignRight | Qt::AlignVCenter);
            const QColor colour = filled ? verdictColour(cells[size_t(c)].second) : QColor();
            if (colour.isValid()) {
                item->setBackground(colour);
                item->setForeground(Qt::black);
            }
            if (filled && !row.detail.isEmpty())
                item->setToolTip(row.detail);
            buoyFiguresList->setItem(r, c, item);
        }
    }
}
