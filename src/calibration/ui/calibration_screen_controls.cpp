// The calibration screen's controls: made in the order the keyboard visits them, placed in
// twips from the screen's edges, and connected to their handlers.

#include "calibration/calibration_session.h"
#include "calibration/ui/calibration_screen.h"
#include "course_display/ui/course_overlay.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/control_column.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "picture/ui/video_menu.h"
#include "picture/ui/video_transport.h"

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

// The eighteen coordinate boxes in the order they are made, with their names.
struct BoxControl
{
    CoordinateBox box;
    const char* name;
};
constexpr BoxControl kBoxControls[] = {
    {{BoxKind::ScreenX, Buoy::UpperLeft}, "upperLeftScreenXEdit"},
    {{BoxKind::ScreenY, Buoy::UpperLeft}, "upperLeftScreenYEdit"},
    {{BoxKind::ScreenX, Buoy::UpperRight}, "upperRightScreenXEdit"},
    {{BoxKind::ScreenY, Buoy::UpperRight}, "upperRightScreenYEdit"},
    {{BoxKind::ScreenX, Buoy::LowerLeft}, "lowerLeftScreenXEdit"},
    {{BoxKind::ScreenY, Buoy::LowerLeft}, "lowerLeftScreenYEdit"},
    {{BoxKind::ScreenX, Buoy::LowerRight}, "lowerRightScreenXEdit"},
    {{BoxKind::ScreenY, Buoy::LowerRight}, "lowerRightScreenYEdit"},
    {{BoxKind::SurveyX, Buoy::UpperLeft}, "upperLeftSurveyXEdit"},
    {{BoxKind::SurveyY, Buoy::UpperLeft}, "upperLeftSurveyYEdit"},
    {{BoxKind::SurveyX, Buoy::UpperRight}, "upperRightSurveyXEdit"},
    {{BoxKind::SurveyY, Buoy::UpperRight}, "upperRightSurveyYEdit"},
    {{BoxKind::SurveyX, Buoy::LowerLeft}, "lowerLeftSurveyXEdit"},
    {{BoxKind::SurveyY, Buoy::LowerLeft}, "lowerLeftSurveyYEdit"},
    {{BoxKind::SurveyX, Buoy::LowerRight}, "lowerRightSurveyXEdit"},
    {{BoxKind::SurveyY, Buoy::LowerRight}, "lowerRightSurveyYEdit"},
    {{BoxKind::JumpX}, "jumpXEdit"},
    {{BoxKind::JumpY}, "jumpYEdit"},
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

QLineEdit* CalibrationScreen::box(CoordinateBox b) const
{
    return coordinateBoxes[boxIndex(b)];
}

void CalibrationScreen::showBoxes()
{
    // Only the boxes whose text differs: the operator's cursor stays where it is.
    for (const BoxControl& c : kBoxControls)
        if (box(c.box)->text() != session.boxText(c.box))
            box(c.box)->setText(session.boxText(c.box));
}

void CalibrationScreen::buildControls()
{
    loadSetupAction = menuBar()->addAction(QStringLiteral("&Load Setup Data File"));
    loadSetupAction->setObjectName(QStringLiteral("loadSetupAction"));
    saveSetupAction = menuBar()->addAction(QStringLiteral("&Save Data Setup File"));
    saveSetupAction->setObjectName(QStringLiteral("saveSetupAction"));
    pictureMenu = menuBar()->addMenu(QStringLiteral("Setup &Picture"));
    pictureMenu->setObjectName(QStringLiteral("pictureMenu"));
    exitAction = menuBar()->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("exitAction"));

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

    buoySelectionGroup =
        named(new QGroupBox(QStringLiteral("Gate Buoy Selection"), s), "buoySelectionGroup");
    upperLeftOption = named(new QRadioButton(QStringLiteral("upper left"), buoySelectionGroup),
                            "upperLeftOption");
    upperRightOption = named(new QRadioButton(QStringLiteral("upper right"), buoySelectionGroup),
                             "upperRightOption");
    lowerLeftOption = named(new QRadioButton(QStringLiteral("lower left"), buoySelectionGroup),
                            "lowerLeftOption");
    lowerRightOption = named(new QRadioButton(QStringLiteral("lower right"), buoySelectionGroup),
                             "lowerRightOption");
    buoyButtons = new QButtonGroup(this);
    for (QRadioButton* b : {upperLeftOption, upperRightOption, lowerLeftOption, lowerRightOption}) {
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
    upperRightScreenLabel = caption(QStringLiteral("screen x,y"), "upperRightScreenLabel");
    upperRightSurveyLabel = caption(QStringLiteral("survey x,y"), "upperRightSurveyLabel");
    lowerRightScreenLabel = caption(QStringLiteral("screen x,y"), "lowerRightScreenLabel");
    lowerRightSurveyLabel = caption(QStringLiteral("survey x,y"), "lowerRightSurveyLabel");
    upperLeftScreenLabel = caption(QStringLiteral("screen x,y"), "upperLeftScreenLabel");
    upperLeftSurveyLabel = caption(QStringLiteral("survey x,y"), "upperLeftSurveyLabel");
    lowerLeftScreenLabel = caption(QStringLiteral("screen x,y"), "lowerLeftScreenLabel");
    lowerLeftSurveyLabel = caption(QStringLiteral("survey x,y"), "lowerLeftSurveyLabel");
    jumpLabel = caption(QStringLiteral("jump x,y"), "jumpLabel");
    const std::array<std::pair<const char*, const char*>, 4> headings{
        {{"upper\nleft", "upperLeftHeadingLabel"},
         {"upper\nright", "upperRightHeadingLabel"},
         {"lower\nleft", "lowerLeftHeadingLabel"},
         {"lower\nright", "lowerRightHeadingLabel"}}};
    for (size_t i = 0; i < headings.size(); ++i) {
        buoyHeadings[i] =
            named(new QLabel(QString::fromLatin1(headings[i].first), s), headings[i].second);
        smallType(buoyHeadings[i]);
    }

    for (const BoxControl& c : kBoxControls)
        coordinateBoxes[boxIndex(c.box)] =
            spokenAs(field(session.boxText(c.box), c.name), boxCaption(c.box));
    const std::array<std::pair<Buoy, const char*>, 4> tips{
        {{Buoy::UpperLeft, "upper left buoy"},
         {Buoy::UpperRight, "upper right buoy"},
         {Buoy::LowerLeft, "lower left buoy"},
         {Buoy::LowerRight, "lower right buoy"}}};
    for (const auto& [buoy, tip] : tips)
        box({BoxKind::ScreenX, buoy})->setToolTip(QString::fromLatin1(tip));

    gridLockCheck = named(new QCheckBox(QStringLiteral("Lock Grid Buoys"), s), "gridLockCheck");
    spokenAs(gridLockCheck, gridLockCheck->text());
    gridLockCheck->setAutoFillBackground(true);
    gridLockedLabel = named(new QLabel(QStringLiteral("GRID LOCKED!"), s), "gridLockedLabel");
    gridLockedLabel->setAlignment(Qt::AlignCenter);
    gridLockedLabel->setStyleSheet(
        QStringLiteral("background-color: white; color: red; font-weight: bold;"));
    setupStateLabel = named(new QLabel(s), "setupStateLabel");
    setupStateLabel->setAlignment(Qt::AlignCenter);
    completeButton =
        spokenAs(named(new QPushButton(QStringLiteral("Complete"), s), "completeButton"),
                 QStringLiteral("Complete"));
    selectGridButton = named(new QPushButton(s), "selectGridButton");
    showGridCaption();

    microAdjustLabel = named(new QLabel(QStringLiteral("Micro-Adjust"), s), "microAdjustLabel");
    microAdjustLabel->setAlignment(Qt::AlignCenter);
    auto arrow = [s](Qt::ArrowType type, const char* name) {
        auto* b = named(new QToolButton(s), name);
        b->setArrowType(type);
        return b;
    };
    adjustUpButton =
        spokenAs(arrow(Qt::UpArrow, "adjustUpButton"), QStringLiteral("Micro-Adjust up"));
    adjustDownButton =
        spokenAs(arrow(Qt::DownArrow, "adjustDownButton"), QStringLiteral("Micro-Adjust down"));
    adjustLeftButton =
        spokenAs(arrow(Qt::LeftArrow, "adjustLeftButton"), QStringLiteral("Micro-Adjust left"));
    adjustRightButton =
        spokenAs(arrow(Qt::RightArrow, "adjustRightButton"), QStringLiteral("Micro-Adjust right"));

    setupFileEdit =
        spokenAs(field(session.setupFile(), "setupFileEdit"), QStringLiteral("setup file"));
    setupDescriptionEdit = spokenAs(field(session.setupDescription(), "setupDescriptionEdit"),
                                    QStringLiteral("setup description"));
    hideDescriptionsButton =
        spokenAs(named(new QPushButton(QStringLiteral("Hide"), s), "hideDescriptionsButton"),
                 QStringLiteral("Hide descriptions"));

    overlay = new CourseOverlay(*drawingSurface, *column, *pictureMenu, session, courseDisplay,
                                {services.fileDialog, services.messages, services.pictures},
                                courseVideo.stillPicture(), this);
    overlay->makeDraggable(gridLockedLabel);
    blackLabel(microAdjustLabel);
    smallType(microAdjustLabel);
    transport = new VideoTransport(courseVideo, column);
    new VideoMenu(menuBar(), courseVideo, services.fileDialog, programPlace.folder);
    transport->installShortcuts(this);
    layOutColumn();
    connectControls();
}

void CalibrationScreen::connectControls()
{
    connect(loadSetupAction, &QAction::triggered, this, &CalibrationScreen::loadSetup);
    connect(saveSetupAction, &QAction::triggered, this, &CalibrationScreen::saveSetup);
    connect(exitAction, &QAction::triggered, this, &CalibrationScreen::leaveScreen);
    connect(completeButton, &QPushButton::clicked, this, &CalibrationScreen::complete);
    connect(selectGridButton, &QPushButton::clicked, this, &CalibrationScreen::selectNextGrid);
    connect(gridLockCheck, &QCheckBox::clicked, this, &CalibrationScreen::toggleGridLock);
    connect(hideDescriptionsButton, &QPushButton::clicked, this,
            &CalibrationScreen::toggleDescriptions);
    connect(drawingSurface, &DrawingSurface::mousePressed, this, &CalibrationScreen::markBuoyAt);
    const std::array<std::pair<QToolButton*, AdjustDirection>, 4> arrows{
        {{adjustUpButton, AdjustDirection::Up},
         {adjustDownButton, AdjustDirection::Down},
         {adjustLeftButton, AdjustDirection::Left},
         {adjustRightButton, AdjustDirection::Right}}};
    for (const auto& [button, direction] : arrows)
        connect(button, &QToolButton::clicked, this,
                [this, d = direction] { session.nudge(selectedBuoy(), d); });

    for (const BoxControl& c : kBoxControls) {
        const CoordinateBox b = c.box;
        connect(box(b), &QLineEdit::textChanged, this, [this, b] { boxEdited(b); });
        // A typed mark moves once the operator is done with the box, not on each keystroke.
        if (b.kind == BoxKind::ScreenX || b.kind == BoxKind::ScreenY)
            connect(box(b), &QLineEdit::editingFinished, this,
                    [this, b] { session.finishTypedMark(b); });
    }
    connect(setupFileEdit, &QLineEdit::textChanged, &session, &CalibrationSession::editSetupFile);
    connect(setupDescriptionEdit, &QLineEdit::textChanged, &session,
            &CalibrationSession::editSetupDescription);
}

void CalibrationScreen::placeControls()
{
    // Without a window manager (Xvfb) a maximised window keeps its old size unless told.
    const QScreen* display = screen();
    const QRect available = display ? display->availableGeometry() : QRect(0, 0, 1024, 768);
    setGeometry(available);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void CalibrationScreen::layOutColumn()
{
    QVBoxLayout* layout = controlColumn->layout();
    auto row = [this](std::initializer_list<QWidget*> widgets) {
        return controlColumn->row(widgets, false);
    };

    auto* buoys = new QGridLayout(buoySelectionGroup);
    buoys->setContentsMargins(ControlColumn::kMargin, 0, ControlColumn::kMargin,
                              ControlColumn::kMargin);
    buoys->setVerticalSpacing(0);
    buoys->addWidget(upperLeftOption, 0, 0);
    buoys->addWidget(upperRightOption, 0, 1);
    buoys->addWidget(lowerLeftOption, 1, 0);
    buoys->addWidget(lowerRightOption, 1, 1);
    layout->addWidget(buoySelectionGroup);

    setupStateLabel->setFixedSize(kStateIconSize, kStateIconSize);
    setupStateLabel->setScaledContents(true);
    row({selectGridButton, setupStateLabel, completeButton})->setStretch(0, 1);
    row({gridLockCheck, gridLockedLabel});

    // Each buoy's screen row over its survey row, the buoy named at their left; the jump
    // point last.
    QGridLayout* boxes = controlColumn->grid();
    const std::array<std::pair<Buoy, std::array<QLabel*, 2>>, 4> buoyRows{
        {{Buoy::UpperLeft, {upperLeftScreenLabel, upperLeftSurveyLabel}},
         {Buoy::UpperRight, {upperRightScreenLabel, upperRightSurveyLabel}},
         {Buoy::LowerLeft, {lowerLeftScreenLabel, lowerLeftSurveyLabel}},
         {Buoy::LowerRight, {lowerRightScreenLabel, lowerRightSurveyLabel}}}};
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
    boxes->addWidget(jumpLabel, r, 1);
    boxes->addWidget(box({BoxKind::JumpX}), r, 2);
    boxes->addWidget(box({BoxKind::JumpY}), r, 3);
    boxes->setColumnStretch(2, 1);
    boxes->setColumnStretch(3, 1);
    for (QLineEdit* b : coordinateBoxes)
        b->setMinimumWidth(kCoordinateBoxWidth);

    auto* arrows = new QGridLayout;
    arrows->setSpacing(0);
    arrows->addWidget(microAdjustLabel, 0, 0, 1, 3);
    arrows->addWidget(adjustUpButton, 1, 1);
    arrows->addWidget(adjustLeftButton, 2, 0);
    arrows->addWidget(adjustRightButton, 2, 2);
    arrows->addWidget(adjustDownButton, 3, 1);
    for (QToolButton* b : {adjustUpButton, adjustLeftButton, adjustRightButton, adjustDownButton})
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
    row({setupFileEdit, hideDescriptionsButton})->setStretch(0, 1);
    layout->addWidget(setupDescriptionEdit);

    controlColumn->keepPlacesWhenHidden();
    placeColumn();
    drawingSurface->installEventFilter(this);
}

void CalibrationScreen::placeColumn()
{
    column->setGeometry(0, 0, kControlColumnWidth, drawingSurface->height());
}
