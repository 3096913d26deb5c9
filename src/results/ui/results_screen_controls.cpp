// The results screen's controls in three columns: the report and buoy figures pages with the
// file buttons and the graph's legend, the graph taking whatever room is left, and the copies
// of the run particulars with the ways out. The columns keep their widths; the graph grows
// with the window. At the first size (984 x 580, which fits a 1024 x 768 display) every
// control stands where the screen has always had it.

#include "picture/ui/accessible_names.h"
#include "picture/ui/screen_layout.h"
#include "platform/message_boxes.h"
#include "results/next_pass.h"
#include "results/ui/buoy_panel.h"
#include "results/ui/results_graph_view.h"
#include "results/ui/results_screen.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kFirstWidth = 984;
constexpr int kFirstHeight = 580;
// The columns either side of the graph, margins included: the graph lies between them at
// its first size as it always has (twips 6060 to 11640 of the first layout).
constexpr int kReportColumnWidth = 404;
constexpr int kFieldColumnWidth = 208;

} // namespace

void ResultsScreen::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    // Left: the report and the per-buoy figures share one place; the file buttons and the
    // legend below.
    auto* reportColumn = new QWidget(central);
    reportColumn->setFixedWidth(kReportColumnWidth);
    auto* left = new QVBoxLayout(reportColumn);
    left->setContentsMargins(8, 8, 0, 12);
    left->setSpacing(8);
    resultPagesGroup = named(new QTabWidget(reportColumn), QStringLiteral("resultPagesGroup"));
    reportEdit = named(new QPlainTextEdit, QStringLiteral("reportEdit"));
    reportEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPointSizeF(reportEdit->font().pointSizeF() * 0.9);
    reportEdit->setFont(fixed);
    resultPagesGroup->insertTab(ReportPage, reportEdit, QStringLiteral("Report"));
    nameForAccess(reportEdit, QStringLiteral("Pass Report"));
    buoyPanel = named(new BuoyPanel(session, resultPagesGroup), QStringLiteral("buoyFiguresGroup"));
    resultPagesGroup->insertTab(BuoyFiguresPage, buoyPanel, QStringLiteral("Buoy Figures"));
    left->addWidget(resultPagesGroup, 1);

    readResultsFileButton =
        named(new QPushButton(QStringLiteral("Read and Display Results File"), reportColumn),
              QStringLiteral("readResultsFileButton"));
    saveResultsButton = named(new QPushButton(QStringLiteral("Save Result File"), reportColumn),
                              QStringLiteral("saveResultsButton"));
    auto* fileButtons = new QHBoxLayout;
    fileButtons->setSpacing(8);
    fileButtons->addWidget(readResultsFileButton, 212);
    fileButtons->addWidget(saveResultsButton, 176);
    for (QPushButton* b : {readResultsFileButton, saveResultsButton})
        b->setFixedHeight(30);
    left->addLayout(fileButtons);
    left->addSpacing(2);
    legendList = named(new QListWidget(reportColumn), QStringLiteral("legendList"));
    legendList->setFixedHeight(80);
    nameForAccess(legendList, QStringLiteral("Graph Legend"));
    left->addWidget(legendList);
    columns->addWidget(reportColumn);

    graph = named(new ResultsGraphView(central), QStringLiteral("graph"));
    graph->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    columns->addWidget(graph, 1);

    graphTimer = named(new QTimer(this), QStringLiteral("graphTimer"));
    graphTimer->setSingleShot(true);
    graphTimer->setInterval(500);

    // Right: the particulars of the measured pass, the next pass, the database line's free
    // text and the ways out.
    auto* fieldColumn = new QWidget(central);
    fieldColumn->setFixedWidth(kFieldColumnWidth);
    auto* right = new QVBoxLayout(fieldColumn);
    right->setContentsMargins(0, 8, 8, 8);
    right->setSpacing(8);
    auto combo = [](QGroupBox* group, const char* name, const QString& placeholder) {
        auto* c = named(new QComboBox(group), QString::fromLatin1(name));
        c->setPlaceholderText(placeholder);
        // The group's title tells the two "Line" fields apart.
        nameForAccess(c, group->title() + QStringLiteral(" ") + placeholder);
        group->layout()->addWidget(c);
        return c;
    };
    measuredPassGroup = named(new QGroupBox(QStringLiteral("Measured Pass"), fieldColumn),
                              QStringLiteral("measuredPassGroup"));
    new QVBoxLayout(measuredPassGroup);
    driverCopyCombo = combo(measuredPassGroup, "driverCopyCombo", QStringLiteral("Drivers"));
    skierCopyCombo = combo(measuredPassGroup, "skierCopyCombo", QStringLiteral("Skiers"));
    boatMakerCopyCombo =
        combo(measuredPassGroup, "boatMakerCopyCombo", QStringLiteral("Boat Manufacturer"));
    boatModelCopyCombo =
        combo(measuredPassGroup, "boatModelCopyCombo", QStringLiteral("Boat Model"));
    auto* numberRow = new QHBoxLayout;
    auto* numberCaption = new QLabel(QStringLiteral("Boat Number"), measuredPassGroup);
    boatNumberCopyEdit =
        named(new QLineEdit(measuredPassGroup), QStringLiteral("boatNumberCopyEdit"));
    captionFor(numberCaption, boatNumberCopyEdit);
    numberRow->addWidget(numberCaption);
    numberRow->addWidget(boatNumberCopyEdit);
    static_cast<QVBoxLayout*>(measuredPassGroup->layout())->addLayout(numberRow);
    lineCopyCombo = combo(measuredPassGroup, "lineCopyCombo", QStringLiteral("Line"));
    lineCopyCombo->addItems(lineCopyItems());
    lineCopyCombo->setCurrentIndex(-1);
    lineCopyCombo->setEnabled(false);
    right->addWidget(measuredPassGroup);

    nextPassGroup = named(new QGroupBox(QStringLiteral("Set for Next Pass"), fieldColumn),
                          QStringLiteral("nextPassGroup"));
    new QVBoxLayout(nextPassGroup);
    nextSpeedCombo = combo(nextPassGroup, "nextSpeedCombo", QStringLiteral("Speed"));
    nextLineCombo = combo(nextPassGroup, "nextLineCombo", QStringLiteral("Line"));
    right->addWidget(nextPassGroup);

    auto* notes = new QGridLayout;
    notes->setColumnStretch(1, 1);
    auto field = [&](const char* name, const QString& caption, int row) {
        auto* shown = new QLabel(caption, fieldColumn);
        auto* f = named(new QLineEdit(fieldColumn), QString::fromLatin1(name));
        captionFor(shown, f);
        notes->addWidget(shown, row, 0);
        notes->addWidget(f, row, 1);
        return f;
    };
    splitEdit = field("splitEdit", QStringLiteral("Split:"), 0);
    fullEdit = field("fullEdit", QStringLiteral("Full:"), 1);
    commentEdit = field("commentEdit", QStringLiteral("Comment:"), 2);
    right->addLayout(notes);

    returnToMainButton = named(new QPushButton(QStringLiteral("Return to Main"), fieldColumn),
                               QStringLiteral("returnToMainButton"));
    returnToMeasureButton = named(new QPushButton(QStringLiteral("Return to Measure"), fieldColumn),
                                  QStringLiteral("returnToMeasureButton"));
    reviewOnVideoButton = named(new QPushButton(QStringLiteral("Review on Video"), fieldColumn),
                                QStringLiteral("reviewOnVideoButton"));
    reviewOnVideoButton->setEnabled(false);
    right->addSpacing(4);
    for (QPushButton* b : {returnToMainButton, returnToMeasureButton, reviewOnVideoButton}) {
        b->setFixedHeight(36);
        right->addWidget(b);
    }
    // Why there is no review, said plainly under the button.
    reviewNoteLabel = named(new QLabel(fieldColumn), QStringLiteral("reviewNoteLabel"));
    reviewNoteLabel->setWordWrap(true);
    reviewNoteLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    reviewNoteLabel->hide();
    nameForAccess(reviewNoteLabel, QStringLiteral("Review on Video note"));
    right->addWidget(reviewNoteLabel);
    right->addStretch(1);
    columns->addWidget(fieldColumn);

    for (QPushButton* button : {readResultsFileButton, saveResultsButton, returnToMainButton,
                                returnToMeasureButton, reviewOnVideoButton})
        nameForAccess(button, button->text());

    resize(kFirstWidth, kFirstHeight);
}

void ResultsScreen::connectControls()
{
    connect(readResultsFileButton, &QPushButton::clicked, this, &ResultsScreen::readResultsFile);
    connect(saveResultsButton, &QPushButton::clicked, this, &ResultsScreen::saveResults);
    connect(graphTimer, &QTimer::timeout, this, &ResultsScreen::drawGraph);
    // A name picked in a copy goes into the run particulars.
    const std::array<QComboBox*, 4> nameCopies{driverCopyCombo, skierCopyCombo, boatMakerCopyCombo,
                                               boatModelCopyCombo};
    for (NameList list : kNameListsInLoadOrder)
        connect(nameCopies[size_t(list)], &QComboBox::currentIndexChanged, this,
                [this, list](int position) { session.pickName(list, position); });
    connect(boatNumberCopyEdit, &QLineEdit::textChanged, this, &ResultsScreen::boatNumberEdited);
    connect(lineCopyCombo, &QComboBox::currentIndexChanged, this, &ResultsScreen::lineCopyPicked);
    for (QLineEdit* f : {splitEdit, fullEdit, commentEdit})
        connect(f, &QLineEdit::textChanged, this, &ResultsScreen::notesEdited);
    connect(returnToMainButton, &QPushButton::clicked, this, &ResultsScreen::returnToMain);
    connect(returnToMeasureButton, &QPushButton::clicked, this, &ResultsScreen::returnToMeasure);
    connect(reviewOnVideoButton, &QPushButton::clicked, this, &ResultsScreen::reviewOnVideo);
    connect(&session, &ResultsSession::reviewChanged, this, &ResultsScreen::showReviewOffer);

    connect(&session, &ResultsSession::reportChanged, reportEdit, &QPlainTextEdit::setPlainText);
    connect(&session, &ResultsSession::legendChanged, this, [this](const QStringList& legend) {
        legendList->clear();
        legendList->addItems(legend);
    });
    connect(&session, &ResultsSession::graphChanged, this, &ResultsScreen::redrawGraph);
    connect(&session, &ResultsSession::figuresChanged, buoyPanel, &BuoyPanel::showFigures);
    connect(&session, &ResultsSession::notice, this, [this](const QString& text) {
        services.messages.plain(text, QStringLiteral("Wakeline"));
    });
    connect(&session, &ResultsSession::warning, this, [this](const QString& text) {
        services.messages.warning(text, QStringLiteral("Error Message"));
    });
    connect(&session, &ResultsSession::left, this, &ResultsScreen::leaveFor);
}
