#include "results/ui/results.h"

#include "app/name_list_items.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "app/start_up.h"
#include "app/ui/accessible_names.h"
#include "app/ui/drawing_surface.h"
#include "app/ui/navigator.h"
#include "app/ui/screen_layout.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "common/twips.h"
#include "measure/pass_record.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/settings_store.h"
#include "results/analyse_file.h"
#include "results/database_line.h"
#include "results/day_logs.h"
#include "results/next_pass.h"
#include "results/pass_report.h"
#include "results/results_file.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

const QString kTitle = QStringLiteral("Wakeline");
const QString kErrorTitle = QStringLiteral("Error Message");
constexpr double kFormWidth = 14760;
constexpr double kFormHeight = 8700;

QLabel* caption(const QString& text, QWidget* parent, double left, double top, double width)
{
    auto* label = new QLabel(text, parent);
    place(label, left, top, width, 300);
    return label;
}

// The object names the graph's captions have always had.
QString captionObjectName(GraphCaption caption)
{
    switch (caption) {
    case GraphCaption::Scale:
        return QStringLiteral("Label2");
    case GraphCaption::BuoyNumber1:
        return QStringLiteral("Label3");
    case GraphCaption::BuoyNumber2:
        return QStringLiteral("Label4");
    case GraphCaption::BuoyNumber3:
        return QStringLiteral("Label5");
    case GraphCaption::BuoyNumber4:
        return QStringLiteral("Label6");
    case GraphCaption::BuoyNumber5:
        return QStringLiteral("Label7");
    case GraphCaption::BuoyNumber6:
        return QStringLiteral("Label8");
    case GraphCaption::RecordLimit:
        return QStringLiteral("Label12");
    case GraphCaption::Mark100m:
        return QStringLiteral("Label13");
    case GraphCaption::Mark200m:
        return QStringLiteral("Label14");
    case GraphCaption::Buoy180m:
        return QStringLiteral("Label18");
    case GraphCaption::Buoy150m:
        return QStringLiteral("Label19");
    case GraphCaption::Ramp:
        break;
    }
    return QStringLiteral("Label20");
}

// The screen is not keyed for the overlay card, but the drawing surface erases where the
// key colour falls: a magenta trace is painted one step off the key.
Rgb unkeyed(Rgb c)
{
    return c == kMagenta ? Rgb{255, 0, 254} : c;
}

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
enum ResultsTab { ReportTab, BuoyTab };

// Pale enough for the figures to stay readable on them.
QColor verdictColour(const std::optional<bool>& within)
{
    if (!within)
        return QColor();
    return *within ? QColor(200, 240, 200) : QColor(250, 190, 190);
}

} // namespace

Results::Results(Navigator& navigator, Platform& platform, const ProgramPlace& place,
                 RunParticulars& run, const NameListItems& names, PassRecord& pass)
    : navigator(navigator), platform(platform), programPlace(place), runParticulars(run),
      names(names), pass(pass)
{
    setObjectName(QStringLiteral("Results"));
    setWindowTitle(QStringLiteral("Path Deviation Display and Information"));
    buildControls();
}

void Results::buildControls()
{
    // The whole form is the drawing area: the graph lies in it in form twips, and the
    // controls sit on top.
    graph = new DrawingSurface(this);
    setCentralWidget(graph);
    setFixedSize(twipsToPixels(kFormWidth), twipsToPixels(kFormHeight));

    // The report and the per-buoy figures share the place beside the graph.
    tabResults = named(new QTabWidget(graph), QStringLiteral("tabResults"));
    place(tabResults, 120, 120, 5940, 6480);
    txtResults = named(new QPlainTextEdit, QStringLiteral("txtResults"));
    txtResults->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPointSizeF(txtResults->font().pointSizeF() * 0.9);
    txtResults->setFont(fixed);
    tabResults->insertTab(ReportTab, txtResults, QStringLiteral("Report"));
    nameForAccess(txtResults, QStringLiteral("Pass Report"));
    auto* buoyPage = named(new QWidget, QStringLiteral("fmBuoys"));
    tabResults->insertTab(BuoyTab, buoyPage, QStringLiteral("Buoy Figures"));
    buildBuoyPanel(buoyPage);

    btnDisplay = named(new QPushButton(QStringLiteral("Read and Display Results File"), graph),
                       QStringLiteral("btnDisplay"));
    place(btnDisplay, 120, 6720, 3180, 450);
    btnSaveResults = named(new QPushButton(QStringLiteral("Save Result File"), graph),
                           QStringLiteral("btnSaveResults"));
    place(btnSaveResults, 3420, 6720, 2640, 450);

    List1 = named(new QListWidget(graph), QStringLiteral("List1"));
    place(List1, 120, 7320, 5940, 1200);
    nameForAccess(List1, QStringLiteral("Graph Legend"));

    for (const GraphLabel& l : graphFrame(Event::Slalom, true).labels) {
        auto* label = named(new QLabel(graph), captionObjectName(l.caption));
        label->hide();
        graphLabels[l.caption] = label;
    }
    for (const GraphLabel& l : graphFrame(Event::Jump, true).labels)
        if (!graphLabels.count(l.caption)) {
            auto* label = named(new QLabel(graph), captionObjectName(l.caption));
            label->hide();
            graphLabels[l.caption] = label;
        }

    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(500);

    const double column = 11640;
    fmPass = named(new QGroupBox(QStringLiteral("Measured Pass"), graph), QStringLiteral("fmPass"));
    place(fmPass, column, 120, 3000, 3480);
    auto combo = [](QGroupBox* group, const char* name, const QString& placeholder, double top) {
        auto* c = named(new QComboBox(group), QString::fromLatin1(name));
        c->setPlaceholderText(placeholder);
        // The group's title tells the two "Line" fields apart.
        nameForAccess(c, group->title() + QStringLiteral(" ") + placeholder);
        place(c, 120, top, 2760, 360);
        return c;
    };
    cbDrvCopy = combo(fmPass, "cbDrvCopy", QStringLiteral("Drivers"), 300);
    cbSkiCopy = combo(fmPass, "cbSkiCopy", QStringLiteral("Skiers"), 750);
    cbMnfCopy = combo(fmPass, "cbMnfCopy", QStringLiteral("Boat Manufacturer"), 1200);
    cbMdlCopy = combo(fmPass, "cbMdlCopy", QStringLiteral("Boat Model"), 1650);
    QLabel* numberCaption = caption(QStringLiteral("Boat Number"), fmPass, 120, 2160, 1300);
    txtNumCopy = named(new QLineEdit(fmPass), QStringLiteral("txtNumCopy"));
    place(txtNumCopy, 1500, 2130, 1380, 360);
    captionFor(numberCaption, txtNumCopy);
    cbLineCopy = combo(fmPass, "cbLineCopy", QStringLiteral("Line"), 2700);
    cbLineCopy->addItems(lineCopyItems());
    cbLineCopy->setCurrentIndex(-1);
    cbLineCopy->setEnabled(false);

    fmNext =
        named(new QGroupBox(QStringLiteral("Set for Next Pass"), graph), QStringLiteral("fmNext"));
    place(fmNext, column, 3720, 3000, 1260);
    cbSpeedCopy = combo(fmNext, "cbSpeedCopy", QStringLiteral("Speed"), 300);
    cbNewLineCopy = combo(fmNext, "cbNewLineCopy", QStringLiteral("Line"), 750);

    auto field = [&](const char* name, const QString& label, double top) {
        QLabel* shown = caption(label, graph, column, top + 30, 1000);
        auto* f = named(new QLineEdit(graph), QString::fromLatin1(name));
        place(f, column + 1020, top, 1980, 360);
        captionFor(shown, f);
        return f;
    };
    txtSplit = field("txtSplit", QStringLiteral("Split:"), 5160);
    txtFull = field("txtFull", QStringLiteral("Full:"), 5640);
    txtComment = field("txtComment", QStringLiteral("Comment:"), 6120);

    Command1 =
        named(new QPushButton(QStringLiteral("Return to Main"), graph), QStringLiteral("Command1"));
    place(Command1, column, 6840, 3000, 540);
    Command2 = named(new QPushButton(QStringLiteral("Return to Measure"), graph),
                     QStringLiteral("Command2"));
    place(Command2, column, 7500, 3000, 540);
    for (QPushButton* button : {btnDisplay, btnSaveResults, Command1, Command2})
        nameForAccess(button, button->text());

    // A white form; the graph box is filled when the graph is drawn.
    QImage background(twipsToPixels(kFormWidth), twipsToPixels(kFormHeight), QImage::Format_RGB32);
    background.fill(Qt::white);
    graph->setBackgroundPicture(background);

    connect(btnDisplay, &QPushButton::clicked, this, &Results::btnDisplay_Click);
    connect(btnSaveResults, &QPushButton::clicked, this, &Results::btnSaveResults_Click);
    connect(Timer1, &QTimer::timeout, this, &Results::Timer1_Timer);
    // Selections made by the program raise the same events as the operator's clicks.
    connect(cbDrvCopy, &QComboBox::currentIndexChanged, this, &Results::cbDrvCopy_Click);
    connect(cbSkiCopy, &QComboBox::currentIndexChanged, this, &Results::cbSkiCopy_Click);
    connect(cbMnfCopy, &QComboBox::currentIndexChanged, this, &Results::cbMnfCopy_Click);
    connect(cbMdlCopy, &QComboBox::currentIndexChanged, this, &Results::cbMdlCopy_Click);
    connect(txtNumCopy, &QLineEdit::textChanged, this, &Results::txtNumCopy_Change);
    connect(cbLineCopy, &QComboBox::currentIndexChanged, this, &Results::cbLineCopy_Click);
    connect(Command1, &QPushButton::clicked, this, &Results::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Results::Command2_Click);
}

void Results::buildBuoyPanel(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto* choice = new QHBoxLayout;
    auto* list = new RuleSetList(page);
    // Files come and go while the program runs; the list follows when it opens.
    list->beforeOpening = [this] { listRuleSets(); };
    cbRuleSet = named<QComboBox>(list, QStringLiteral("cbRuleSet"));
    auto* listCaption = new QLabel(QStringLiteral("Rule set file:"), page);
    captionFor(listCaption, cbRuleSet);
    choice->addWidget(listCaption);
    choice->addWidget(cbRuleSet, 1);
    layout->addLayout(choice);

    lblRuleSet = named(new QLabel(page), QStringLiteral("lblRuleSet"));
    lblRuleSet->setWordWrap(true);
    layout->addWidget(lblRuleSet);
    lblBuoySource = named(new QLabel(page), QStringLiteral("lblBuoySource"));
    lblBuoySource->setWordWrap(true);
    layout->addWidget(lblBuoySource);

    grdBuoys =
        named(new QTableWidget(1 + kGuideBuoys, BuoyColumns, page), QStringLiteral("grdBuoys"));
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

    lblBuoyNotes = named(new QLabel(page), QStringLiteral("lblBuoyNotes"));
    lblBuoyNotes->setWordWrap(true);
    lblBuoyNotes->setTextFormat(Qt::RichText);
    layout->addWidget(lblBuoyNotes);
    layout->addStretch(1);

    connect(cbRuleSet, &QComboBox::activated, this, &Results::cbRuleSet_Click);
}

QString Results::rulesFolder() const
{
    return QDir(programPlace.folder).filePath(QLatin1String(kRuleSetFolder));
}

void Results::listRuleSets()
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

void Results::cbRuleSet_Click(int index)
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
    redrawGraph();
}

void Results::showBuoyFigures()
{
    const RuleSet& rules = ruleSet.rules;
    lblRuleSet->setText(QStringLiteral("Rule set: ") + rules.name);
    lblRuleSet->setToolTip(ruleSetFigures(rules).join(QLatin1Char('\n')));

    figures = figuresPass ? computeBuoyFigures(figuresPass->deviations, figuresPass->passTenths,
                                               figuresPass->direction, rules)
                          : BuoyFigures{};
    QStringList notes;
    if (figuresPass) {
        lblBuoySource->setText(figuresPass->origin);
        notes << buoyFiguresNotes(figures);
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

    const auto rows = buoyTableRows(figures);
    const bool shown = figuresPass && figures.ok;
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

void Results::load()
{
    const RunInfo run = runParticulars.info();
    ReturnToMeasure = false;
    left = false;
    List1->clear();
    txtComment->clear();
    traces.clear();
    labelsComingToward = run.direction == Direction::Toward;

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
    tabResults->setCurrentIndex(figuresPass ? BuoyTab : ReportTab);
    showGraphFrame(run.event, labelsComingToward);

    if (pass.measured) {
        List1->addItem(QStringLiteral("Black/Red - Measured Data"));
        List1->addItem(QStringLiteral("Blue - Best Fit Path Line"));
        reportPass();
    } else {
        platform.messages.plain(QStringLiteral("No Results loaded yet"), kTitle);
    }

    copyNameList(cbDrvCopy, int(NameList::Drivers));
    copyNameList(cbSkiCopy, int(NameList::Skiers));
    copyNameList(cbMnfCopy, int(NameList::Boats));
    copyNameList(cbMdlCopy, int(NameList::Models));

    cbSpeedCopy->clear();
    cbSpeedCopy->addItems(speedCopyItems(run.event));
    if (run.event == Event::Slalom) {
        cbNewLineCopy->setEnabled(true);
        cbNewLineCopy->clear();
        cbNewLineCopy->addItems(lineCopyItems());
        cbLineCopy->setEnabled(true);
        cbLineCopy->setCurrentIndex(run.lineLength);
        cbNewLineCopy->setCurrentIndex(run.lineLength);
        cbSpeedCopy->setCurrentIndex(speedCopyPosition(Event::Slalom, run.slalomSpeed));
    } else {
        cbNewLineCopy->setEnabled(false);
        cbSpeedCopy->setCurrentIndex(speedCopyPosition(Event::Jump, run.jumpSpeed));
    }
    txtNumCopy->setText(run.boatNumber);
}

void Results::copyNameList(QComboBox* copy, int list)
{
    const auto which = NameList(list);
    const int position = runParticulars.namePosition(which);
    {
        // Filling the list must not pick an item on the start screen.
        const QSignalBlocker quiet(copy);
        copy->clear();
        copy->addItems(names[which]);
        copy->setCurrentIndex(-1);
    }
    if (position >= 0)
        copy->setCurrentIndex(position);
}

QString Results::resultsFolderPath() const
{
    return QFileInfo(resultsPath(QStringLiteral("x"))).absolutePath();
}

QString Results::resultsPath(const QString& name) const
{
    return resultsFilePath(runParticulars.info().resultsFolder, name, programPlace.folder);
}

void Results::reportPass()
{
    const RunInfo run = runParticulars.info();
    const QDateTime now = platform.clock.now();
    const PassAnalysis analysis = analysePass(run, pass.samples, pass.tenths, now);
    pass.statistics = analysis.statistics;
    txtResults->setPlainText(analysis.report);

    // The pass stays on this screen whatever happens to the files; the operator learns in
    // one message what was not written and can still save the pass elsewhere.
    QStringList failures;
    const WriteResult side = appendText(resultsPath(QString::fromLatin1(kOriginalMeasurementsFile)),
                                        analysis.sideFileBlock);
    if (!side)
        failures << side.message;
    const WriteResult log =
        appendText(resultsPath(resultLogName(now)), resultLogRecord(analysis.report));
    if (!log)
        failures << log.message;
    if (figuresPass) {
        const WriteResult buoys =
            appendText(resultsPath(buoyLogName(now)), buoyLogBlock(run, figures, now));
        if (!buoys)
            failures << buoys.message;
    }
    if (!failures.isEmpty())
        platform.messages.warning(
            QStringLiteral("The pass is shown here, but these files were not written:\n\n") +
                failures.join('\n') +
                QStringLiteral("\n\nUse \"Save Result File\" to keep the pass in another folder."),
            kErrorTitle);
    Timer1->start();
}

void Results::showGraphFrame(Event event, bool comingToward)
{
    const GraphFrame frame = graphFrame(event, comingToward);
    QImage background = graph->backgroundPicture();
    {
        QPainter p(&background);
        p.fillRect(background.rect(), Qt::white);
        const QRect box(
            QPoint(twipsToPixels(frame.box.left), twipsToPixels(frame.box.top)),
            QPoint(twipsToPixels(frame.box.right) - 1, twipsToPixels(frame.box.bottom) - 1));
        p.fillRect(box, palette().color(QPalette::Button));
        // A band of a window shorter than a pixel is still a line of one.
        if (event == Event::Slalom)
            for (const GraphRect& band : buoyWindowBands(figures)) {
                const int top = twipsToPixels(band.top);
                const int bottom = std::max(twipsToPixels(band.bottom), top + 1);
                p.fillRect(QRect(QPoint(twipsToPixels(band.left), top),
                                 QPoint(twipsToPixels(band.right) - 1, bottom - 1)),
                           QColor(kBuoyBandColour.r, kBuoyBandColour.g, kBuoyBandColour.b));
            }
    }
    graph->setBackgroundPicture(background);
    graph->clearDrawing();
    graph->draw(frame.lines);
    for (const GraphLabel& l : frame.labels) {
        QLabel* label = graphLabels.at(l.caption);
        label->setText(l.text);
        label->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3)")
                                 .arg(l.colour.r)
                                 .arg(l.colour.g)
                                 .arg(l.colour.b));
        // The scale caption must keep its width to sit under the graph's lines: its type
        // shrinks until the caption fits. Other captions take the width of their text.
        QFont font = this->font();
        if (l.caption == GraphCaption::Scale)
            while (font.pointSizeF() > 5 &&
                   QFontMetrics(font).horizontalAdvance(l.text) > twipsToPixels(l.width))
                font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
        const double width =
            l.caption == GraphCaption::Scale
                ? l.width
                : std::max(l.width,
                           pixelsToTwips(QFontMetrics(font).horizontalAdvance(l.text) + 4));
        place(label, l.left, l.top, width, 300);
        label->setVisible(l.visible);
    }
}

void Results::paint(const OverlayShapes& shapes)
{
    OverlayShapes painted = shapes;
    for (OverlayShape& s : painted)
        std::visit([](auto& shape) { shape.colour = unkeyed(shape.colour); }, s);
    graph->draw(painted);
}

void Results::Timer1_Timer()
{
    Timer1->stop();
    const RunInfo run = runParticulars.info();
    // The tick erases what was drawn before it, traces read back included.
    labelsComingToward = run.direction == Direction::Toward;
    traces = passGraph(run.event, run.direction, passDeviations(pass.samples, pass.tenths),
                       pass.statistics);
    redrawGraph();
    txtSplit->setFocus();
}

void Results::redrawGraph()
{
    showGraphFrame(runParticulars.info().event, labelsComingToward);
    paint(traces);
    if (figuresPass && !traces.empty())
        paint(readingMarks(figures, figuresPass->deviations));
}

QString Results::shownText() const
{
    QString text = txtResults->toPlainText();
    text.replace('\n', QString::fromLatin1(kCrLf));
    return text;
}

void Results::btnSaveResults_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Result File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = resultsFolderPath();
    request.forSaving = true;
    if (const std::optional<QString> path = platform.fileDialog.choose(request)) {
        const WriteResult written = replaceFile(*path, savedResultsText(shownText()));
        if (!written)
            platform.messages.warning(written.message, kErrorTitle);
    }
    Command1->setFocus();
}

void Results::btnDisplay_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Read and Display Results File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = resultsFolderPath();
    const std::optional<QString> path = platform.fileDialog.choose(request);
    const auto finish = [this] { Command1->setFocus(); };
    if (!path)
        return finish();
    const std::optional<QString> text = readTextFile(*path, kResultsFileMaxBytes);
    if (!text)
        return finish();
    txtResults->clear();

    const Event event = runParticulars.info().event;
    const ResultsFileRead read = readResultsFile(*text, event);
    if (read.status == ReadStatus::NotValid) {
        platform.messages.plain(notValidResultsFileMessage(event), kTitle);
        return;
    }
    const QString nl = QString::fromLatin1(kCrLf);
    txtResults->setPlainText(read.shownLines.first() + nl);

    long long choice = 0;
    do {
        const std::optional<QString> answer = platform.messages.input(colourPromptText(), kTitle);
        const std::optional<long long> number = answer ? colourAnswer(*answer) : std::nullopt;
        if (!number)
            return finish();
        choice = *number;
    } while (!isColourChoice(choice));
    List1->addItem(traceColourName(int(choice)) + QStringLiteral(" - ") + *path);

    // One update for the rest of the file: a long file is not appended line by line.
    txtResults->setPlainText(read.shownLines.join(nl) + nl);
    if (read.status == ReadStatus::Ok) {
        const std::array<QString, 6> numbers = buoyNumbers(read.comingToward);
        for (int i = 0; i < 6; ++i)
            graphLabels.at(buoyNumberCaption(i))->setText(numbers[size_t(i)]);
        labelsComingToward = read.comingToward;
        const OverlayShapes trace = readBackTrace(event, read.comingToward, read.deviations,
                                                  read.positions, traceColour(int(choice)));
        traces.insert(traces.end(), trace.begin(), trace.end());
        paint(trace);
        if (event == Event::Slalom)
            showFiguresOfFile(*path, *text);
    }
    finish();
}

void Results::showFiguresOfFile(const QString& path, const QString& text)
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
    redrawGraph();
}

void Results::cbDrvCopy_Click()
{
    pickName(cbDrvCopy, NameList::Drivers);
}

void Results::cbSkiCopy_Click()
{
    pickName(cbSkiCopy, NameList::Skiers);
}

void Results::cbMnfCopy_Click()
{
    pickName(cbMnfCopy, NameList::Boats);
}

void Results::cbMdlCopy_Click()
{
    pickName(cbMdlCopy, NameList::Models);
}

void Results::pickName(const QComboBox* copy, NameList list)
{
    const int position = copy->currentIndex();
    if (position >= 0)
        runParticulars.pickName(list, position, copy->itemText(position));
}

void Results::txtNumCopy_Change()
{
    runParticulars.setBoatNumber(txtNumCopy->text());
}

void Results::cbLineCopy_Click()
{
    const int k = cbLineCopy->currentIndex();
    if (k < 0 || k >= int(kLineLengths.size()))
        return;
    runParticulars.setLineLength(k);
    // The list's own text, without the blank the measurement screen puts before "9.75".
    pass.lineText = QString::fromLatin1(kLineLengths[size_t(k)]);
}

void Results::Command1_Click()
{
    returnSequence();
}

void Results::Command2_Click()
{
    ReturnToMeasure = true;
    returnSequence();
}

void Results::closeEvent(QCloseEvent* event)
{
    // The return sequence hides the window itself; a close that comes after it has
    // nothing left to do.
    event->ignore();
    if (!left)
        Command1_Click();
}

void Results::returnSequence()
{
    left = true;
    const RunInfo run = runParticulars.info();
    const QDateTime now = platform.clock.now();

    DatabaseLineInputs in;
    in.run = run;
    in.speedText = pass.speedText;
    in.lineText = pass.lineText;
    in.samples = pass.samples;
    in.statistics = pass.statistics;
    in.split = txtSplit->text();
    in.full = txtFull->text();
    in.comment = txtComment->text();
    const QString line = databaseLine(in);
    const WriteResult written =
        appendText(resultsPath(databaseLogName(now)), line + QString::fromLatin1(kCrLf));
    if (!written)
        platform.messages.warning(
            written.message + QStringLiteral("\n\nThe database line of this pass was:\n") + line,
            kErrorTitle);

    const NextPass next = nextPass(run.event, run.direction, cbSpeedCopy->currentIndex(),
                                   cbNewLineCopy->currentIndex());
    if (next.direction)
        runParticulars.setDirection(*next.direction);
    if (next.slalomSpeed >= 0)
        runParticulars.setSlalomSpeed(next.slalomSpeed);
    if (next.jumpSpeed >= 0)
        runParticulars.setJumpSpeed(next.jumpSpeed);
    if (next.lineLength >= 0) {
        runParticulars.setLineLength(next.lineLength);
        pass.lineText = next.lineLabel;
    }

    const bool toMeasure = ReturnToMeasure;
    ReturnToMeasure = false;
    navigator.closeResults();
    if (toMeasure)
        navigator.openMeasurement();
    else
        navigator.showStart();
}
