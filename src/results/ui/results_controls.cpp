// The results screen's controls: the graph surface as the whole form, the report and buoy
// figures tabs, the copies of the run particulars, placed in twips, and their connections.

#include "common/twips.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "results/next_pass.h"
#include "results/ui/buoy_panel.h"
#include "results/ui/results.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

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

} // namespace

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
    buoyPanel = named(new BuoyPanel(platform, programPlace, tabResults), QStringLiteral("fmBuoys"));
    tabResults->insertTab(BuoyTab, buoyPanel, QStringLiteral("Buoy Figures"));

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
    for (QLineEdit* field : {txtSplit, txtFull, txtComment})
        connect(field, &QLineEdit::textChanged, this, &Results::keepPendingLine);
    connect(cbLineCopy, &QComboBox::currentIndexChanged, this, &Results::cbLineCopy_Click);
    connect(Command1, &QPushButton::clicked, this, &Results::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Results::Command2_Click);
    connect(buoyPanel, &BuoyPanel::figuresChanged, this, &Results::redrawGraph);
}
