#include "measure/ui/measure.h"

#include "app/ui/drawing_surface.h"
#include "app/ui/form1.h"
#include "app/ui/screen_layout.h"
#include "app/ui/screens.h"
#include "common/global.h"
#include "common/twips.h"
#include "measure/ui/line_overlay.h"
#include "platform/joystick.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "results/ui/results.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString kHideStatus = QStringLiteral("Hide Status Indicators");
const QString kShowStatus = QStringLiteral("Show Status Indicators");

// Controls stand over the live picture: give them their own background so they read.
template <typename W> W* solid(W* widget)
{
    widget->setAutoFillBackground(true);
    return widget;
}

bool isArrowKey(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

void setTextIfChanged(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void setShown(QWidget* w, bool shown)
{
    if (w->isHidden() == shown)
        w->setVisible(shown);
}

// The right-hand panel and the strip under the picture (the video picture fills the top
// left 640 x 480 pixels).
constexpr int kPanelX = 9900;
constexpr int kStripY = 7500;

} // namespace

Measure::Measure(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Measure Boat Path Deviation"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());

    Platform& p = screens.platform();
    model_ = std::make_unique<MeasureModel>(
        MeasureModel::Services{screens.global(), p.clock, p.keys, p.joystick, p.timers,
                               [&screens] { return screens.form1().runInfo(); }, *this});
    buildControls();
    swallowArrowKeys();
    model_->Form_Load();
    showModel();
}

Measure::~Measure() = default;

void Measure::buildControls()
{
    surface = new DrawingSurface(this);
    setCentralWidget(surface);
    surface->showPictureOf(screens.coursePicture());
    // The lines go first so that every control stands above them.
    lineOverlay = new LineOverlay(surface);
    surface->installEventFilter(this); // the lines cover the whole surface

    auto label = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        QLabel* l = solid(named(new QLabel(text, surface), name));
        place(l, x, y, w, h);
        return l;
    };
    auto box = [this](const char* name, const QString& text, int x, int y, int w) {
        QLineEdit* e = named(new QLineEdit(text, surface), name);
        place(e, x, y, w, 360);
        return e;
    };
    auto readOnly = [&box](const char* name, int x, int y, int w) {
        QLineEdit* e = box(name, QString(), x, y, w);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        return e;
    };
    auto check = [this](const char* name, const QString& text, int x, int y) {
        QCheckBox* c = solid(named(new QCheckBox(text, surface), name));
        place(c, x, y, 3600, 300);
        return c;
    };
    auto button = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        QPushButton* b = named(new QPushButton(text, surface), name);
        place(b, x, y, w, h);
        return b;
    };

    const int x = kPanelX;
    Label9 = label("Label9", QStringLiteral("Slalom"), x, 150, 1500, 330);
    QFont big = Label9->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    Label9->setFont(big);
    lblSpeed = label("lblSpeed", QString(), x + 1650, 150, 900, 330);
    lblLine = label("lblLine", QString(), x + 2700, 150, 900, 330);
    lblSkier = label("lblSkier", QString(), x, 600, 4200, 270);
    lblDriver = label("lblDriver", QString(), x, 900, 4200, 270);
    lblBoat = label("lblBoat", QString(), x, 1200, 4200, 270);
    lblModel = label("lblModel", QString(), x, 1500, 4200, 270);

    Command1 = button("Command1", QStringLiteral("Start Pass"), x, 1950, 2100, 600);
    // Enter on the focused button starts the pass, as Space does.
    Command1->setAutoDefault(true);
    btnAbort = button("btnAbort", QStringLiteral("Abort Measurement"), x + 2250, 1950, 2400, 600);
    Label11 =
        label("Label11", QStringLiteral("Click Mouse to Start Measuring"), x, 2640, 4650, 300);

    Label1 = label("Label1", QStringLiteral("Deviation from Center:"), x, 3060, 2400, 300);
    txtDeviation = readOnly("txtDeviation", x + 2550, 3030, 1200);
    Label2 = label("Label2", QStringLiteral("Distance from start:"), x, 3450, 2400, 300);
    txtDistance = readOnly("txtDistance", x + 2550, 3420, 1200);
    Label4 = label("Label4", QStringLiteral("Sample:"), x, 3840, 2400, 300);
    txtSample = readOnly("txtSample", x + 2550, 3810, 1200);

    buildOptions();

    chkViewOnly = check("chkViewOnly", QStringLiteral("View Only"), x, 7350);
    chkThinLine = check("chkThinLine", QStringLiteral("Check for Thin Line"), x, 7680);
    chkEdgeOn = check("chkEdgeOn", QStringLiteral("Boat Edge Markers On"), x, 8010);
    cbPath = check("cbPath", QStringLiteral("Path Boundary Markers on"), x, 8340);
    chkUseMouse = check("chkUseMouse", QStringLiteral("Use Mouse"), x, 8670);

    Label6 = label("Label6", QStringLiteral("Boat Width in meters"), x, 9090, 2400, 300);
    txtBoatWidth = box("txtBoatWidth", QStringLiteral("2.2"), x + 2550, 9060, 900);
    Label8 = label("Label8", QStringLiteral("Boundary Mark Width"), x, 9480, 2400, 300);
    txtBoundryWidth = box("txtBoundryWidth", QStringLiteral("1"), x + 2550, 9450, 900);
    Label10 = label("Label10", QStringLiteral("Jump Boundary Width"), x, 9870, 2400, 300);
    txtJumpBoundry = box("txtJumpBoundry", QStringLiteral("0.5"), x + 2550, 9840, 900);

    Label12 =
        label("Label12", QStringLiteral("Red - Mandatory  Green - Optional"), x, 10320, 4650, 300);
    Label13 = label("Label13", QStringLiteral("Black - Mandatory  Yellow - Optional"), x, 10650,
                    4650, 300);
    Label14 =
        label("Label14", QStringLiteral("Solid-Mandatory, dashed-Optional"), x, 10980, 4650, 300);

    cmdJoy = button("cmdJoy", QStringLiteral("Connect JoyStick"), x, 11460, 2100, 420);
    status = label("status", QString(), x + 2250, 11520, 5000, 300);
    Labelx = label("Labelx", QString(), x, 12000, 1500, 300);
    Labely = label("Labely", QString(), x + 1650, 12000, 1500, 300);
    cmdStatus = button("cmdStatus", kHideStatus, x, 12480, 3000, 420);

    // Under the picture.
    Label5 = label("Label5",
                   QStringLiteral("Use Arrow keys or a joystick/mouse to position the line at the "
                                  "center of the boat (pylon) to record deviation."),
                   150, kStripY, 9300, 600);
    Label5->setWordWrap(true);
    Label3 = label("Label3", QStringLiteral("Time"), 150, kStripY + 750, 1200, 300);
    Label7 = label("Label7", QStringLiteral("Done"), 1500, kStripY + 750, 1200, 300);
    Text2 = readOnly("Text2", 150, kStripY + 1140, 1500);
    Text3 = readOnly("Text3", 1800, kStripY + 1140, 1500);
    txtStep = readOnly("txtStep", 3450, kStripY + 1140, 900);
    txtCount = readOnly("txtCount", 4500, kStripY + 1140, 900);
    txtCount1 = readOnly("txtCount1", 5550, kStripY + 1140, 900);
    txtCount2 = readOnly("txtCount2", 6600, kStripY + 1140, 900);
    txtTest = readOnly("txtTest", 7650, kStripY + 1140, 900);

    mnuStart = menuBar()->addAction(QStringLiteral("&Return to Start"));
    mnuStart->setObjectName(QStringLiteral("mnuStart"));
    mnuExit = menuBar()->addAction(QStringLiteral("E&xit Program"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

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

void Measure::buildOptions()
{
    auto frame = [this](const char* name, const QString& title, int x, int y, int w, int h) {
        QGroupBox* f = solid(named(new QGroupBox(title, surface), name));
        place(f, x, y, w, h);
        return f;
    };
    auto option = [](QGroupBox* f, const char* name, const QString& text, int row) {
        QRadioButton* r = named(new QRadioButton(text, f), name);
        place(r, 90, 300 + row * 300, 1500, 300);
        return r;
    };
    // Each option acts when it becomes the selected one, by click or by code.
    auto onSelect = [this](QRadioButton* r, auto action) {
        connect(r, &QRadioButton::toggled, this, [action](bool on) {
            if (on)
                action();
        });
    };

    const int y = 4350;
    Frame1 = frame("Frame1", QStringLiteral("Line Color"), kPanelX, y, 1500, 1260);
    optWhite = option(Frame1, "optWhite", QStringLiteral("White"), 0);
    optBlack = option(Frame1, "optBlack", QStringLiteral("Black"), 1);
    optYellow = option(Frame1, "optYellow", QStringLiteral("Yellow"), 2);
    optWhite->setChecked(true);
    Frame2 = frame("Frame2", QStringLiteral("Line Style"), kPanelX + 1650, y, 1500, 1260);
    optSolid = option(Frame2, "optSolid", QStringLiteral("Solid"), 0);
    optDash = option(Frame2, "optDash", QStringLiteral("Dash"), 1);
    optDot = option(Frame2, "optDot", QStringLiteral("Dot"), 2);
    optSolid->setChecked(true);
    Frame3 = frame("Frame3", QStringLiteral("Boundary"), kPanelX + 3300, y, 1500, 2460);
    optBWhite = option(Frame3, "optBWhite", QStringLiteral("White"), 0);
    optBBlack = option(Frame3, "optBBlack", QStringLiteral("Black"), 1);
    optBYellow = option(Frame3, "optBYellow", QStringLiteral("Yellow"), 2);
    optBRed = option(Frame3, "optBRed", QStringLiteral("Red"), 3);
    optBBlue = option(Frame3, "optBBlue", QStringLiteral("Blue"), 4);
    OptRG = option(Frame3, "OptRG", QStringLiteral("R/G"), 5);
    OptBY = option(Frame3, "OptBY", QStringLiteral("Bk/Y"), 6);
    optBWhite->setChecked(true);
    frmJumpPath = frame("frmJumpPath", QStringLiteral("Path"), kPanelX + 4950, y, 1500, 1860);
    optjnarrow = option(frmJumpPath, "optjnarrow", QStringLiteral("Narrow"), 0);
    optjnarrowsplit = option(frmJumpPath, "optjnarrowsplit", QStringLiteral("Narr Split"), 1);
    optjsplit = option(frmJumpPath, "optjsplit", QStringLiteral("Split"), 2);
    optjwidesplit = option(frmJumpPath, "optjwidesplit", QStringLiteral("Wide Spl"), 3);
    optjwide = option(frmJumpPath, "optjwide", QStringLiteral("Wide"), 4);
    optjsplit->setChecked(true);

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

bool Measure::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == surface && event->type() == QEvent::Resize)
        lineOverlay->setGeometry(surface->rect());
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (isArrowKey(static_cast<QKeyEvent*>(event)->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QList<QWidget*> Measure::statusControls() const
{
    return {Label5, Frame1,      Frame2,      Frame3,    Label3,    Label7, Text2,
            Text3,  txtStep,     txtCount,    txtCount1, txtCount2, status, txtTest,
            Labelx, chkViewOnly, chkThinLine, chkEdgeOn, cbPath};
}

void Measure::showModel()
{
    const MeasureModel& m = *model_;
    const MeasureView& v = m.view();
    lineOverlay->setLines(m.lines());
    setTextIfChanged(txtDeviation, v.txtDeviation);
    setTextIfChanged(txtSample, v.txtSample);
    setTextIfChanged(txtDistance, v.txtDistance);
    setTextIfChanged(Text2, v.Text2);
    setTextIfChanged(Text3, v.Text3);
    setTextIfChanged(txtStep, v.txtStep);
    setTextIfChanged(txtCount1, v.txtCount1);
    setTextIfChanged(txtCount2, v.txtCount2);
    setTextIfChanged(txtTest, v.txtTest);
    setTextIfChanged(Label3, v.Label3);
    setTextIfChanged(status, v.status);
    setTextIfChanged(Labelx, v.Labelx);
    setTextIfChanged(Labely, v.Labely);
    setTextIfChanged(lblSpeed, v.lblSpeed);
    setTextIfChanged(lblLine, v.lblLine);
    setTextIfChanged(lblDriver, v.lblDriver);
    setTextIfChanged(lblBoat, v.lblBoat);
    setTextIfChanged(lblSkier, v.lblSkier);
    setTextIfChanged(lblModel, v.lblModel);
    setTextIfChanged(Label9, v.Label9);
    setShown(Label3, v.Label3Visible);
    setShown(Label7, v.Label7Visible);
    setShown(lblLine, v.lblLineVisible);
    setShown(Label10, v.jumpBoundaryVisible);
    setShown(txtJumpBoundry, v.jumpBoundaryVisible);
    setShown(frmJumpPath, v.frmJumpPathVisible);
    setShown(Label11, v.Label11Visible);
    setShown(Label12, v.Label12Visible);
    setShown(Label13, v.Label13Visible);
    setShown(Label14, v.Label14Visible);
}

QString Measure::speedLabel() const
{
    return lblSpeed->text();
}

QString Measure::lineLabel() const
{
    return lblLine->text();
}

void Measure::setLineLabel(const QString& text)
{
    model_->setLineLabel(text);
    setTextIfChanged(lblLine, text);
}

void Measure::measureChanged()
{
    showModel();
}

void Measure::drawMarks(const OverlayShapes& shapes)
{
    for (const OverlayShapes& drawn : marksOnLayer)
        if (drawn == shapes)
            return;
    surface->draw(shapes);
    marksOnLayer.push_back(shapes);
}

void Measure::clearMarks()
{
    surface->clearDrawing();
    marksOnLayer.clear();
}

void Measure::focusStartButton()
{
    Command1->setFocus();
}

void Measure::passRecorded()
{
    hide();
    Results& r = screens.results();
    r.Form_Load();
    Screens::bringUp(r);
}

void Measure::setDirection(Direction direction)
{
    screens.form1().setDirection(direction);
}

void Measure::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    // Marks of an earlier calibration must not survive on the retained layer.
    clearMarks();
    model_->Form_Activate();
}

void Measure::Command1_Click()
{
    model_->Command1_Click();
}

void Measure::btnAbort_Click()
{
    model_->stopPass();
    hide();
    screens.form1().showAgain();
}

void Measure::mnuStart_Click()
{
    // A pass left running behind the start screen would pop up the results on its own.
    btnAbort_Click();
}

void Measure::mnuExit_Click()
{
    screens.endProgram();
}

void Measure::cmdJoy_Click()
{
    if (model_->connectJoystick() != kJoyNoError)
        screens.platform().messages.plain(QStringLiteral("Couldn't Detect the Joystick."));
}

void Measure::cmdStatus_Click()
{
    const bool hide = cmdStatus->text() == kHideStatus;
    for (QWidget* w : statusControls())
        setShown(w, !hide);
    model_->setStatusHidden(hide);
    cmdStatus->setText(hide ? kShowStatus : kHideStatus);
}

void Measure::chkUseMouse_Click(bool checked)
{
    model_->setUseMouse(checked);
}

void Measure::chkEdgeOn_Click(bool checked)
{
    if (checked)
        screens.platform().messages.plain(
            QStringLiteral("Please use caution when using the edge lines.") +
            QStringLiteral("  If the boat is turned or angled, using the ") +
            QStringLiteral("edge markers alone may lead to inaccurate results.") +
            QStringLiteral("  Be sure the center line is as close as possible ") +
            QStringLiteral("to the pylon position."));
    model_->setEdgeMarkers(checked);
}

void Measure::cbPath_Click(bool checked)
{
    model_->setPathMarkers(checked);
}

void Measure::chkThinLine_Click(bool checked)
{
    model_->setThinLine(checked);
}

void Measure::chkViewOnly_Click(bool checked)
{
    model_->setViewOnly(checked);
}

void Measure::txtBoundryWidth_Change(const QString& text)
{
    model_->boundaryWidthEdited(text);
}

void Measure::txtBoundryWidth_Finished()
{
    if (const auto replacement = model_->boundaryWidthFinished(txtBoundryWidth->text()))
        txtBoundryWidth->setText(*replacement);
}

void Measure::txtJumpBoundry_Change(const QString& text)
{
    model_->jumpBoundaryEdited(text);
}

void Measure::txtJumpBoundry_Finished()
{
    if (const auto replacement = model_->jumpBoundaryFinished(txtJumpBoundry->text()))
        txtJumpBoundry->setText(*replacement);
}

void Measure::txtBoatWidth_Change(const QString& text)
{
    model_->setBoatWidthText(text);
}

void Measure::Form_MouseMove(Qt::MouseButtons, double xTwips, double)
{
    model_->mouseMoved(xTwips);
}

void Measure::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double, double)
{
    model_->mouseDown();
}

void Measure::closeEvent(QCloseEvent* event)
{
    event->accept();
    screens.endProgram();
}
