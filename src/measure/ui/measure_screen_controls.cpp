// The measurement screen's controls: built in one column at the left edge of the picture,
// named for screen readers, kept over the surface as it resizes, and connected to their
// handlers.

#include "app/program_place.h"
#include "measure/ui/line_overlay.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "picture/ui/video_menu.h"
#include "picture/ui/video_transport.h"
#include "platform/platform.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

bool isArrowKey(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

constexpr int kReadoutWidth = 72;
constexpr int kEntryWidth = 56;
constexpr int kBoxPadding = 10; // a read-only box's frame and margins around its text

} // namespace

void Measure::buildControls()
{
    surface = new DrawingSurface(this);
    setCentralWidget(surface);
    surface->showVideoOf(video);
    // A picture fills the area right of the column; the overlay card keys the whole surface.
    surface->fitPicturesBeside(kControlColumnWidth);
    // The lines go first so that the control column stands above them.
    lineOverlay = new LineOverlay(surface);
    lineOverlay->setMapping(surface->mapping());
    connect(surface, &DrawingSurface::mappingChanged, lineOverlay, &LineOverlay::setMapping);
    surface->installEventFilter(this); // the lines cover the whole surface

    // Every control stands in one column at the left edge, where the standard camera's
    // picture shows no course; the course itself stays clear to the right of it.
    controlColumn.emplace(surface);
    column = controlColumn->frame();
    QVBoxLayout* layout = controlColumn->layout();

    auto label = [this](const char* name, const QString& text) {
        return named(new QLabel(text, column), name);
    };
    auto box = [this](const char* name, const QString& text, int width) {
        QLineEdit* e = named(new QLineEdit(text, column), name);
        e->setFixedWidth(width);
        return e;
    };
    auto readOnly = [&box](const char* name, int width) {
        QLineEdit* e = box(name, QString(), width);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        return e;
    };
    auto check = [this](const char* name, const QString& text) {
        return named(new QCheckBox(text, column), name);
    };
    auto button = [this](const char* name, const QString& text) {
        return named(new QPushButton(text, column), name);
    };
    auto row = [this](std::initializer_list<QWidget*> widgets, bool stretchAtEnd = true) {
        return controlColumn->row(widgets, stretchAtEnd);
    };
    auto grid = [this] { return controlColumn->grid(); };

    // The run: event, speed and line length, then the people and the boat.
    Label9 = label("Label9", QStringLiteral("Slalom"));
    QFont big = Label9->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    Label9->setFont(big);
    lblSpeed = label("lblSpeed", QString());
    lblLine = label("lblLine", QString());
    row({Label9, lblSpeed, lblLine});
    lblSkier = label("lblSkier", QString());
    lblDriver = label("lblDriver", QString());
    lblBoat = label("lblBoat", QString());
    lblModel = label("lblModel", QString());
    // A long name is cut at the column's edge (the whole name is in the tooltip) rather than
    // widening the column over the course.
    for (QLabel* l : {lblSkier, lblDriver, lblBoat, lblModel})
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QGridLayout* people = grid();
    people->setVerticalSpacing(0);
    people->addWidget(lblSkier, 0, 0);
    people->addWidget(lblDriver, 0, 1);
    people->addWidget(lblBoat, 1, 0);
    people->addWidget(lblModel, 1, 1);

    Command1 = button("Command1", QStringLiteral("Start Pass"));
    // Enter on the focused button starts the pass, as Space does.
    Command1->setAutoDefault(true);
    Command1->setMinimumHeight(Command1->sizeHint().height() + 6);
    btnAbort = button("btnAbort", QStringLiteral("Abort Measurement"));
    btnAbort->setMinimumHeight(Command1->minimumHeight());
    QHBoxLayout* passButtons = row({Command1, btnAbort}, false);
    passButtons->setStretch(0, 1);
    Label11 = label("Label11", QStringLiteral("Click Mouse to Start Measuring"));
    layout->addWidget(Label11);
    // Shown only while the picture comes from a video file.
    transport = new VideoTransport(video, column);
    layout->addWidget(transport);

    QGridLayout* readouts = grid();
    Label1 = label("Label1", QStringLiteral("Deviation from Center:"));
    txtDeviation = readOnly("txtDeviation", kReadoutWidth);
    Label2 = label("Label2", QStringLiteral("Distance from start:"));
    txtDistance = readOnly("txtDistance", kReadoutWidth);
    Label4 = label("Label4", QStringLiteral("Sample:"));
    txtSample = readOnly("txtSample", kReadoutWidth);
    readouts->addWidget(Label1, 0, 0);
    readouts->addWidget(txtDeviation, 0, 1);
    readouts->addWidget(Label2, 1, 0);
    readouts->addWidget(txtDistance, 1, 1);
    readouts->addWidget(Label4, 2, 0);
    readouts->addWidget(txtSample, 2, 1);
    readouts->setColumnStretch(0, 1);

    buildOptions(layout);

    chkViewOnly = check("chkViewOnly", QStringLiteral("View Only"));
    chkThinLine = check("chkThinLine", QStringLiteral("Check for Thin Line"));
    chkEdgeOn = check("chkEdgeOn", QStringLiteral("Boat Edge Markers On"));
    cbPath = check("cbPath", QStringLiteral("Path Boundary Markers on"));
    chkUseMouse = check("chkUseMouse", QStringLiteral("Use Mouse"));
    QGridLayout* checks = grid();
    checks->setVerticalSpacing(0);
    checks->addWidget(chkViewOnly, 0, 0);
    checks->addWidget(chkUseMouse, 0, 1);
    checks->addWidget(chkThinLine, 1, 0, 1, 2);
    checks->addWidget(chkEdgeOn, 2, 0, 1, 2);
    checks->addWidget(cbPath, 3, 0, 1, 2);

    QGridLayout* entries = grid();
    Label6 = label("Label6", QStringLiteral("Boat Width in meters"));
    txtBoatWidth = box("txtBoatWidth", QStringLiteral("2.2"), kEntryWidth);
    Label8 = label("Label8", QStringLiteral("Boundary Mark Width"));
    txtBoundryWidth = box("txtBoundryWidth", QStringLiteral("1"), kEntryWidth);
    Label10 = label("Label10", QStringLiteral("Jump Boundary Width"));
    txtJumpBoundry = box("txtJumpBoundry", QStringLiteral("0.5"), kEntryWidth);
    entries->addWidget(Label6, 0, 0);
    entries->addWidget(txtBoatWidth, 0, 1);
    entries->addWidget(Label8, 1, 0);
    entries->addWidget(txtBoundryWidth, 1, 1);
    entries->addWidget(Label10, 2, 0);
    entries->addWidget(txtJumpBoundry, 2, 1);
    entries->setColumnStretch(0, 1);

    // The two colour legends are never shown together: they share a place.
    Label12 = label("Label12", QStringLiteral("Red - Mandatory  Green - Optional"));
    Label13 = label("Label13", QStringLiteral("Black - Mandatory  Yellow - Optional"));
    Label14 = label("Label14", QStringLiteral("Solid-Mandatory, dashed-Optional"));
    QGridLayout* legends = grid();
    legends->setVerticalSpacing(0);
    legends->addWidget(Label12, 0, 0);
    legends->addWidget(Label13, 0, 0);
    legends->addWidget(Label14, 1, 0);

    Label5 = label("Label5",
                   QStringLiteral("Use Arrow keys or a joystick/mouse to position the line at the "
                                  "center of the boat (pylon) to record deviation."));
    Label5->setWordWrap(true);
    layout->addWidget(Label5);

    // The status block keeps to the bottom of the column.
    layout->addStretch(1);
    cmdJoy = button("cmdJoy", QStringLiteral("Connect JoyStick"));
    cmdStatus = button("cmdStatus", statusCaption(false));
    row({cmdJoy, cmdStatus});
    status = label("status", QString());
    Labelx = label("Labelx", QString());
    Labely = label("Labely", QString());
    row({status, Labelx, Labely});
    // The pass's figures, each with a caption saying what it is, as an official reads them
    // (their boxes are fitted to their text below).
    Text2 = readOnly("Text2", kReadoutWidth);
    Text3 = readOnly("Text3", kReadoutWidth);
    txtStep = readOnly("txtStep", kReadoutWidth);
    lblStartTime = label("lblStartTime", QStringLiteral("Start"));
    lblEndTime = label("lblEndTime", QStringLiteral("End"));
    lblSamples = label("lblSamples", QStringLiteral("Samples"));
    row({lblStartTime, Text2, lblEndTime, Text3, lblSamples, txtStep});
    Label3 = label("Label3", QStringLiteral("Time"));
    Label7 = label("Label7", QStringLiteral("Done"));
    // The engine's counters tell a technician how the timers kept time; to an official they
    // are unexplained numbers over the picture, so they show only with --diagnostics. No
    // count ever goes into txtCount: it never shows.
    txtCount1 = readOnly("txtCount1", kReadoutWidth);
    txtCount2 = readOnly("txtCount2", kReadoutWidth);
    txtTest = readOnly("txtTest", kReadoutWidth);
    txtCount = readOnly("txtCount", kReadoutWidth);
    lblTicks = label("lblTicks", QStringLiteral("Ticks"));
    lblRedraws = label("lblRedraws", QStringLiteral("Redraws"));
    const std::initializer_list<QWidget*> counters{lblTicks, txtCount1, txtCount2, lblRedraws,
                                                   txtTest};
    if (diagnostics) {
        row({Label3, Label7, lblTicks, txtCount1, txtCount2, lblRedraws, txtTest});
    } else {
        row({Label3, Label7});
        for (QWidget* w : counters)
            w->hide();
    }
    txtCount->hide();

    // Secondary texts in smaller type, so that the whole column fits a 768-pixel screen.
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblSkier,     lblDriver,  lblBoat,    lblModel, Label11,   Label12,   Label13,
             Label14,      Label5,     Labelx,     Labely,   status,    Label3,    Label7,
             Text2,        Text3,      txtStep,    txtCount, txtCount1, txtCount2, txtTest,
             lblStartTime, lblEndTime, lblSamples, lblTicks, lblRedraws})
        smallType(w);
    // The figures' boxes as wide as their widest text in that type, so that a row of captions
    // and boxes fits the column.
    for (QLineEdit* time : {Text2, Text3})
        time->setFixedWidth(time->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) +
                            kBoxPadding);
    for (QLineEdit* count : {txtStep, txtCount, txtCount1, txtCount2, txtTest})
        count->setFixedWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                             kBoxPadding);

    controlColumn->keepPlacesWhenHidden();

    Text2->setToolTip(QStringLiteral("Start of the pass"));
    Text3->setToolTip(QStringLiteral("End of the pass"));
    txtStep->setToolTip(QStringLiteral("Samples of the finished pass"));
    txtCount1->setToolTip(QStringLiteral("Input ticks of the pass"));
    txtCount2->setToolTip(QStringLiteral("Sample ticks of the pass"));
    txtTest->setToolTip(QStringLiteral("Redraws of the buoy and course marks"));
    Label3->setToolTip(QStringLiteral("Samples taken when the pass time ran out"));
    nameInputs();

    mnuStart = menuBar()->addAction(QStringLiteral("&Return to Start"));
    mnuStart->setObjectName(QStringLiteral("mnuStart"));
    mnuExit = menuBar()->addAction(QStringLiteral("E&xit Program"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    new VideoMenu(menuBar(), video, platform.fileDialog, place.folder);
    transport->installShortcuts(this);

    connect(Command1, &QPushButton::clicked, this, &Measure::Command1_Click);
    connect(btnAbort, &QPushButton::clicked, this, &Measure::btnAbort_Click);
    connect(cmdJoy, &QPushButton::clicked, this, &Measure::cmdJoy_Click);
    connect(cmdStatus, &QPushButton::clicked, this, &Measure::cmdStatus_Click);
    connect(chkUseMouse, &QCheckBox::toggled, this, &Measure::chkUseMouse_Click);
    connect(chkEdgeOn, &QCheckBox::toggled, this, &Measure::chkEdgeOn_Click);
    connect(cbPath, &QCheckBox::toggled, this, &Measure::cbPath_Click);
    connect(chkThinLine, &QCheckBox::toggled, this, &Measure::chkThinLine_Click);
    connect(chkViewOnly, &QCheckBox::toggled, this, &Measure::chkViewOnly_Click);
    connect(txtBoundryWidth, &QLineEdit::textEdited, this, &Measure::txtBoundryWidth_Change);
    connect(txtBoundryWidth, &QLineEdit::editingFinished, this, &Measure::txtBoundryWidth_Finished);
    connect(txtJumpBoundry, &QLineEdit::textEdited, this, &Measure::txtJumpBoundry_Change);
    connect(txtJumpBoundry, &QLineEdit::editingFinished, this, &Measure::txtJumpBoundry_Finished);
    connect(txtBoatWidth, &QLineEdit::textChanged, this, &Measure::txtBoatWidth_Change);
    connect(surface, &DrawingSurface::mouseMoved, this, &Measure::Form_MouseMove);
    connect(surface, &DrawingSurface::mousePressed, this, &Measure::Form_MouseDown);
    connect(mnuStart, &QAction::triggered, this, &Measure::mnuStart_Click);
    connect(mnuExit, &QAction::triggered, this, &Measure::mnuExit_Click);
}

void Measure::buildOptions(QVBoxLayout* rows)
{
    auto frame = [this](const char* name, const QString& title) {
        QGroupBox* f = named(new QGroupBox(title, column), name);
        auto* l = new QGridLayout(f);
        l->setContentsMargins(ControlColumn::kMargin, 0, ControlColumn::kMargin,
                              ControlColumn::kMargin);
        l->setHorizontalSpacing(ControlColumn::kColumnGap);
        l->setVerticalSpacing(0);
        return f;
    };
    auto option = [](QGroupBox* f, const char* name, const QString& text, int row, int col = 0) {
        QRadioButton* r = named(new QRadioButton(text, f), name);
        static_cast<QGridLayout*>(f->layout())->addWidget(r, row, col, Qt::AlignLeft);
        return r;
    };
    // Each option acts when it becomes the selected one, by click or by code.
    auto onSelect = [this](QRadioButton* r, auto action) {
        connect(r, &QRadioButton::toggled, this, [action](bool on) {
            if (on)
                action();
        });
    };

    Frame1 = frame("Frame1", QStringLiteral("Line Color"));
    optWhite = option(Frame1, "optWhite", QStringLiteral("White"), 0);
    optBlack = option(Frame1, "optBlack", QStringLiteral("Black"), 1);
    optYellow = option(Frame1, "optYellow", QStringLiteral("Yellow"), 2);
    optWhite->setChecked(true);
    Frame2 = frame("Frame2", QStringLiteral("Line Style"));
    optSolid = option(Frame2, "optSolid", QStringLiteral("Solid"), 0);
    optDash = option(Frame2, "optDash", QStringLiteral("Dash"), 1);
    optDot = option(Frame2, "optDot", QStringLiteral("Dot"), 2);
    optSolid->setChecked(true);
    Frame3 = frame("Frame3", QStringLiteral("Boundary"));
    optBWhite = option(Frame3, "optBWhite", QStringLiteral("White"), 0);
    optBBlack = option(Frame3, "optBBlack", QStringLiteral("Black"), 1);
    optBYellow = option(Frame3, "optBYellow", QStringLiteral("Yellow"), 2);
    optBRed = option(Frame3, "optBRed", QStringLiteral("Red"), 3);
    optBBlue = option(Frame3, "optBBlue", QStringLiteral("Blue"), 0, 1);
    OptRG = option(Frame3, "OptRG", QStringLiteral("R/G"), 1, 1);
    OptBY = option(Frame3, "OptBY", QStringLiteral("Bk/Y"), 2, 1);
    optBWhite->setChecked(true);
    frmJumpPath = frame("frmJumpPath", QStringLiteral("Path"));
    optjnarrow = option(frmJumpPath, "optjnarrow", QStringLiteral("Narrow"), 0);
    optjnarrowsplit = option(frmJumpPath, "optjnarrowsplit", QStringLiteral("Narr Split"), 1);
    optjsplit = option(frmJumpPath, "optjsplit", QStringLiteral("Split"), 2);
    optjwidesplit = option(frmJumpPath, "optjwidesplit", QStringLiteral("Wide Spl"), 3);
    optjwide = option(frmJumpPath, "optjwide", QStringLiteral("Wide"), 4);
    optjsplit->setChecked(true);
    // The line's colour and style side by side; under them the boundary colours in two
    // columns beside the jump paths (shown only when monitoring a jump).
    auto* lineOptions = new QHBoxLayout;
    lineOptions->setSpacing(ControlColumn::kColumnGap);
    lineOptions->addWidget(Frame1, 1);
    lineOptions->addWidget(Frame2, 1);
    rows->addLayout(lineOptions);
    auto* boundaryOptions = new QHBoxLayout;
    boundaryOptions->setSpacing(ControlColumn::kColumnGap);
    boundaryOptions->addWidget(Frame3, 0, Qt::AlignTop);
    boundaryOptions->addWidget(frmJumpPath, 1, Qt::AlignTop);
    rows->addLayout(boundaryOptions);

    MeasureModel& m = *model_;
    onSelect(optWhite, [&m] { m.setLineColour(LineColour::White); });
    onSelect(optBlack, [&m] { m.setLineColour(LineColour::Black); });
    onSelect(optYellow, [&m] { m.setLineColour(LineColour::Yellow); });
    onSelect(optSolid, [&m] { m.setLineStyle(LineStyle::Solid); });
    onSelect(optDash, [&m] { m.setLineStyle(LineStyle::Dash); });
    onSelect(optDot, [&m] { m.setLineStyle(LineStyle::Dot); });
    onSelect(optBWhite, [&m] { m.setBoundaryColour(BoundaryColour::White); });
    onSelect(optBBlack, [&m] { m.setBoundaryColour(BoundaryColour::Black); });
    onSelect(optBYellow, [&m] { m.setBoundaryColour(BoundaryColour::Yellow); });
    onSelect(optBRed, [&m] { m.setBoundaryColour(BoundaryColour::Red); });
    onSelect(optBBlue, [&m] { m.setBoundaryColour(BoundaryColour::Blue); });
    onSelect(OptRG, [&m] { m.setBoundaryColour(BoundaryColour::RedGreen); });
    onSelect(OptBY, [&m] { m.setBoundaryColour(BoundaryColour::BlackYellow); });
    onSelect(optjnarrow, [&m] { m.setJumpPath(JumpPath::Narrow); });
    onSelect(optjnarrowsplit, [&m] { m.setJumpPath(JumpPath::NarrowSplit); });
    onSelect(optjsplit, [&m] { m.setJumpPath(JumpPath::Split); });
    onSelect(optjwidesplit, [&m] { m.setJumpPath(JumpPath::WideSplit); });
    onSelect(optjwide, [&m] { m.setJumpPath(JumpPath::Wide); });
}

void Measure::swallowArrowKeys()
{
    // The arrow keys move the measurement line. Left to the controls they would also move
    // the focus and change the selected options; only a text box being edited keeps them.
    for (QWidget* w : surface->findChildren<QWidget*>())
        if (!qobject_cast<QLineEdit*>(w))
            w->installEventFilter(this);
}

void Measure::nameInputs()
{
    for (QAbstractButton* b : column->findChildren<QAbstractButton*>())
        if (!transport->isAncestorOf(b)) // it names its own: the play caption flips
            nameForAccess(b, b->text());
    const std::pair<QLineEdit*, QString> boxes[] = {
        {txtDeviation, Label1->text()},    {txtDistance, Label2->text()},
        {txtSample, Label4->text()},       {txtBoatWidth, Label6->text()},
        {txtBoundryWidth, Label8->text()}, {txtJumpBoundry, Label10->text()},
        {Text2, Text2->toolTip()},         {Text3, Text3->toolTip()},
        {txtStep, txtStep->toolTip()},     {txtCount, QStringLiteral("Count")},
        {txtCount1, txtCount1->toolTip()}, {txtCount2, txtCount2->toolTip()},
        {txtTest, txtTest->toolTip()},
    };
    for (const auto& [box, caption] : boxes) {
        QString name = caption;
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        nameForAccess(box, name);
    }
}

bool Measure::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == surface && event->type() == QEvent::Resize) {
        lineOverlay->setGeometry(surface->rect());
        column->setGeometry(0, 0, std::min(kControlColumnWidth, surface->width()),
                            surface->height());
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (isArrowKey(static_cast<QKeyEvent*>(event)->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QList<QWidget*> Measure::statusControls() const
{
    QList<QWidget*> controls{Label5,      Frame1,    Frame2,  Frame3,       Label3,     Label7,
                             Text2,       Text3,     txtStep, status,       Labelx,     chkViewOnly,
                             chkThinLine, chkEdgeOn, cbPath,  lblStartTime, lblEndTime, lblSamples};
    // The counters come and go with the rest only where they show at all; txtCount never does.
    if (diagnostics)
        controls << lblTicks << txtCount1 << txtCount2 << lblRedraws << txtTest;
    return controls;
}
