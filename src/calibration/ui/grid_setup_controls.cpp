// The calibration screen's controls: made in the order the keyboard visits them, placed in
// twips from the screen's edges, and connected to their handlers.

#include "calibration/grid_slots.h"
#include "calibration/ui/grid_setup.h"
#include "course_display/ui/course_overlay.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/control_column.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "picture/ui/video_menu.h"
#include "picture/ui/video_transport.h"
#include "platform/platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kStateIconSize = 32;
// Wide enough for a mark such as "-12345.67".
constexpr int kCoordinateBoxWidth = 72;

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
    drawingSurface->showVideoOf(courseVideo);
    // A picture fills the area right of the column, as on the measurement screen; the overlay
    // card keys the whole surface.
    drawingSurface->fitPicturesBeside(kControlColumnWidth);
    controlColumn.emplace(drawingSurface);
    column = controlColumn->frame();
    // A click between two controls must not mark a buoy hidden under the column.
    column->setAttribute(Qt::WA_NoMousePropagation);
    QWidget* s = column;

    fmGateBuoySelection =
        named(new QGroupBox(QStringLiteral("Gate Buoy Selection"), s), "fmGateBuoySelection");
    upper_left_button = named(new QRadioButton(QStringLiteral("upper left"), fmGateBuoySelection),
                              "upper_left_button");
    upper_right_button = named(new QRadioButton(QStringLiteral("upper right"), fmGateBuoySelection),
                               "upper_right_button");
    lower_left_button = named(new QRadioButton(QStringLiteral("lower left"), fmGateBuoySelection),
                              "lower_left_button");
    lower_right_button = named(new QRadioButton(QStringLiteral("lower right"), fmGateBuoySelection),
                               "lower_right_button");
    buoyButtons = new QButtonGroup(this);
    for (QRadioButton* b :
         {upper_left_button, upper_right_button, lower_left_button, lower_right_button}) {
        buoyButtons->addButton(b);
        spokenAs(b, b->text());
    }

    auto caption = [s](const QString& text, const char* name) {
        auto* l = new QLabel(text, s);
        smallType(l);
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
    leftCaptions = {caption(QStringLiteral("screen x,y"), "leftScreenCaption1"),
                    caption(QStringLiteral("survey x,y"), "leftSurveyCaption1"),
                    caption(QStringLiteral("screen x,y"), "leftScreenCaption2"),
                    caption(QStringLiteral("survey x,y"), "leftSurveyCaption2")};
    jumpCaption = caption(QStringLiteral("jump x,y"), "jumpCaption");
    const std::array<std::pair<const char*, const char*>, 4> headings{
        {{"upper\nleft", "upperLeftHeading"},
         {"upper\nright", "upperRightHeading"},
         {"lower\nleft", "lowerLeftHeading"},
         {"lower\nright", "lowerRightHeading"}}};
    for (size_t i = 0; i < headings.size(); ++i) {
        buoyHeadings[i] =
            named(new QLabel(QString::fromLatin1(headings[i].first), s), headings[i].second);
        smallType(buoyHeadings[i]);
    }

    for (const BoxControl& c : kBoxControls) {
        const QString text = c.text ? QString::fromLatin1(c.text) : kUnmarkedText;
        coordinateBoxes[boxIndex(c.box)] = spokenAs(field(text, c.name), boxCaption(c.box));
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
    spokenAs(chkboxGridLock, chkboxGridLock->text());
    chkboxGridLock->setAutoFillBackground(true);
    gridLockedLabel = named(new QLabel(QStringLiteral("GRID LOCKED!"), s), "gridLockedLabel");
    gridLockedLabel->setAlignment(Qt::AlignCenter);
    gridLockedLabel->setStyleSheet(
        QStringLiteral("background-color: white; color: red; font-weight: bold;"));
    grid_state_icon = named(new QLabel(s), "grid_state_icon");
    grid_state_icon->setAlignment(Qt::AlignCenter);
    Load = spokenAs(named(new QPushButton(QStringLiteral("Complete"), s), "Load"),
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
    AdjustUp = spokenAs(arrow(Qt::UpArrow, "AdjustUp"), QStringLiteral("Micro-Adjust up"));
    AdjustDown = spokenAs(arrow(Qt::DownArrow, "AdjustDown"), QStringLiteral("Micro-Adjust down"));
    AdjustLeft = spokenAs(arrow(Qt::LeftArrow, "AdjustLeft"), QStringLiteral("Micro-Adjust left"));
    AdjustRight =
        spokenAs(arrow(Qt::RightArrow, "AdjustRight"), QStringLiteral("Micro-Adjust right"));

    ipt_file_description = spokenAs(field(QStringLiteral("No File"), "ipt_file_description"),
                                    QStringLiteral("setup file"));
    ipt_file_description_2 =
        spokenAs(field(QString(), "ipt_file_description_2"), QStringLiteral("setup description"));
    cmdHide = spokenAs(named(new QPushButton(QStringLiteral("Hide"), s), "cmdHide"),
                       QStringLiteral("Hide descriptions"));

    overlay = new CourseOverlay(
        *drawingSurface, *column, *mnuSetupPicture, platform, programPlace, run, calibration, slots,
        display, courseVideo.stillPicture(),
        [this] {
            return ShownSetup{coordinateTexts(), ipt_file_description->text(),
                              ipt_file_description_2->text()};
        },
        this);
    overlay->makeDraggable(gridLockedLabel);
    blackLabel(AdjustmentLabel);
    smallType(AdjustmentLabel);
    transport = new VideoTransport(courseVideo, column);
    new VideoMenu(menuBar(), courseVideo, platform.fileDialog, programPlace.folder);
    transport->installShortcuts(this);
    layOutColumn();
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
}

void Grid_Setup::layOutColumn()
{
    QVBoxLayout* layout = controlColumn->layout();
    auto row = [this](std::initializer_list<QWidget*> widgets) {
        return controlColumn->row(widgets, false);
    };

    auto* buoys = new QGridLayout(fmGateBuoySelection);
    buoys->setContentsMargins(ControlColumn::kMargin, 0, ControlColumn::kMargin,
                              ControlColumn::kMargin);
    buoys->setVerticalSpacing(0);
    buoys->addWidget(upper_left_button, 0, 0);
    buoys->addWidget(upper_right_button, 0, 1);
    buoys->addWidget(lower_left_button, 1, 0);
    buoys->addWidget(lower_right_button, 1, 1);
    layout->addWidget(fmGateBuoySelection);

    grid_state_icon->setFixedSize(kStateIconSize, kStateIconSize);
    grid_state_icon->setScaledContents(true);
    row({grid_select, grid_state_icon, Load})->setStretch(0, 1);
    row({chkboxGridLock, gridLockedLabel});

    // Each buoy's screen row over its survey row, the buoy named at their left; the jump
    // point last.
    QGridLayout* boxes = controlColumn->grid();
    const std::array<std::pair<Buoy, std::array<QLabel*, 2>>, 4> buoyRows{
        {{Buoy::UpperLeft, {leftCaptions[0], leftCaptions[1]}},
         {Buoy::UpperRight, {Label1, Label2}},
         {Buoy::LowerLeft, {leftCaptions[2], leftCaptions[3]}},
         {Buoy::LowerRight, {Label3, Label4}}}};
    int r = 0;
    for (size_t i = 0; i < buoyRows.size(); ++i) {
        const auto& [buoy, captions] = buoyRows[i];
        boxes->addWidget(buoyHeadings[i], r, 0, 2, 1);
        boxes->addWidget(captions[0], r, 1);
        boxes->addWidget(box({BoxKind::ScreenX, buoy}), r, 2);
        boxes->addWidget(box({BoxKind::ScreenY, buoy}), r, 3);
        boxes->addWidget(captions[1], r + 1, 1);
        boxes->addWidget(box({BoxKind::SurveyX, buoy}), r + 1, 2);
        boxes->addWidget(box({BoxKind::SurveyY, buoy}), r + 1, 3);
        r += 2;
    }
    boxes->addWidget(jumpCaption, r, 1);
    boxes->addWidget(box({BoxKind::JumpX}), r, 2);
    boxes->addWidget(box({BoxKind::JumpY}), r, 3);
    boxes->setColumnStretch(2, 1);
    boxes->setColumnStretch(3, 1);
    for (QLineEdit* b : coordinateBoxes)
        b->setMinimumWidth(kCoordinateBoxWidth);

    auto* arrows = new QGridLayout;
    arrows->setSpacing(0);
    arrows->addWidget(AdjustmentLabel, 0, 0, 1, 3);
    arrows->addWidget(AdjustUp, 1, 1);
    arrows->addWidget(AdjustLeft, 2, 0);
    arrows->addWidget(AdjustRight, 2, 2);
    arrows->addWidget(AdjustDown, 3, 1);
    for (QToolButton* b : {AdjustUp, AdjustLeft, AdjustRight, AdjustDown})
        b->setFixedSize(b->sizeHint());
    auto* adjustRow = new QHBoxLayout;
    adjustRow->addLayout(arrows);
    adjustRow->addStretch(1);
    overlay->layOutCrossSize(adjustRow);
    layout->addLayout(adjustRow);

    overlay->layOutButtons(layout);

    // The setup file's lines keep to the bottom, the transport of a video file above them.
    layout->addStretch(1);
    layout->addWidget(transport);
    row({ipt_file_description, cmdHide})->setStretch(0, 1);
    layout->addWidget(ipt_file_description_2);

    controlColumn->keepPlacesWhenHidden();
    placeColumn();
    drawingSurface->installEventFilter(this);
}

void Grid_Setup::placeColumn()
{
    column->setGeometry(0, 0, kControlColumnWidth, drawingSurface->height());
}
