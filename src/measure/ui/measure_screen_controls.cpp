// The measurement screen's controls: built in one column at the left edge of the picture,
// named for screen readers, kept over the surface as it resizes, and connected to their
// handlers.

#include "app/program_place.h"
#include "measure/ui/line_overlay.h"
#include "measure/ui/measure_screen.h"
#include "measure/ui/track_panel.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "picture/ui/video_menu.h"
#include "picture/ui/video_transport.h"

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

void MeasureScreen::buildControls()
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
    eventLabel = label("eventLabel", QStringLiteral("Slalom"));
    QFont big = eventLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    eventLabel->setFont(big);
    speedLabel = label("speedLabel", QString());
    lineLengthLabel = label("lineLengthLabel", QString());
    row({eventLabel, speedLabel, lineLengthLabel});
    skierLabel = label("skierLabel", QString());
    driverLabel = label("driverLabel", QString());
    boatLabel = label("boatLabel", QString());
    boatModelLabel = label("boatModelLabel", QString());
    // A long name is cut at the column's edge (the whole name is in the tooltip) rather than
    // widening the column over the course.
    for (QLabel* l : {skierLabel, driverLabel, boatLabel, boatModelLabel})
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QGridLayout* people = grid();
    people->setVerticalSpacing(0);
    people->addWidget(skierLabel, 0, 0);
    people->addWidget(driverLabel, 0, 1);
    people->addWidget(boatLabel, 1, 0);
    people->addWidget(boatModelLabel, 1, 1);

    startPassButton = button("startPassButton", QStringLiteral("Start Pass"));
    // Enter on the focused button starts the pass, as Space does.
    startPassButton->setAutoDefault(true);
    startPassButton->setMinimumHeight(startPassButton->sizeHint().height() + 6);
    abortButton = button("abortButton", QStringLiteral("Abort Measurement"));
    abortButton->setMinimumHeight(startPassButton->minimumHeight());
    QHBoxLayout* passButtons = row({startPassButton, abortButton}, false);
    passButtons->setStretch(0, 1);
    mouseStartLabel = label("mouseStartLabel", QStringLiteral("Click Mouse to Start Measuring"));
    layout->addWidget(mouseStartLabel);
    // Shown only while the picture comes from a video file.
    transport = new VideoTransport(video, column);
    layout->addWidget(transport);

    QGridLayout* readouts = grid();
    deviationLabel = label("deviationLabel", QStringLiteral("Deviation from Center:"));
    deviationEdit = readOnly("deviationEdit", kReadoutWidth);
    distanceLabel = label("distanceLabel", QStringLiteral("Distance from start:"));
    distanceEdit = readOnly("distanceEdit", kReadoutWidth);
    sampleLabel = label("sampleLabel", QStringLiteral("Sample:"));
    sampleEdit = readOnly("sampleEdit", kReadoutWidth);
    readouts->addWidget(deviationLabel, 0, 0);
    readouts->addWidget(deviationEdit, 0, 1);
    readouts->addWidget(distanceLabel, 1, 0);
    readouts->addWidget(distanceEdit, 1, 1);
    readouts->addWidget(sampleLabel, 2, 0);
    readouts->addWidget(sampleEdit, 2, 1);
    readouts->setColumnStretch(0, 1);

    buildOptions(layout);

    viewOnlyCheck = check("viewOnlyCheck", QStringLiteral("View Only"));
    thinLineCheck = check("thinLineCheck", QStringLiteral("Check for Thin Line"));
    edgeMarkersCheck = check("edgeMarkersCheck", QStringLiteral("Boat Edge Markers On"));
    pathMarkersCheck = check("pathMarkersCheck", QStringLiteral("Path Boundary Markers on"));
    useMouseCheck = check("useMouseCheck", QStringLiteral("Use Mouse"));
    QGridLayout* checks = grid();
    checks->setVerticalSpacing(0);
    checks->addWidget(viewOnlyCheck, 0, 0);
    checks->addWidget(useMouseCheck, 0, 1);
    checks->addWidget(thinLineCheck, 1, 0, 1, 2);
    checks->addWidget(edgeMarkersCheck, 2, 0, 1, 2);
    checks->addWidget(pathMarkersCheck, 3, 0, 1, 2);

    QGridLayout* entries = grid();
    boatWidthLabel = label("boatWidthLabel", QStringLiteral("Boat Width in meters"));
    boatWidthEdit = box("boatWidthEdit", QStringLiteral("2.2"), kEntryWidth);
    boundaryWidthLabel = label("boundaryWidthLabel", QStringLiteral("Boundary Mark Width"));
    boundaryWidthEdit = box("boundaryWidthEdit", QStringLiteral("1"), kEntryWidth);
    jumpBoundaryLabel = label("jumpBoundaryLabel", QStringLiteral("Jump Boundary Width"));
    jumpBoundaryEdit = box("jumpBoundaryEdit", QStringLiteral("0.5"), kEntryWidth);
    entries->addWidget(boatWidthLabel, 0, 0);
    entries->addWidget(boatWidthEdit, 0, 1);
    entries->addWidget(boundaryWidthLabel, 1, 0);
    entries->addWidget(boundaryWidthEdit, 1, 1);
    entries->addWidget(jumpBoundaryLabel, 2, 0);
    entries->addWidget(jumpBoundaryEdit, 2, 1);
    entries->setColumnStretch(0, 1);

    // The two colour legends are never shown together: they share a place.
    redGreenLegendLabel =
        label("redGreenLegendLabel", QStringLiteral("Red - Mandatory  Green - Optional"));
    blackYellowLegendLabel =
        label("blackYellowLegendLabel", QStringLiteral("Black - Mandatory  Yellow - Optional"));
    styleLegendLabel =
        label("styleLegendLabel", QStringLiteral("Solid-Mandatory, dashed-Optional"));
    QGridLayout* legends = grid();
    legends->setVerticalSpacing(0);
    legends->addWidget(redGreenLegendLabel, 0, 0);
    legends->addWidget(blackYellowLegendLabel, 0, 0);
    legends->addWidget(styleLegendLabel, 1, 0);

    instructionLabel =
        label("instructionLabel",
              QStringLiteral("Use Arrow keys or a joystick/mouse to position the line at the "
                             "center of the boat (pylon) to record deviation."));
    instructionLabel->setWordWrap(true);
    layout->addWidget(instructionLabel);

    // The status block keeps to the bottom of the column.
    layout->addStretch(1);
    connectJoystickButton = button("connectJoystickButton", QStringLiteral("Connect JoyStick"));
    statusButton = button("statusButton", statusCaption(false));
    row({connectJoystickButton, statusButton});
    joystickStatusLabel = label("joystickStatusLabel", QString());
    joystickXLabel = label("joystickXLabel", QString());
    joystickYLabel = label("joystickYLabel", QString());
    row({joystickStatusLabel, joystickXLabel, joystickYLabel});
    // The pass's figures, each with a caption saying what it is, as an official reads them
    // (their boxes are fitted to their text below).
    startTimeEdit = readOnly("startTimeEdit", kReadoutWidth);
    endTimeEdit = readOnly("endTimeEdit", kReadoutWidth);
    sampleCountEdit = readOnly("sampleCountEdit", kReadoutWidth);
    startTimeLabel = label("startTimeLabel", QStringLiteral("Start"));
    endTimeLabel = label("endTimeLabel", QStringLiteral("End"));
    sampleCountLabel = label("sampleCountLabel", QStringLiteral("Samples"));
    row({startTimeLabel, startTimeEdit, endTimeLabel, endTimeEdit, sampleCountLabel,
         sampleCountEdit});
    timeLabel = label("timeLabel", QStringLiteral("Time"));
    doneLabel = label("doneLabel", QStringLiteral("Done"));
    // The engine's counters tell a technician how the timers kept time; to an official they
    // are unexplained numbers over the picture, so they show only with --diagnostics. No
    // count ever goes into countEdit: it never shows.
    inputTicksEdit = readOnly("inputTicksEdit", kReadoutWidth);
    sampleTicksEdit = readOnly("sampleTicksEdit", kReadoutWidth);
    markRedrawsEdit = readOnly("markRedrawsEdit", kReadoutWidth);
    countEdit = readOnly("countEdit", kReadoutWidth);
    ticksLabel = label("ticksLabel", QStringLiteral("Ticks"));
    redrawsLabel = label("redrawsLabel", QStringLiteral("Redraws"));
    const std::initializer_list<QWidget*> counters{ticksLabel, inputTicksEdit, sampleTicksEdit,
                                                   redrawsLabel, markRedrawsEdit};
    if (diagnostics) {
        row({timeLabel, doneLabel, ticksLabel, inputTicksEdit, sampleTicksEdit, redrawsLabel,
             markRedrawsEdit});
    } else {
        row({timeLabel, doneLabel});
        for (QWidget* w : counters)
            w->hide();
    }
    countEdit->hide();

    // Secondary texts in smaller type, so that the whole column fits a 768-pixel screen.
    for (QWidget* w : std::initializer_list<QWidget*>{skierLabel,
                                                      driverLabel,
                                                      boatLabel,
                                                      boatModelLabel,
                                                      mouseStartLabel,
                                                      redGreenLegendLabel,
                                                      blackYellowLegendLabel,
                                                      styleLegendLabel,
                                                      instructionLabel,
                                                      joystickXLabel,
                                                      joystickYLabel,
                                                      joystickStatusLabel,
                                                      timeLabel,
                                                      doneLabel,
                                                      startTimeEdit,
                                                      endTimeEdit,
                                                      sampleCountEdit,
                                                      countEdit,
                                                      inputTicksEdit,
                                                      sampleTicksEdit,
                                                      markRedrawsEdit,
                                                      startTimeLabel,
                                                      endTimeLabel,
                                                      sampleCountLabel,
                                                      ticksLabel,
                                                      redrawsLabel})
        smallType(w);
    // The figures' boxes as wide as their widest text in that type, so that a row of captions
    // and boxes fits the column.
    for (QLineEdit* time : {startTimeEdit, endTimeEdit})
        time->setFixedWidth(time->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) +
                            kBoxPadding);
    for (QLineEdit* count :
         {sampleCountEdit, countEdit, inputTicksEdit, sampleTicksEdit, markRedrawsEdit})
        count->setFixedWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000")) +
                             kBoxPadding);

    controlColumn->keepPlacesWhenHidden();

    startTimeEdit->setToolTip(QStringLiteral("Start of the pass"));
    endTimeEdit->setToolTip(QStringLiteral("End of the pass"));
    sampleCountEdit->setToolTip(QStringLiteral("Samples of the finished pass"));
    inputTicksEdit->setToolTip(QStringLiteral("Input ticks of the pass"));
    sampleTicksEdit->setToolTip(QStringLiteral("Sample ticks of the pass"));
    markRedrawsEdit->setToolTip(QStringLiteral("Redraws of the buoy and course marks"));
    timeLabel->setToolTip(QStringLiteral("Samples taken when the pass time ran out"));
    nameInputs();

    returnToStartAction = menuBar()->addAction(QStringLiteral("&Return to Start"));
    returnToStartAction->setObjectName(QStringLiteral("returnToStartAction"));
    exitProgramAction = menuBar()->addAction(QStringLiteral("E&xit Program"));
    exitProgramAction->setObjectName(QStringLiteral("exitProgramAction"));
    new VideoMenu(menuBar(), video, services.fileDialog, place.folder);
    if (services.tracking)
        trackPanel = new TrackPanel(
            {model_, video, *surface, *column, *transport, services.messages, services.fileDialog},
            *services.tracking, menuBar(), this);
    transport->installShortcuts(this);

    connect(startPassButton, &QPushButton::clicked, this, &MeasureScreen::startPass);
    connect(abortButton, &QPushButton::clicked, this, &MeasureScreen::abortPass);
    connect(connectJoystickButton, &QPushButton::clicked, this, &MeasureScreen::connectJoystick);
    connect(statusButton, &QPushButton::clicked, this, &MeasureScreen::toggleStatusIndicators);
    connect(useMouseCheck, &QCheckBox::toggled, this, &MeasureScreen::switchMouseMode);
    connect(edgeMarkersCheck, &QCheckBox::toggled, this, &MeasureScreen::switchEdgeMarkers);
    connect(pathMarkersCheck, &QCheckBox::toggled, this, &MeasureScreen::switchPathMarkers);
    connect(thinLineCheck, &QCheckBox::toggled, this, &MeasureScreen::switchThinLine);
    connect(viewOnlyCheck, &QCheckBox::toggled, this, &MeasureScreen::switchViewOnly);
    connect(boundaryWidthEdit, &QLineEdit::textEdited, this, &MeasureScreen::boundaryWidthEdited);
    connect(boundaryWidthEdit, &QLineEdit::editingFinished, this,
            &MeasureScreen::boundaryWidthFinished);
    connect(jumpBoundaryEdit, &QLineEdit::textEdited, this, &MeasureScreen::jumpBoundaryEdited);
    connect(jumpBoundaryEdit, &QLineEdit::editingFinished, this,
            &MeasureScreen::jumpBoundaryFinished);
    connect(boatWidthEdit, &QLineEdit::textChanged, this, &MeasureScreen::boatWidthEdited);
    connect(surface, &DrawingSurface::mouseMoved, this, &MeasureScreen::followPointer);
    connect(surface, &DrawingSurface::mousePressed, this, &MeasureScreen::clickPicture);
    connect(returnToStartAction, &QAction::triggered, this, &MeasureScreen::returnToStart);
    connect(exitProgramAction, &QAction::triggered, this, &MeasureScreen::exitProgram);
}

void MeasureScreen::buildOptions(QVBoxLayout* rows)
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

    lineColourGroup = frame("lineColourGroup", QStringLiteral("Line Color"));
    whiteLineOption = option(lineColourGroup, "whiteLineOption", QStringLiteral("White"), 0);
    blackLineOption = option(lineColourGroup, "blackLineOption", QStringLiteral("Black"), 1);
    yellowLineOption = option(lineColourGroup, "yellowLineOption", QStringLiteral("Yellow"), 2);
    whiteLineOption->setChecked(true);
    lineStyleGroup = frame("lineStyleGroup", QStringLiteral("Line Style"));
    solidLineOption = option(lineStyleGroup, "solidLineOption", QStringLiteral("Solid"), 0);
    dashLineOption = option(lineStyleGroup, "dashLineOption", QStringLiteral("Dash"), 1);
    dotLineOption = option(lineStyleGroup, "dotLineOption", QStringLiteral("Dot"), 2);
    solidLineOption->setChecked(true);
    boundaryColourGroup = frame("boundaryColourGroup", QStringLiteral("Boundary"));
    whiteBoundaryOption =
        option(boundaryColourGroup, "whiteBoundaryOption", QStringLiteral("White"), 0);
    blackBoundaryOption =
        option(boundaryColourGroup, "blackBoundaryOption", QStringLiteral("Black"), 1);
    yellowBoundaryOption =
        option(boundaryColourGroup, "yellowBoundaryOption", QStringLiteral("Yellow"), 2);
    redBoundaryOption = option(boundaryColourGroup, "redBoundaryOption", QStringLiteral("Red"), 3);
    blueBoundaryOption =
        option(boundaryColourGroup, "blueBoundaryOption", QStringLiteral("Blue"), 0, 1);
    redGreenBoundaryOption =
        option(boundaryColourGroup, "redGreenBoundaryOption", QStringLiteral("R/G"), 1, 1);
    blackYellowBoundaryOption =
        option(boundaryColourGroup, "blackYellowBoundaryOption", QStringLiteral("Bk/Y"), 2, 1);
    whiteBoundaryOption->setChecked(true);
    jumpPathGroup = frame("jumpPathGroup", QStringLiteral("Path"));
    narrowPathOption = option(jumpPathGroup, "narrowPathOption", QStringLiteral("Narrow"), 0);
    narrowSplitPathOption =
        option(jumpPathGroup, "narrowSplitPathOption", QStringLiteral("Narr Split"), 1);
    splitPathOption = option(jumpPathGroup, "splitPathOption", QStringLiteral("Split"), 2);
    wideSplitPathOption =
        option(jumpPathGroup, "wideSplitPathOption", QStringLiteral("Wide Spl"), 3);
    widePathOption = option(jumpPathGroup, "widePathOption", QStringLiteral("Wide"), 4);
    splitPathOption->setChecked(true);
    // The line's colour and style side by side; under them the boundary colours in two
    // columns beside the jump paths (shown only when monitoring a jump).
    auto* lineOptions = new QHBoxLayout;
    lineOptions->setSpacing(ControlColumn::kColumnGap);
    lineOptions->addWidget(lineColourGroup, 1);
    lineOptions->addWidget(lineStyleGroup, 1);
    rows->addLayout(lineOptions);
    auto* boundaryOptions = new QHBoxLayout;
    boundaryOptions->setSpacing(ControlColumn::kColumnGap);
    boundaryOptions->addWidget(boundaryColourGroup, 0, Qt::AlignTop);
    boundaryOptions->addWidget(jumpPathGroup, 1, Qt::AlignTop);
    rows->addLayout(boundaryOptions);

    MeasureModel& m = model_;
    onSelect(whiteLineOption, [&m] { m.setLineColour(LineColour::White); });
    onSelect(blackLineOption, [&m] { m.setLineColour(LineColour::Black); });
    onSelect(yellowLineOption, [&m] { m.setLineColour(LineColour::Yellow); });
    onSelect(solidLineOption, [&m] { m.setLineStyle(LineStyle::Solid); });
    onSelect(dashLineOption, [&m] { m.setLineStyle(LineStyle::Dash); });
    onSelect(dotLineOption, [&m] { m.setLineStyle(LineStyle::Dot); });
    onSelect(whiteBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::White); });
    onSelect(blackBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::Black); });
    onSelect(yellowBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::Yellow); });
    onSelect(redBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::Red); });
    onSelect(blueBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::Blue); });
    onSelect(redGreenBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::RedGreen); });
    onSelect(blackYellowBoundaryOption, [&m] { m.setBoundaryColour(BoundaryColour::BlackYellow); });
    onSelect(narrowPathOption, [&m] { m.setJumpPath(JumpPath::Narrow); });
    onSelect(narrowSplitPathOption, [&m] { m.setJumpPath(JumpPath::NarrowSplit); });
    onSelect(splitPathOption, [&m] { m.setJumpPath(JumpPath::Split); });
    onSelect(wideSplitPathOption, [&m] { m.setJumpPath(JumpPath::WideSplit); });
    onSelect(widePathOption, [&m] { m.setJumpPath(JumpPath::Wide); });
}

void MeasureScreen::swallowArrowKeys()
{
    // The arrow keys move the measurement line. Left to the controls they would also move
    // the focus and change the selected options; only a text box being edited keeps them.
    for (QWidget* w : surface->findChildren<QWidget*>())
        if (!qobject_cast<QLineEdit*>(w))
            w->installEventFilter(this);
}

void MeasureScreen::nameInputs()
{
    for (QAbstractButton* b : column->findChildren<QAbstractButton*>())
        if (!transport->isAncestorOf(b)) // it names its own: the play caption flips
            nameForAccess(b, b->text());
    const std::pair<QLineEdit*, QString> boxes[] = {
        {deviationEdit, deviationLabel->text()},
        {distanceEdit, distanceLabel->text()},
        {sampleEdit, sampleLabel->text()},
        {boatWidthEdit, boatWidthLabel->text()},
        {boundaryWidthEdit, boundaryWidthLabel->text()},
        {jumpBoundaryEdit, jumpBoundaryLabel->text()},
        {startTimeEdit, startTimeEdit->toolTip()},
        {endTimeEdit, endTimeEdit->toolTip()},
        {sampleCountEdit, sampleCountEdit->toolTip()},
        {countEdit, QStringLiteral("Count")},
        {inputTicksEdit, inputTicksEdit->toolTip()},
        {sampleTicksEdit, sampleTicksEdit->toolTip()},
        {markRedrawsEdit, markRedrawsEdit->toolTip()},
    };
    for (const auto& [box, caption] : boxes) {
        QString name = caption;
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        nameForAccess(box, name);
    }
}

bool MeasureScreen::eventFilter(QObject* watched, QEvent* event)
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

QList<QWidget*> MeasureScreen::statusControls() const
{
    QList<QWidget*> controls{instructionLabel,    lineColourGroup,  lineStyleGroup,
                             boundaryColourGroup, timeLabel,        doneLabel,
                             startTimeEdit,       endTimeEdit,      sampleCountEdit,
                             joystickStatusLabel, joystickXLabel,   viewOnlyCheck,
                             thinLineCheck,       edgeMarkersCheck, pathMarkersCheck,
                             startTimeLabel,      endTimeLabel,     sampleCountLabel};
    // The counters come and go with the rest only where they show at all; countEdit never does.
    if (diagnostics)
        controls << ticksLabel << inputTicksEdit << sampleTicksEdit << redrawsLabel
                 << markRedrawsEdit;
    return controls;
}
