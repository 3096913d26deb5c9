#include "calibration/ui/grid_setup.h"

#include "app/run_particulars.h"
#include "app/ui/course_picture.h"
#include "app/ui/drawing_surface.h"
#include "app/ui/navigator.h"
#include "app/ui/screen_layout.h"
#include "calibration/geometry_checks.h"
#include "calibration/grid_slots.h"
#include "calibration/screen_activation.h"
#include "calibration/setup_completion.h"
#include "calibration/setup_file.h"
#include "common/number_forms.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "common/twips.h"
#include "course_display/background_picture.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/ui/picture_source.h"
#include "platform/platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

namespace {

const QString kIncompletePicture = QStringLiteral("msgbox03.ico");
const QString kCompletePicture = QStringLiteral("face02.ico");
const QString kLoadFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
const QString kSaveFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
constexpr int kParameterFilesEntry = 3;
const QString kInvalidPathMessage = QStringLiteral("Invalid path, change in configuration screen");
const QString kLeaveIncompleteQuestion =
    QStringLiteral("Do you want to leave the grid setup with the grid setup not complete?");
const QString kGridSetupErrorTitle = QStringLiteral("Grid Setup Error");
const QString kScreenTitle = QStringLiteral("Grid Setup");

// Sizes and fixed positions of the controls, in twips.
constexpr double kBoxWidth = 900;
constexpr double kBoxHeight = 300;
constexpr double kRowTop[] = {120, 480, 960, 1320, 1800}; // screen, survey, screen, survey, jump

// Screen readers announce a control by its accessible name; each input gets one from the
// caption the operator sees beside it.
template <typename T> T* spoken(T* widget, const QString& name)
{
    widget->setAccessibleName(name);
    return widget;
}

void blackLabel(QLabel* label)
{
    label->setAutoFillBackground(true);
    label->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
}

} // namespace

Grid_Setup::Grid_Setup(Navigator& navigator, Platform& platform, const ProgramPlace& place,
                       const RunParticulars& run, Calibration& calibration, GridSlots& slots,
                       DisplaySettings& display, CoursePicture& coursePicture)
    : navigator(navigator), platform(platform), programPlace(place), run(run),
      calibration(calibration), slots(slots), display(display), coursePicture(coursePicture)
{
    setObjectName(QStringLiteral("Grid_Setup"));
    setWindowTitle(kScreenTitle);
    buildControls();
    load();
    drawingSurface->showPictureOf(coursePicture);
}

void Grid_Setup::buildControls()
{
    gridLoad = menuBar()->addAction(QStringLiteral("&Load Setup Data File"));
    gridLoad->setObjectName(QStringLiteral("gridLoad"));
    gridSave = menuBar()->addAction(QStringLiteral("&Save Data Setup File"));
    gridSave->setObjectName(QStringLiteral("gridSave"));
    mnuSetupPicture = menuBar()->addMenu(QStringLiteral("Setup &Picture"));
    mnuSetupPicture->setObjectName(QStringLiteral("mnuSetupPicture"));
    mnuLoadPicture = mnuSetupPicture->addAction(QStringLiteral("Load &Picture"));
    mnuLoadPicture->setObjectName(QStringLiteral("mnuLoadPicture"));
    mnuClearPicture = mnuSetupPicture->addAction(QStringLiteral("&Clear Picture"));
    mnuClearPicture->setObjectName(QStringLiteral("mnuClearPicture"));
    mnuPaste = mnuSetupPicture->addAction(QStringLiteral("P&aste Picture from Clipboard"));
    mnuPaste->setObjectName(QStringLiteral("mnuPaste"));
    gridExit = menuBar()->addAction(QStringLiteral("E&xit"));
    gridExit->setObjectName(QStringLiteral("gridExit"));

    drawingSurface = new DrawingSurface(this);
    setCentralWidget(drawingSurface);
    QWidget* s = drawingSurface;

    fmGateBuoySelection =
        named(new QGroupBox(QStringLiteral("Gate Buoy Selection"), s), "fmGateBuoySelection");
    fmGateBuoySelection->setAutoFillBackground(true);
    upper_left_button = named(new QRadioButton(QStringLiteral("upper left"), fmGateBuoySelection),
                              "upper_left_button");
    upper_right_button = named(new QRadioButton(QStringLiteral("upper right"), fmGateBuoySelection),
                               "upper_right_button");
    lower_left_button = named(new QRadioButton(QStringLiteral("lower left"), fmGateBuoySelection),
                              "lower_left_button");
    lower_right_button = named(new QRadioButton(QStringLiteral("lower right"), fmGateBuoySelection),
                               "lower_right_button");
    place(upper_left_button, 120, 300, 1600, 300);
    place(upper_right_button, 1860, 300, 1600, 300);
    place(lower_left_button, 120, 660, 1600, 300);
    place(lower_right_button, 1860, 660, 1600, 300);
    buoyButtons = new QButtonGroup(this);
    for (QRadioButton* b :
         {upper_left_button, upper_right_button, lower_left_button, lower_right_button}) {
        buoyButtons->addButton(b);
        spoken(b, b->text());
    }

    auto caption = [s](const QString& text, const char* name) {
        auto* l = new QLabel(text, s);
        // The right-hand captions have 64 pixels between the display's edge rules.
        QFont small = l->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        l->setFont(small);
        if (name)
            l->setObjectName(QString::fromLatin1(name));
        blackLabel(l);
        return l;
    };
    auto field = [s](const QString& text, const char* name) {
        auto* e = named(new QLineEdit(text, s), name);
        return e;
    };
    Label1 = caption(QStringLiteral("screen x,y"), "Label1");
    Label2 = caption(QStringLiteral("survey x,y"), "Label2");
    Label3 = caption(QStringLiteral("screen x,y"), "Label3");
    Label4 = caption(QStringLiteral("survey x,y"), "Label4");
    leftCaptions = {caption(QStringLiteral("screen x,y"), nullptr),
                    caption(QStringLiteral("survey x,y"), nullptr),
                    caption(QStringLiteral("screen x,y"), nullptr),
                    caption(QStringLiteral("survey x,y"), nullptr)};
    jumpCaption = caption(QStringLiteral("jump x,y"), nullptr);

    upper_left_x = field(kUnmarkedText, "upper_left_x");
    upper_left_y = field(kUnmarkedText, "upper_left_y");
    upper_right_x = field(kUnmarkedText, "upper_right_x");
    upper_right_y = field(kUnmarkedText, "upper_right_y");
    lower_left_x = field(kUnmarkedText, "lower_left_x");
    lower_left_y = field(kUnmarkedText, "lower_left_y");
    lower_right_x = field(kUnmarkedText, "lower_right_x");
    lower_right_y = field(kUnmarkedText, "lower_right_y");
    ul_survey_x = field(QStringLiteral("2.5"), "ul_survey_x");
    ul_survey_y = field(QStringLiteral("0"), "ul_survey_y");
    ur_survey_x = field(QStringLiteral("0"), "ur_survey_x");
    ur_survey_y = field(QStringLiteral("0"), "ur_survey_y");
    ll_survey_x = field(QStringLiteral("2.5"), "ll_survey_x");
    ll_survey_y = field(QStringLiteral("-259"), "ll_survey_y");
    lr_survey_x = field(QStringLiteral("0"), "lr_survey_x");
    lr_survey_y = field(QStringLiteral("-259"), "lr_survey_y");
    jump_x = field(QStringLiteral("jump x"), "jump_x");
    jump_y = field(QStringLiteral("jump y"), "jump_y");
    const std::array<std::pair<QLineEdit*, const char*>, 4> tips{
        {{upper_left_x, "upper left buoy"},
         {upper_right_x, "upper right buoy"},
         {lower_left_x, "lower left buoy"},
         {lower_right_x, "lower right buoy"}}};
    for (const auto& [e, tip] : tips)
        e->setToolTip(QString::fromLatin1(tip));
    for (Buoy b : kBuoyVisitOrder)
        for (BoxKind kind :
             {BoxKind::ScreenX, BoxKind::ScreenY, BoxKind::SurveyX, BoxKind::SurveyY})
            spoken(box({kind, b}), boxCaption({kind, b}));
    spoken(jump_x, boxCaption({BoxKind::JumpX}));
    spoken(jump_y, boxCaption({BoxKind::JumpY}));
    for (auto& row : shownScreenTexts)
        row = {kUnmarkedText, kUnmarkedText};

    chkboxGridLock = named(new QCheckBox(QStringLiteral("Lock Grid Buoys"), s), "chkboxGridLock");
    spoken(chkboxGridLock, chkboxGridLock->text());
    chkboxGridLock->setAutoFillBackground(true);
    gridLockedLabel = named(new QLabel(QStringLiteral("GRID LOCKED!"), s), "gridLockedLabel");
    gridLockedLabel->setAlignment(Qt::AlignCenter);
    gridLockedLabel->setStyleSheet(
        QStringLiteral("background-color: white; color: red; font-weight: bold;"));
    grid_state_icon = named(new QLabel(s), "grid_state_icon");
    grid_state_icon->setAlignment(Qt::AlignCenter);
    Load = spoken(named(new QPushButton(QStringLiteral("Complete"), s), "Load"),
                  QStringLiteral("Complete"));
    grid_select = named(new QPushButton(s), "grid_select");
    showGridCaption(gridCaption(1));

    AdjustmentLabel = named(new QLabel(QStringLiteral("Micro-Adjust"), s), "AdjustmentLabel");
    AdjustmentLabel->setAlignment(Qt::AlignCenter);
    auto arrow = [s](Qt::ArrowType type, const char* name) {
        auto* b = named(new QToolButton(s), name);
        b->setArrowType(type);
        return b;
    };
    AdjustUp = spoken(arrow(Qt::UpArrow, "AdjustUp"), QStringLiteral("Micro-Adjust up"));
    AdjustDown = spoken(arrow(Qt::DownArrow, "AdjustDown"), QStringLiteral("Micro-Adjust down"));
    AdjustLeft = spoken(arrow(Qt::LeftArrow, "AdjustLeft"), QStringLiteral("Micro-Adjust left"));
    AdjustRight =
        spoken(arrow(Qt::RightArrow, "AdjustRight"), QStringLiteral("Micro-Adjust right"));

    ipt_file_description = spoken(field(QStringLiteral("No File"), "ipt_file_description"),
                                  QStringLiteral("setup file"));
    ipt_file_description_2 =
        spoken(field(QString(), "ipt_file_description_2"), QStringLiteral("setup description"));
    cmdHide = spoken(named(new QPushButton(QStringLiteral("Hide"), s), "cmdHide"),
                     QStringLiteral("Hide descriptions"));
    CrossSizeLabel = named(new QLabel(QStringLiteral("Cross Size"), s), "CrossSizeLabel");
    CrossSizeLabel->setAlignment(Qt::AlignCenter);
    Setup_Cross_size = spoken(named(new QScrollBar(Qt::Horizontal, s), "Setup_Cross_size"),
                              QStringLiteral("Cross Size"));
    Setup_Cross_size->setRange(CrossSizeScroll::Min, CrossSizeScroll::Max);
    Setup_Cross_size->setSingleStep(CrossSizeScroll::SmallChange);
    Setup_Cross_size->setPageStep(CrossSizeScroll::LargeChange);
    Setup_Cross_size->setValue(CrossSizeScroll::Initial);
    // Dragged with the mouse; the grabbed point stays under the pointer.
    CrossSizeLabel->installEventFilter(this);
    gridLockedLabel->installEventFilter(this);
    CrossSizeLabel->setCursor(Qt::SizeAllCursor);
    gridLockedLabel->setCursor(Qt::SizeAllCursor);

    show_alignment = named(new QPushButton(QStringLiteral("Draw Buoys"), s), "show_alignment");
    btnShowAllBuoys = named(new QPushButton(QStringLiteral("Show Course"), s), "btnShowAllBuoys");

    btnAccuracyCheck = named(new QPushButton(QStringLiteral("Accuracy"), s), "btnAccuracyCheck");
    btnClearAccuracy =
        named(new QPushButton(QStringLiteral("Clear Accuracy Values"), s), "btnClearAccuracy");
    for (QPushButton* b : {show_alignment, btnShowAllBuoys, btnAccuracyCheck, btnClearAccuracy})
        spoken(b, b->text());
    btnClearAccuracy->hide();
    fmAccuracyDisplay = named(new QGroupBox(QStringLiteral("Accuracy "), s), "fmAccuracyDisplay");
    fmAccuracyDisplay->setAutoFillBackground(true);
    optAdvancedAccuracy = named(new QRadioButton(QStringLiteral("Advanced"), fmAccuracyDisplay),
                                "optAdvancedAccuracy");
    optAdvancedAccuracy->setChecked(true);
    // Alone in its frame: an exclusive group keeps a second click from clearing it.
    auto* advancedGroup = new QButtonGroup(this);
    advancedGroup->addButton(optAdvancedAccuracy);
    fmAccuracyConfig = named(new QGroupBox(QStringLiteral("Display"), s), "fmAccuracyConfig");
    fmAccuracyConfig->setAutoFillBackground(true);
    optDisplayDistance =
        named(new QRadioButton(QStringLiteral("Distance"), fmAccuracyConfig), "optDisplayDistance");
    optDetailMeasurement = named(new QRadioButton(QStringLiteral("Detail "), fmAccuracyConfig),
                                 "optDetailMeasurement");
    optHomolgationLevel =
        named(new QRadioButton(QStringLiteral("Hom.Lvl"), fmAccuracyConfig), "optHomolgationLevel");
    optDetailMeasurement->setChecked(true);
    spoken(optAdvancedAccuracy, QStringLiteral("Advanced accuracy"));
    spoken(optDisplayDistance, QStringLiteral("Display distance"));
    spoken(optDetailMeasurement, QStringLiteral("Display detail"));
    spoken(optHomolgationLevel, QStringLiteral("Display homologation level"));
    place(optAdvancedAccuracy, 120, 240, 1600, 300);
    place(optDisplayDistance, 120, 240, 1600, 300);
    place(optDetailMeasurement, 120, 540, 1600, 300);
    place(optHomolgationLevel, 120, 840, 1600, 300);
    for (size_t i = 0; i < AccuracyIndicator.size(); ++i) {
        QLabel* l = new QLabel(s);
        l->setObjectName(QStringLiteral("AccuracyIndicator_%1").arg(i));
        // Black text straight on the picture; clicks go through to the picture beneath,
        // so a buoy under an indicator can still be marked.
        l->setAutoFillBackground(false);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setStyleSheet(QStringLiteral("background: transparent; color: black;"));
        l->hide();
        AccuracyIndicator[i] = l;
    }

    connect(gridLoad, &QAction::triggered, this, &Grid_Setup::gridLoad_Click);
    connect(gridSave, &QAction::triggered, this, &Grid_Setup::gridSave_Click);
    connect(gridExit, &QAction::triggered, this, &Grid_Setup::gridExit_Click);
    connect(Load, &QPushButton::clicked, this, &Grid_Setup::Load_Click);
    connect(grid_select, &QPushButton::clicked, this, &Grid_Setup::grid_select_Click);
    connect(chkboxGridLock, &QCheckBox::clicked, this, &Grid_Setup::chkboxGridLock_Click);
    connect(cmdHide, &QPushButton::clicked, this, &Grid_Setup::cmdHide_Click);
    connect(show_alignment, &QPushButton::clicked, this, &Grid_Setup::show_alignment_Click);
    connect(btnShowAllBuoys, &QPushButton::clicked, this, &Grid_Setup::btnShowAllBuoys_Click);
    connect(btnAccuracyCheck, &QPushButton::clicked, this, &Grid_Setup::btnAccuracyCheck_Click);
    connect(btnClearAccuracy, &QPushButton::clicked, this, &Grid_Setup::btnClearAccuracy_Click);
    connect(optAdvancedAccuracy, &QRadioButton::clicked, this,
            &Grid_Setup::optAdvancedAccuracy_Click);
    connect(mnuLoadPicture, &QAction::triggered, this, &Grid_Setup::mnuLoadPicture_Click);
    connect(mnuClearPicture, &QAction::triggered, this, &Grid_Setup::mnuClearPicture_Click);
    connect(mnuPaste, &QAction::triggered, this, &Grid_Setup::mnuPaste_Click);
    connect(AdjustUp, &QToolButton::clicked, this, &Grid_Setup::AdjustUp_Click);
    connect(AdjustDown, &QToolButton::clicked, this, &Grid_Setup::AdjustDown_Click);
    connect(AdjustLeft, &QToolButton::clicked, this, &Grid_Setup::AdjustLeft_Click);
    connect(AdjustRight, &QToolButton::clicked, this, &Grid_Setup::AdjustRight_Click);
    connect(drawingSurface, &DrawingSurface::mousePressed, this, &Grid_Setup::Form_MouseDown);
    connect(Setup_Cross_size, &QScrollBar::valueChanged, this,
            &Grid_Setup::Setup_Cross_size_Change);

    const std::array<std::pair<QLineEdit*, void (Grid_Setup::*)()>, 18> changes{{
        {upper_left_x, &Grid_Setup::upper_left_x_Change},
        {upper_left_y, &Grid_Setup::upper_left_y_Change},
        {upper_right_x, &Grid_Setup::upper_right_x_Change},
        {upper_right_y, &Grid_Setup::upper_right_y_Change},
        {lower_left_x, &Grid_Setup::lower_left_x_Change},
        {lower_left_y, &Grid_Setup::lower_left_y_Change},
        {lower_right_x, &Grid_Setup::lower_right_x_Change},
        {lower_right_y, &Grid_Setup::lower_right_y_Change},
        {ul_survey_x, &Grid_Setup::ul_survey_x_Change},
        {ul_survey_y, &Grid_Setup::ul_survey_y_Change},
        {ur_survey_x, &Grid_Setup::ur_survey_x_Change},
        {ur_survey_y, &Grid_Setup::ur_survey_y_Change},
        {ll_survey_x, &Grid_Setup::ll_survey_x_Change},
        {ll_survey_y, &Grid_Setup::ll_survey_y_Change},
        {lr_survey_x, &Grid_Setup::lr_survey_x_Change},
        {lr_survey_y, &Grid_Setup::lr_survey_y_Change},
        {jump_x, &Grid_Setup::jump_x_Change},
        {jump_y, &Grid_Setup::jump_y_Change},
    }};
    for (const auto& [edit, handler] : changes)
        connect(edit, &QLineEdit::textChanged, this, handler);
    // A typed mark moves once the operator is done with the box, not on each keystroke.
    for (Buoy b : kBuoyVisitOrder)
        for (BoxKind kind : {BoxKind::ScreenX, BoxKind::ScreenY})
            connect(box({kind, b}), &QLineEdit::editingFinished, this, [this, b, kind] {
                screenBoxEdited({kind, b});
            });
}

void Grid_Setup::load()
{
    slots.current = 1;
    slots.count = 1;
    showGridCaption(gridCaption(1));
    display.crossSize = Setup_Cross_size->value();
    circleRadius_ = crossRadiusFor(Setup_Cross_size->value());
    for (Buoy b : kBuoyVisitOrder)
        calibration.mark(b) = {};
    calibration.complete = false;
    QDir::setCurrent(programPlace.folder);
    showStatePicture(kIncompletePicture);
    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    clearAccuracyIndicators();
    gridLockedLabel->hide();
    blackLabel(AdjustmentLabel);
    blackLabel(CrossSizeLabel);
    placeControls();
}

void Grid_Setup::placeControls()
{
    // Without a window manager (Xvfb) a maximised window keeps its old size unless told.
    const QScreen* display = screen();
    const QRect available = display ? display->availableGeometry() : QRect(0, 0, 1024, 768);
    setGeometry(available);
    setWindowState(windowState() | Qt::WindowMaximized);
    const double W = pixelsToTwips(available.width());
    const double H = pixelsToTwips(available.height());

    // Left buoys at the left edge, right buoys at the right edge, each a screen row over a
    // survey row, upper buoy first.
    for (size_t r = 0; r < 4; ++r)
        place(leftCaptions[r], 120, kRowTop[r], kBoxWidth, kBoxHeight);
    place(jumpCaption, 120, kRowTop[4], kBoxWidth, kBoxHeight);
    const std::array<std::array<QLineEdit*, 2>, 5> leftRows{{{upper_left_x, upper_left_y},
                                                             {ul_survey_x, ul_survey_y},
                                                             {lower_left_x, lower_left_y},
                                                             {ll_survey_x, ll_survey_y},
                                                             {jump_x, jump_y}}};
    for (size_t r = 0; r < leftRows.size(); ++r) {
        place(leftRows[r][0], 1080, kRowTop[r], kBoxWidth, kBoxHeight);
        place(leftRows[r][1], 2040, kRowTop[r], kBoxWidth, kBoxHeight);
    }
    const std::array<QLabel*, 4> rightCaptions{Label1, Label2, Label3, Label4};
    const std::array<std::array<QLineEdit*, 2>, 4> rightRows{{{upper_right_x, upper_right_y},
                                                              {ur_survey_x, ur_survey_y},
                                                              {lower_right_x, lower_right_y},
                                                              {lr_survey_x, lr_survey_y}}};
    for (size_t r = 0; r < 4; ++r) {
        place(rightCaptions[r], W - 3360, kRowTop[r], kBoxWidth, kBoxHeight);
        place(rightRows[r][0], W - 2400, kRowTop[r], kBoxWidth, kBoxHeight);
        place(rightRows[r][1], W - 1440, kRowTop[r], kBoxWidth, kBoxHeight);
    }

    place(grid_state_icon, W - 3360, 1740, 480, 480);
    place(chkboxGridLock, W - 2400, 1800, 1860, kBoxHeight);
    place(btnAccuracyCheck, W - 2400, 2220, 1440, 360);
    place(fmAccuracyDisplay, W - 2400, 2700, 1860, 600);
    place(fmAccuracyConfig, W - 2400, 3360, 1860, 1200);
    // The three buttons share the right edge of the column and are as wide as the longest
    // caption needs.
    const std::array<QPushButton*, 3> column{show_alignment, btnShowAllBuoys, btnClearAccuracy};
    double columnWidth = 1860;
    for (QPushButton* b : column)
        columnWidth = std::max(columnWidth, pixelsToTwips(b->sizeHint().width()));
    for (size_t i = 0; i < column.size(); ++i)
        place(column[i], W - 540 - columnWidth, 4680 + 420 * double(i), columnWidth, 360);

    constexpr double kFrameWidth = 3600;
    place(fmGateBuoySelection, (W - kFrameWidth) / 2, 120, kFrameWidth, 1020);
    place(grid_select, (W - 1200) / 2, 1260, 1200, 360);
    place(gridLockedLabel, (W - 2400) / 2, 1740, 2400, 360);

    place(Load, W - 2000, H - 3240, 1440, 480);
    place(AdjustmentLabel, W - 1440, H - 2520, 1200, 240);
    place(AdjustUp, W - 1200, H - 2280, 240, 240);
    place(AdjustLeft, W - 1440, H - 2040, 240, 240);
    place(AdjustRight, W - 960, H - 2040, 240, 240);
    place(AdjustDown, W - 1200, H - 1800, 240, 240);
    place(ipt_file_description, 120, H - 1400, 6000, 330);
    place(ipt_file_description_2, 120, H - 1000, 6000, 330);
    place(cmdHide, W - 3200, H - 1400, 900, 360);
    place(CrossSizeLabel, W - 1950, H - 1400, 1200, 240);
    place(Setup_Cross_size, W - 2160, H - 1160, 1620, 240);
}

void Grid_Setup::setVisible(bool visible)
{
    if (visible && !loaded) {
        loaded = true;
        placeControls();
    }
    QMainWindow::setVisible(visible);
}

void Grid_Setup::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Shown by the program (from the start screen), not restored by the window system.
    if (!event->spontaneous())
        activate();
}

void Grid_Setup::activate()
{
    const RunInfo r = run.info();
    for (const BoxWrite& w : surveyDefaults(r.event, ul_survey_x->text())) {
        box(w.box)->setText(w.text);
        calibration.complete = false;
    }
    reportWriteFailures(
        appendSessionHeaders(r.resultsFolder, programPlace.folder, platform.clock.now()));
}

void Grid_Setup::closeEvent(QCloseEvent* event)
{
    event->accept();
    navigator.endProgram();
}

// ---- state pictures, accuracy controls, drawing ------------------------------------------

void Grid_Setup::showStatePicture(const QString& name)
{
    if (name == statePictureName)
        return;
    statePictureName = name;
    QPixmap picture(QDir(programPlace.folder).filePath(name));
    // The operator may have deleted or damaged the copy; the built-in one always exists.
    if (picture.isNull())
        picture = QPixmap(QStringLiteral(":/program/") + name);
    grid_state_icon->setPixmap(picture);
    grid_state_icon->setToolTip(name == kCompletePicture ? QStringLiteral("Setup complete")
                                                         : QStringLiteral("Setup not complete"));
}

void Grid_Setup::showIncomplete()
{
    showStatePicture(kIncompletePicture);
    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    // Nothing is left to clear once the indicators are gone.
    btnClearAccuracy->hide();
    clearAccuracyIndicators();
}

void Grid_Setup::showComplete()
{
    showStatePicture(kCompletePicture);
    btnAccuracyCheck->show();
    // The display options must be reachable after a load or Complete too, not only after a
    // grid selection.
    fmAccuracyDisplay->show();
}

void Grid_Setup::clearAccuracyIndicators()
{
    for (QLabel* l : AccuracyIndicator)
        l->hide();
}

void Grid_Setup::showGrid()
{
    drawingSurface->clearDrawing();
    drawWidth = kMarkPenWidth;
    const ShowGridDrawing drawing = showGridShapes(calibration, Setup_Cross_size->value());
    circleRadius_ = drawing.crossRadius;
    drawingSurface->draw(drawing.shapes);
}

void Grid_Setup::checkPerspective()
{
    if (const auto warning =
            ::checkPerspective(calibration, programPlace.screenWidthPixels, coordinateTexts()))
        platform.messages.plain(*warning);
}

bool Grid_Setup::enterProgramFolder()
{
    if (QDir::setCurrent(programPlace.folder))
        return true;
    platform.messages.warning(kInvalidPathMessage);
    return false;
}

void Grid_Setup::reportWriteFailures(const QStringList& failures)
{
    if (!failures.isEmpty())
        platform.messages.warning(failures.join('\n'), kScreenTitle);
}

void Grid_Setup::appendJournal(JournalForm form)
{
    const QString path =
        resultsFilePath(run.info().resultsFolder, kJournalFileName, programPlace.folder);
    const QString block =
        journalBlock(platform.clock.now(), ipt_file_description->text(),
                     ipt_file_description_2->text(), slots.current, coordinateTexts(), form);
    const WriteResult r = appendText(path, block);
    if (!r)
        reportWriteFailures({r.message});
}

// ---- coordinate boxes ----------------------------------------------------------------------

QLineEdit* Grid_Setup::box(CoordinateBox b) const
{
    switch (b.kind) {
    case BoxKind::JumpX:
        return jump_x;
    case BoxKind::JumpY:
        return jump_y;
    default:
        break;
    }
    struct Row
    {
        QLineEdit *screenX, *screenY, *surveyX, *surveyY;
    };
    const std::array<Row, 4> rows{{
        {upper_left_x, upper_left_y, ul_survey_x, ul_survey_y},
        {upper_right_x, upper_right_y, ur_survey_x, ur_survey_y},
        {lower_left_x, lower_left_y, ll_survey_x, ll_survey_y},
        {lower_right_x, lower_right_y, lr_survey_x, lr_survey_y},
    }};
    const Row& r = rows[size_t(b.buoy)];
    switch (b.kind) {
    case BoxKind::ScreenX:
        return r.screenX;
    case BoxKind::ScreenY:
        return r.screenY;
    case BoxKind::SurveyX:
        return r.surveyX;
    default:
        return r.surveyY;
    }
}

CoordinateTexts Grid_Setup::coordinateTexts() const
{
    CoordinateTexts t;
    for (Buoy b : kBuoyVisitOrder)
        t[b] = {box({BoxKind::ScreenX, b})->text(), box({BoxKind::ScreenY, b})->text(),
                box({BoxKind::SurveyX, b})->text(), box({BoxKind::SurveyY, b})->text()};
    t.jumpX = jump_x->text();
    t.jumpY = jump_y->text();
    return t;
}

void Grid_Setup::showTexts(const CoordinateTexts& t)
{
    for (Buoy b : kBuoyVisitOrder) {
        box({BoxKind::ScreenX, b})->setText(t[b].screenX);
        box({BoxKind::ScreenY, b})->setText(t[b].screenY);
        box({BoxKind::SurveyX, b})->setText(t[b].surveyX);
        box({BoxKind::SurveyY, b})->setText(t[b].surveyY);
    }
    jump_x->setText(t.jumpX);
    jump_y->setText(t.jumpY);
}

void Grid_Setup::showGridCaption(const QString& caption)
{
    grid_select->setText(caption);
    grid_select->setAccessibleName(caption);
}

void Grid_Setup::showDescriptions(const QString& first, const QString& second)
{
    ipt_file_description->setText(first);
    ipt_file_description_2->setText(second);
    // Long paths and descriptions are read from their beginning.
    ipt_file_description->setCursorPosition(0);
    ipt_file_description_2->setCursorPosition(0);
}

void Grid_Setup::coordinateChanged(CoordinateBox b, QLineEdit* field)
{
    // The program's own writes leave the box unmodified; the operator's typing does not.
    if ((b.kind == BoxKind::ScreenX || b.kind == BoxKind::ScreenY) && !field->isModified())
        shownScreenText(b) = field->text();
    applyCoordinateChange(calibration, b, field->text());
    showIncomplete();
}

QString& Grid_Setup::shownScreenText(CoordinateBox b)
{
    return shownScreenTexts[size_t(b.buoy)][b.kind == BoxKind::ScreenX ? 0 : 1];
}

void Grid_Setup::screenBoxEdited(CoordinateBox b)
{
    QLineEdit* field = box(b);
    if (applyingTypedMark || !field->isModified())
        return;
    applyingTypedMark = true;
    const QString typed = field->text();
    if (const auto value = typedScreenCoordinate(typed)) {
        drawWidth = kMarkPenWidth;
        showMarks(placeTypedMark(calibration, b, *value, chkboxGridLock->isChecked(), crossSize()));
        field->setModified(false);
    } else {
        field->setText(shownScreenText(b));
        platform.messages.warning(notAScreenPositionMessage(b, typed), kGridSetupErrorTitle);
    }
    applyingTypedMark = false;
}

void Grid_Setup::commitTypedMarks()
{
    for (Buoy b : kBuoyVisitOrder)
        for (BoxKind kind : {BoxKind::ScreenX, BoxKind::ScreenY})
            screenBoxEdited({kind, b});
}

void Grid_Setup::upper_left_x_Change()
{
    coordinateChanged({BoxKind::ScreenX, Buoy::UpperLeft}, upper_left_x);
}
void Grid_Setup::upper_left_y_Change()
{
    coordinateChanged({BoxKind::ScreenY, Buoy::UpperLeft}, upper_left_y);
}
void Grid_Setup::upper_right_x_Change()
{
    coordinateChanged({BoxKind::ScreenX, Buoy::UpperRight}, upper_right_x);
}
void Grid_Setup::upper_right_y_Change()
{
    coordinateChanged({BoxKind::ScreenY, Buoy::UpperRight}, upper_right_y);
}
void Grid_Setup::lower_left_x_Change()
{
    coordinateChanged({BoxKind::ScreenX, Buoy::LowerLeft}, lower_left_x);
}
void Grid_Setup::lower_left_y_Change()
{
    coordinateChanged({BoxKind::ScreenY, Buoy::LowerLeft}, lower_left_y);
}
void Grid_Setup::lower_right_x_Change()
{
    coordinateChanged({BoxKind::ScreenX, Buoy::LowerRight}, lower_right_x);
}
void Grid_Setup::lower_right_y_Change()
{
    coordinateChanged({BoxKind::ScreenY, Buoy::LowerRight}, lower_right_y);
}
void Grid_Setup::ul_survey_x_Change()
{
    coordinateChanged({BoxKind::SurveyX, Buoy::UpperLeft}, ul_survey_x);
}
void Grid_Setup::ul_survey_y_Change()
{
    coordinateChanged({BoxKind::SurveyY, Buoy::UpperLeft}, ul_survey_y);
}
void Grid_Setup::ur_survey_x_Change()
{
    coordinateChanged({BoxKind::SurveyX, Buoy::UpperRight}, ur_survey_x);
}
void Grid_Setup::ur_survey_y_Change()
{
    coordinateChanged({BoxKind::SurveyY, Buoy::UpperRight}, ur_survey_y);
}
void Grid_Setup::ll_survey_x_Change()
{
    coordinateChanged({BoxKind::SurveyX, Buoy::LowerLeft}, ll_survey_x);
}
void Grid_Setup::ll_survey_y_Change()
{
    coordinateChanged({BoxKind::SurveyY, Buoy::LowerLeft}, ll_survey_y);
}
void Grid_Setup::lr_survey_x_Change()
{
    coordinateChanged({BoxKind::SurveyX, Buoy::LowerRight}, lr_survey_x);
}
void Grid_Setup::lr_survey_y_Change()
{
    coordinateChanged({BoxKind::SurveyY, Buoy::LowerRight}, lr_survey_y);
}
void Grid_Setup::jump_x_Change()
{
    coordinateChanged({BoxKind::JumpX}, jump_x);
}
void Grid_Setup::jump_y_Change()
{
    coordinateChanged({BoxKind::JumpY}, jump_y);
}

// ---- marking, lock, micro-adjust -------------------------------------------------------------

std::optional<Buoy> Grid_Setup::selectedBuoy() const
{
    if (upper_left_button->isChecked())
        return Buoy::UpperLeft;
    if (upper_right_button->isChecked())
        return Buoy::UpperRight;
    if (lower_left_button->isChecked())
        return Buoy::LowerLeft;
    if (lower_right_button->isChecked())
        return Buoy::LowerRight;
    return std::nullopt;
}

CrossSize Grid_Setup::crossSize() const
{
    return {Setup_Cross_size->value(), Setup_Cross_size->maximum(), circleRadius_};
}

void Grid_Setup::showMarks(const MarkResult& result)
{
    drawingSurface->draw(result.shapes);
    for (const MarkMove& m : result.moved) {
        box({BoxKind::ScreenX, m.buoy})->setText(strForm(m.mark.x));
        box({BoxKind::ScreenY, m.buoy})->setText(strForm(m.mark.y));
    }
}

void Grid_Setup::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    if (selectedBuoy())
        drawWidth = kMarkPenWidth;
    showMarks(
        markBuoy(calibration, selectedBuoy(), chkboxGridLock->isChecked(), {x, y}, crossSize()));
}

void Grid_Setup::nudge(AdjustDirection direction)
{
    drawWidth = kMarkPenWidth;
    showMarks(microAdjust(calibration, selectedBuoy(), chkboxGridLock->isChecked(), direction,
                          crossSize()));
}

void Grid_Setup::AdjustUp_Click()
{
    nudge(AdjustDirection::Up);
}
void Grid_Setup::AdjustDown_Click()
{
    nudge(AdjustDirection::Down);
}
void Grid_Setup::AdjustLeft_Click()
{
    nudge(AdjustDirection::Left);
}
void Grid_Setup::AdjustRight_Click()
{
    nudge(AdjustDirection::Right);
}

void Grid_Setup::chkboxGridLock_Click()
{
    commitTypedMarks();
    if (chkboxGridLock->isChecked() && !canLockGrid(coordinateTexts())) {
        platform.messages.plain(kCannotLockMessage);
        chkboxGridLock->setChecked(false);
    }
    gridLockedLabel->setVisible(chkboxGridLock->isChecked());
}

void Grid_Setup::unlockGrid()
{
    chkboxGridLock->setChecked(false);
    gridLockedLabel->hide();
}

void Grid_Setup::cmdHide_Click()
{
    descriptionsVisible = !descriptionsVisible;
    ipt_file_description->setVisible(descriptionsVisible);
    ipt_file_description_2->setVisible(descriptionsVisible);
    const QString caption = descriptionsButtonCaption(descriptionsVisible);
    cmdHide->setText(caption);
    cmdHide->setAccessibleName(caption + QStringLiteral(" descriptions"));
}

// ---- course overlay, cross size, label drag --------------------------------------------------

void Grid_Setup::show_alignment_Click()
{
    if (!calibration.complete) {
        platform.messages.plain(QString::fromLatin1(kSetupNotOkMessage));
        return;
    }
    drawWidth = kMarkPenWidth;
    drawingSurface->clearDrawing();
    showGrid();
}

void Grid_Setup::btnShowAllBuoys_Click()
{
    if (!calibration.complete) {
        platform.messages.plain(QString::fromLatin1(kSetupNotOkMessage));
        return;
    }
    drawingSurface->draw(
        showCourseShapes(calibration.transform, Setup_Cross_size->value(), drawWidth).shapes);
}

void Grid_Setup::Setup_Cross_size_Change()
{
    // The measurement screen draws its marks with the same cross size. The circle radius
    // follows at the next redraw of the marks: until then it must stay the radius of the
    // circles on the surface, which marking erases with it.
    display.crossSize = Setup_Cross_size->value();
}

bool Grid_Setup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CrossSizeLabel)
        return dragLabel(crossSizeDrag, CrossSizeLabel, Setup_Cross_size, event);
    if (watched == gridLockedLabel)
        return dragLabel(gridLockedDrag, gridLockedLabel, nullptr, event);
    return QMainWindow::eventFilter(watched, event);
}

bool Grid_Setup::dragLabel(LabelDrag& drag, QWidget* label, QWidget* companion, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPointF p = static_cast<QMouseEvent*>(event)->position();
        drag.press(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
        return true;
    }
    case QEvent::MouseMove: {
        const QPointF p = static_cast<QMouseEvent*>(event)->position();
        const auto offset = drag.move(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
        if (!offset)
            return false;
        const QPoint by(twipsToPixels(offset->dx), twipsToPixels(offset->dy));
        label->move(label->pos() + by);
        if (companion)
            companion->move(companion->pos() + by);
        return true;
    }
    case QEvent::MouseButtonRelease:
        drag.release();
        return true;
    default:
        return false;
    }
}

// ---- accuracy check ---------------------------------------------------------------------------

AccuracyDisplay Grid_Setup::accuracyDisplay() const
{
    if (optHomolgationLevel->isChecked())
        return AccuracyDisplay::HomologationLevel;
    if (optDisplayDistance->isChecked())
        return AccuracyDisplay::Distance;
    return AccuracyDisplay::Detail;
}

void Grid_Setup::showAccuracyIndicators(const AccuracyCheckResult& result)
{
    for (const AccuracyPoint& p : result.points) {
        QLabel* label = AccuracyIndicator[size_t(p.index)];
        label->hide();
        if (!p.placed)
            continue;
        label->setText(p.text);
        label->adjustSize();
        label->move(twipsToPixels(p.left), twipsToPixels(p.top));
        label->raise();
        label->show();
    }
}

void Grid_Setup::btnAccuracyCheck_Click()
{
    const QDateTime now = platform.clock.now();
    const AccuracyCheckResult result = runAccuracyCheck(accuracyInputFrom(
        calibration, slots.current, coordinateTexts(), ipt_file_description->text(),
        ipt_file_description_2->text(), accuracyDisplay(), now));
    showAccuracyIndicators(result);
    btnClearAccuracy->show();
    showGrid();
    // The indicators stand whatever happens to the report: they are the check's answer.
    const QString path = accuracyReportPath(run.info().resultsFolder, now, programPlace.folder);
    const WriteResult written = appendAccuracyReport(path, result);
    if (!written)
        platform.messages.warning(written.message, kScreenTitle);
    if (result.unplaced > 0)
        platform.messages.warning(unplacedPointsMessage(result.unplaced), kScreenTitle);
}

void Grid_Setup::btnClearAccuracy_Click()
{
    btnClearAccuracy->hide();
    for (int i = 0; i <= kClearAccuracyLastIndex; ++i)
        AccuracyIndicator[size_t(i)]->hide();
}

void Grid_Setup::optAdvancedAccuracy_Click()
{
    fmAccuracyConfig->show();
}

// ---- background picture ----------------------------------------------------------------------

void Grid_Setup::mnuLoadPicture_Click()
{
    const PictureLoadStart start = startPictureLoad(programPlace.folder);
    if (const QString* warning = std::get_if<QString>(&start)) {
        platform.messages.warning(*warning);
        return;
    }
    const auto path = platform.fileDialog.choose(std::get<FileDialogRequest>(start));
    if (!path)
        return;
    const QImage picture = platform.pictures.load(*path);
    // A file that is not a picture is treated like a cancel: nothing changes, nothing said.
    if (picture.isNull())
        return;
    coursePicture.setImage(picture);
}

void Grid_Setup::mnuClearPicture_Click()
{
    coursePicture.setImage(QImage());
}

void Grid_Setup::mnuPaste_Click()
{
    const QImage picture = platform.pictures.clipboardImage();
    if (picture.isNull()) {
        platform.messages.plain(QString::fromLatin1(kNoClipboardPictureMessage), kScreenTitle);
        return;
    }
    coursePicture.setImage(picture);
}

// ---- files, Complete, grid selection, Exit ---------------------------------------------------

void Grid_Setup::gridLoad_Click()
{
    unlockGrid();
    if (!enterProgramFolder())
        return;
    const auto path =
        platform.fileDialog.choose({QStringLiteral("Load Setup Data File"), kLoadFilter,
                                    kParameterFilesEntry, programPlace.folder, false});
    if (!path)
        return;
    // The whole file is read and checked before anything changes.
    const SetupFileRead read = readSetupFile(*path);
    if (!read.data) {
        platform.messages.warning(setupFileProblemMessage(*path, read.problem), kErrorMessageTitle);
        return;
    }
    showDescriptions(*path, read.data->description);
    showTexts(boxTextsFor(*read.data));
    // After the box writes, so the values are the file's own to the last bit.
    applyLoadedSetup(calibration, slots, *read.data, *path);
    appendJournal(JournalForm::Twips);
    drawingSurface->clearDrawing();
    checkPerspective();
    showComplete();
    showGridCaption(gridCaption(slots.current));
    showGrid();
}

void Grid_Setup::gridSave_Click()
{
    commitTypedMarks();
    if (!currentSlotHoldsCalibration(slots)) {
        platform.messages.warning(nothingToSaveMessage(slots.current), kGridSetupErrorTitle);
        return;
    }
    unlockGrid();
    if (!enterProgramFolder())
        return;
    const auto path =
        platform.fileDialog.choose({QStringLiteral("Save Data Setup File"), kSaveFilter,
                                    kParameterFilesEntry, programPlace.folder, true});
    if (!path)
        return;
    const QString description = platform.messages
                                    .input(QStringLiteral("Enter descriptive line about grid"),
                                           QStringLiteral("Grid Description"))
                                    .value_or(QString());
    SetupFileData data = workingData(calibration, slots.current);
    data.savedPath = *path;
    data.description = description;
    const WriteResult written = writeSetupFile(*path, data);
    if (!written) {
        platform.messages.warning(
            written.message + QStringLiteral(" The setup has not been saved."), kScreenTitle);
        return;
    }
    storeSavedSetup(slots, data, *path);
    showDescriptions(*path, description);
}

void Grid_Setup::Load_Click()
{
    commitTypedMarks();
    const CompletionResult r =
        completeSetup(calibration, slots, coordinateTexts(), ipt_file_description->text(),
                      ipt_file_description_2->text());
    if (r.ok) {
        QDir::setCurrent(programPlace.folder);
        showComplete();
        // The solved calibration went into slot 1, which is now the current one.
        showGridCaption(gridCaption(slots.current));
        drawingSurface->clearDrawing();
    } else {
        platform.messages.warning(r.message, kErrorMessageTitle);
    }
    appendJournal(JournalForm::Pixels);
}

void Grid_Setup::grid_select_Click()
{
    drawingSurface->clearDrawing();
    const int slot = selectNextGrid(slots);
    showGridCaption(gridCaption(slot));
    showTexts(slotBoxTexts(slots, slot));
    const SetupFileData shown = slotData(slots, slot);
    showDescriptions(shown.savedPath, shown.description);
    // After the box writes, whose change rule marks the calibration incomplete.
    if (selectSlot(calibration, slots, slot)) {
        QDir::setCurrent(programPlace.folder);
        showComplete();
        fmAccuracyDisplay->show();
    } else {
        // Box writes that change nothing run no change rule: say it here.
        showIncomplete();
    }
}

void Grid_Setup::gridExit_Click()
{
    commitTypedMarks();
    if (calibration.complete) {
        hide();
        navigator.showStart();
        restoreSlot(calibration, slots, 1);
        showGridCaption(gridCaption(slots.current));
        drawingSurface->draw(exitShapes(calibration));
        return;
    }
    if (platform.messages.askYesNo(kLeaveIncompleteQuestion, kGridSetupErrorTitle)) {
        hide();
        navigator.showStart();
    }
}
