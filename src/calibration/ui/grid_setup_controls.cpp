// The calibration screen's controls: made in the order the keyboard visits them, placed in
// twips from the screen's edges, and connected to their handlers.

#include "app/ui/drawing_surface.h"
#include "app/ui/screen_layout.h"
#include "calibration/grid_slots.h"
#include "calibration/ui/grid_setup.h"
#include "common/twips.h"
#include "course_display/ui/course_overlay.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

namespace {

// Sizes and fixed positions of the controls, in twips.
constexpr double kBoxWidth = 900;
constexpr double kBoxHeight = 300;
constexpr double kRowTop[] = {120, 480, 960, 1320, 1800}; // screen, survey, screen, survey, jump

// The eighteen coordinate boxes in the order they are made, with their names and, for the
// survey and jump boxes, their first texts (a screen box starts unmarked).
struct BoxControl
{
    CoordinateBox box;
    const char* name;
    const char* text;
};
constexpr BoxControl kBoxControls[] = {
    {{BoxKind::ScreenX, Buoy::UpperLeft}, "upper_left_x", nullptr},
    {{BoxKind::ScreenY, Buoy::UpperLeft}, "upper_left_y", nullptr},
    {{BoxKind::ScreenX, Buoy::UpperRight}, "upper_right_x", nullptr},
    {{BoxKind::ScreenY, Buoy::UpperRight}, "upper_right_y", nullptr},
    {{BoxKind::ScreenX, Buoy::LowerLeft}, "lower_left_x", nullptr},
    {{BoxKind::ScreenY, Buoy::LowerLeft}, "lower_left_y", nullptr},
    {{BoxKind::ScreenX, Buoy::LowerRight}, "lower_right_x", nullptr},
    {{BoxKind::ScreenY, Buoy::LowerRight}, "lower_right_y", nullptr},
    {{BoxKind::SurveyX, Buoy::UpperLeft}, "ul_survey_x", "2.5"},
    {{BoxKind::SurveyY, Buoy::UpperLeft}, "ul_survey_y", "0"},
    {{BoxKind::SurveyX, Buoy::UpperRight}, "ur_survey_x", "0"},
    {{BoxKind::SurveyY, Buoy::UpperRight}, "ur_survey_y", "0"},
    {{BoxKind::SurveyX, Buoy::LowerLeft}, "ll_survey_x", "2.5"},
    {{BoxKind::SurveyY, Buoy::LowerLeft}, "ll_survey_y", "-259"},
    {{BoxKind::SurveyX, Buoy::LowerRight}, "lr_survey_x", "0"},
    {{BoxKind::SurveyY, Buoy::LowerRight}, "lr_survey_y", "-259"},
    {{BoxKind::JumpX}, "jump_x", "jump x"},
    {{BoxKind::JumpY}, "jump_y", "jump y"},
};

// Where a box is kept: by buoy, screen x and y then survey x and y; the jump boxes last.
size_t boxIndex(CoordinateBox b)
{
    switch (b.kind) {
    case BoxKind::JumpX:
        return 16;
    case BoxKind::JumpY:
        return 17;
    default:
        return 4 * size_t(b.buoy) + size_t(b.kind);
    }
}

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

QLineEdit* Grid_Setup::box(CoordinateBox b) const
{
    return coordinateBoxes[boxIndex(b)];
}

void Grid_Setup::buildControls()
{
    gridLoad = menuBar()->addAction(QStringLiteral("&Load Setup Data File"));
    gridLoad->setObjectName(QStringLiteral("gridLoad"));
    gridSave = menuBar()->addAction(QStringLiteral("&Save Data Setup File"));
    gridSave->setObjectName(QStringLiteral("gridSave"));
    mnuSetupPicture = menuBar()->addMenu(QStringLiteral("Setup &Picture"));
    mnuSetupPicture->setObjectName(QStringLiteral("mnuSetupPicture"));
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
        return named(new QLineEdit(text, s), name);
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

    for (const BoxControl& c : kBoxControls) {
        const QString text = c.text ? QString::fromLatin1(c.text) : kUnmarkedText;
        coordinateBoxes[boxIndex(c.box)] = spoken(field(text, c.name), boxCaption(c.box));
    }
    const std::array<std::pair<Buoy, const char*>, 4> tips{
        {{Buoy::UpperLeft, "upper left buoy"},
         {Buoy::UpperRight, "upper right buoy"},
         {Buoy::LowerLeft, "lower left buoy"},
         {Buoy::LowerRight, "lower right buoy"}}};
    for (const auto& [buoy, tip] : tips)
        box({BoxKind::ScreenX, buoy})->setToolTip(QString::fromLatin1(tip));
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

    overlay = new CourseOverlay(
        *drawingSurface, *mnuSetupPicture, platform, programPlace, run, calibration, slots, display,
        coursePicture,
        [this] {
            return ShownSetup{coordinateTexts(), ipt_file_description->text(),
                              ipt_file_description_2->text()};
        },
        this);
    overlay->makeDraggable(gridLockedLabel);
    blackLabel(AdjustmentLabel);
    connectControls();
}

void Grid_Setup::connectControls()
{
    connect(gridLoad, &QAction::triggered, this, &Grid_Setup::gridLoad_Click);
    connect(gridSave, &QAction::triggered, this, &Grid_Setup::gridSave_Click);
    connect(gridExit, &QAction::triggered, this, &Grid_Setup::gridExit_Click);
    connect(Load, &QPushButton::clicked, this, &Grid_Setup::Load_Click);
    connect(grid_select, &QPushButton::clicked, this, &Grid_Setup::grid_select_Click);
    connect(chkboxGridLock, &QCheckBox::clicked, this, &Grid_Setup::chkboxGridLock_Click);
    connect(cmdHide, &QPushButton::clicked, this, &Grid_Setup::cmdHide_Click);
    connect(drawingSurface, &DrawingSurface::mousePressed, this, &Grid_Setup::Form_MouseDown);
    const std::array<std::pair<QToolButton*, AdjustDirection>, 4> arrows{
        {{AdjustUp, AdjustDirection::Up},
         {AdjustDown, AdjustDirection::Down},
         {AdjustLeft, AdjustDirection::Left},
         {AdjustRight, AdjustDirection::Right}}};
    for (const auto& [button, direction] : arrows)
        connect(button, &QToolButton::clicked, this, [this, d = direction] { nudge(d); });

    for (const BoxControl& c : kBoxControls) {
        const CoordinateBox b = c.box;
        connect(box(b), &QLineEdit::textChanged, this, [this, b] { coordinateChanged(b); });
        // A typed mark moves once the operator is done with the box, not on each keystroke.
        if (b.kind == BoxKind::ScreenX || b.kind == BoxKind::ScreenY)
            connect(box(b), &QLineEdit::editingFinished, this, [this, b] { screenBoxEdited(b); });
    }
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
    auto boxes = [this](BoxKind x, BoxKind y, Buoy b) {
        return std::array<QLineEdit*, 2>{box({x, b}), box({y, b})};
    };
    auto screenRow = [&](Buoy b) { return boxes(BoxKind::ScreenX, BoxKind::ScreenY, b); };
    auto surveyRow = [&](Buoy b) { return boxes(BoxKind::SurveyX, BoxKind::SurveyY, b); };
    for (size_t r = 0; r < 4; ++r)
        place(leftCaptions[r], 120, kRowTop[r], kBoxWidth, kBoxHeight);
    place(jumpCaption, 120, kRowTop[4], kBoxWidth, kBoxHeight);
    const std::array<std::array<QLineEdit*, 2>, 5> leftRows{
        screenRow(Buoy::UpperLeft), surveyRow(Buoy::UpperLeft), screenRow(Buoy::LowerLeft),
        surveyRow(Buoy::LowerLeft), boxes(BoxKind::JumpX, BoxKind::JumpY, Buoy::UpperLeft)};
    for (size_t r = 0; r < leftRows.size(); ++r) {
        place(leftRows[r][0], 1080, kRowTop[r], kBoxWidth, kBoxHeight);
        place(leftRows[r][1], 2040, kRowTop[r], kBoxWidth, kBoxHeight);
    }
    const std::array<QLabel*, 4> rightCaptions{Label1, Label2, Label3, Label4};
    const std::array<std::array<QLineEdit*, 2>, 4> rightRows{
        screenRow(Buoy::UpperRight), surveyRow(Buoy::UpperRight), screenRow(Buoy::LowerRight),
        surveyRow(Buoy::LowerRight)};
    for (size_t r = 0; r < 4; ++r) {
        place(rightCaptions[r], W - 3360, kRowTop[r], kBoxWidth, kBoxHeight);
        place(rightRows[r][0], W - 2400, kRowTop[r], kBoxWidth, kBoxHeight);
        place(rightRows[r][1], W - 1440, kRowTop[r], kBoxWidth, kBoxHeight);
    }

    place(grid_state_icon, W - 3360, 1740, 480, 480);
    place(chkboxGridLock, W - 2400, 1800, 1860, kBoxHeight);
    overlay->placeControls(W, H);

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
}
