#include "course_display/ui/course_overlay.h"

#include "app/program_place.h"
#include "app/run_particulars.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "common/twips.h"
#include "course_display/background_picture.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/ui/picture_source.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {

// The calibration screen's title, which its messages carry.
const QString kScreenTitle = QStringLiteral("Grid Setup");
constexpr int kGap = 6;
constexpr int kCrossSizeWidth = 108;

} // namespace

CourseOverlay::CourseOverlay(DrawingSurface& surface, QWidget& controls, QMenu& pictureMenu,
                             Platform& platform, const ProgramPlace& place,
                             const RunParticulars& run, const Calibration& calibration,
                             const GridSlots& slots, DisplaySettings& display,
                             CoursePicture& coursePicture, std::function<ShownSetup()> shownSetup,
                             QObject* parent)
    : QObject(parent), surface(surface), controls(controls), platform(platform),
      programPlace(place), run(run), calibration(calibration), slots(slots), display(display),
      coursePicture(coursePicture), shownSetup(std::move(shownSetup))
{
    buildControls(pictureMenu);
    display.crossSize = Setup_Cross_size->value();
    circleRadius_ = crossRadiusFor(Setup_Cross_size->value());
    withdrawAccuracyCheck();
    CrossSizeLabel->setAutoFillBackground(true);
    CrossSizeLabel->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
}

void CourseOverlay::buildControls(QMenu& pictureMenu)
{
    QWidget* s = &controls;
    auto* mnuLoadPicture = named(pictureMenu.addAction(QStringLiteral("Load &Picture")),
                                 QStringLiteral("mnuLoadPicture"));
    auto* mnuClearPicture = named(pictureMenu.addAction(QStringLiteral("&Clear Picture")),
                                  QStringLiteral("mnuClearPicture"));
    auto* mnuPaste = named(pictureMenu.addAction(QStringLiteral("P&aste Picture from Clipboard")),
                           QStringLiteral("mnuPaste"));

    CrossSizeLabel = named(new QLabel(QStringLiteral("Cross Size"), s), "CrossSizeLabel");
    CrossSizeLabel->setAlignment(Qt::AlignCenter);
    Setup_Cross_size = named(new QScrollBar(Qt::Horizontal, s), "Setup_Cross_size");
    Setup_Cross_size->setAccessibleName(QStringLiteral("Cross Size"));
    Setup_Cross_size->setRange(CrossSizeScroll::Min, CrossSizeScroll::Max);
    Setup_Cross_size->setSingleStep(CrossSizeScroll::SmallChange);
    Setup_Cross_size->setPageStep(CrossSizeScroll::LargeChange);
    Setup_Cross_size->setValue(CrossSizeScroll::Initial);
    makeDraggable(CrossSizeLabel, Setup_Cross_size);

    show_alignment = named(new QPushButton(QStringLiteral("Draw Buoys"), s), "show_alignment");
    btnShowAllBuoys = named(new QPushButton(QStringLiteral("Show Course"), s), "btnShowAllBuoys");
    btnAccuracyCheck = named(new QPushButton(QStringLiteral("Accuracy"), s), "btnAccuracyCheck");
    btnClearAccuracy =
        named(new QPushButton(QStringLiteral("Clear Accuracy Values"), s), "btnClearAccuracy");
    for (QPushButton* b : {show_alignment, btnShowAllBuoys, btnAccuracyCheck, btnClearAccuracy})
        b->setAccessibleName(b->text());
    btnClearAccuracy->hide();
    fmAccuracyDisplay = named(new QGroupBox(QStringLiteral("Accuracy "), s), "fmAccuracyDisplay");
    optAdvancedAccuracy = named(new QRadioButton(QStringLiteral("Advanced"), fmAccuracyDisplay),
                                "optAdvancedAccuracy");
    optAdvancedAccuracy->setChecked(true);
    // Alone in its frame: an exclusive group keeps a second click from clearing it.
    auto* advancedGroup = new QButtonGroup(this);
    advancedGroup->addButton(optAdvancedAccuracy);
    fmAccuracyConfig = named(new QGroupBox(QStringLiteral("Display"), s), "fmAccuracyConfig");
    optDisplayDistance =
        named(new QRadioButton(QStringLiteral("Distance"), fmAccuracyConfig), "optDisplayDistance");
    optDetailMeasurement = named(new QRadioButton(QStringLiteral("Detail "), fmAccuracyConfig),
                                 "optDetailMeasurement");
    optHomolgationLevel =
        named(new QRadioButton(QStringLiteral("Hom.Lvl"), fmAccuracyConfig), "optHomolgationLevel");
    optDetailMeasurement->setChecked(true);
    optAdvancedAccuracy->setAccessibleName(QStringLiteral("Advanced accuracy"));
    optDisplayDistance->setAccessibleName(QStringLiteral("Display distance"));
    optDetailMeasurement->setAccessibleName(QStringLiteral("Display detail"));
    optHomolgationLevel->setAccessibleName(QStringLiteral("Display homologation level"));
    for (size_t i = 0; i < AccuracyIndicator.size(); ++i) {
        QLabel* l = new QLabel(&surface);
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

    connect(show_alignment, &QPushButton::clicked, this, &CourseOverlay::show_alignment_Click);
    connect(btnShowAllBuoys, &QPushButton::clicked, this, &CourseOverlay::btnShowAllBuoys_Click);
    connect(btnAccuracyCheck, &QPushButton::clicked, this, &CourseOverlay::btnAccuracyCheck_Click);
    connect(btnClearAccuracy, &QPushButton::clicked, this, &CourseOverlay::btnClearAccuracy_Click);
    connect(optAdvancedAccuracy, &QRadioButton::clicked, this,
            &CourseOverlay::optAdvancedAccuracy_Click);
    connect(mnuLoadPicture, &QAction::triggered, this, &CourseOverlay::mnuLoadPicture_Click);
    connect(mnuClearPicture, &QAction::triggered, this, &CourseOverlay::mnuClearPicture_Click);
    connect(mnuPaste, &QAction::triggered, this, &CourseOverlay::mnuPaste_Click);
    connect(Setup_Cross_size, &QScrollBar::valueChanged, this,
            &CourseOverlay::Setup_Cross_size_Change);
    connect(&surface, &DrawingSurface::mappingChanged, this,
            &CourseOverlay::placeAccuracyIndicators);
}

void CourseOverlay::layOutCrossSize(QBoxLayout* row)
{
    auto* crossSize = new QVBoxLayout;
    crossSize->setSpacing(0);
    crossSize->addStretch(1);
    crossSize->addWidget(CrossSizeLabel);
    crossSize->addWidget(Setup_Cross_size);
    Setup_Cross_size->setMinimumWidth(kCrossSizeWidth);
    row->addLayout(crossSize);
}

void CourseOverlay::layOutButtons(QBoxLayout* column)
{
    auto row = [column](std::initializer_list<QWidget*> widgets) {
        auto* r = new QHBoxLayout;
        r->setSpacing(kGap);
        for (QWidget* w : widgets)
            r->addWidget(w, 1);
        column->addLayout(r);
    };
    row({show_alignment, btnShowAllBuoys});
    row({btnAccuracyCheck, btnClearAccuracy});

    auto* advanced = new QVBoxLayout(fmAccuracyDisplay);
    advanced->setContentsMargins(kGap, 0, kGap, kGap / 2);
    advanced->addWidget(optAdvancedAccuracy);
    auto* options = new QGridLayout(fmAccuracyConfig);
    options->setContentsMargins(kGap, 0, kGap, kGap / 2);
    options->setVerticalSpacing(0);
    options->addWidget(optDisplayDistance, 0, 0);
    options->addWidget(optDetailMeasurement, 0, 1);
    options->addWidget(optHomolgationLevel, 1, 0, 1, 2);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(kGap);
    groups->addWidget(fmAccuracyDisplay, 0, Qt::AlignTop);
    groups->addWidget(fmAccuracyConfig, 1);
    column->addLayout(groups);
}

// ---- marks, course, cross size -----------------------------------------------------------

CrossSize CourseOverlay::crossSize() const
{
    return {Setup_Cross_size->value(), Setup_Cross_size->maximum(), circleRadius_};
}

void CourseOverlay::showGrid()
{
    surface.clearDrawing();
    drawWidth = kMarkPenWidth;
    const ShowGridDrawing drawing = showGridShapes(calibration, Setup_Cross_size->value());
    circleRadius_ = drawing.crossRadius;
    surface.draw(drawing.shapes);
}

void CourseOverlay::show_alignment_Click()
{
    if (!calibration.complete) {
        platform.messages.plain(QString::fromLatin1(kSetupNotOkMessage));
        return;
    }
    showGrid();
}

void CourseOverlay::btnShowAllBuoys_Click()
{
    if (!calibration.complete) {
        platform.messages.plain(QString::fromLatin1(kSetupNotOkMessage));
        return;
    }
    surface.draw(
        showCourseShapes(calibration.transform, Setup_Cross_size->value(), drawWidth).shapes);
}

void CourseOverlay::Setup_Cross_size_Change()
{
    // The measurement screen draws its marks with the same cross size. The circle radius
    // follows at the next redraw of the marks: until then it must stay the radius of the
    // circles on the surface, which marking erases with it.
    display.crossSize = Setup_Cross_size->value();
}

// ---- label drag ----------------------------------------------------------------------------

void CourseOverlay::makeDraggable(QWidget* label, QWidget* companion)
{
    draggables.push_back({label, companion, {}});
    label->installEventFilter(this);
    label->setCursor(Qt::SizeAllCursor);
}

bool CourseOverlay::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = std::find_if(draggables.begin(), draggables.end(),
                                 [watched](const Draggable& d) { return d.label == watched; });
    if (it == draggables.end())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const QPointF p = static_cast<QMouseEvent*>(event)->position();
        it->drag.press(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
        return true;
    }
    case QEvent::MouseMove: {
        const QPointF p = static_cast<QMouseEvent*>(event)->position();
        const auto offset = it->drag.move(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
        if (!offset)
            return false;
        const QPoint by(twipsToPixels(offset->dx), twipsToPixels(offset->dy));
        it->label->move(it->label->pos() + by);
        if (it->companion)
            it->companion->move(it->companion->pos() + by);
        return true;
    }
    case QEvent::MouseButtonRelease:
        it->drag.release();
        return true;
    default:
        return false;
    }
}

// ---- accuracy check ------------------------------------------------------------------------

void CourseOverlay::offerAccuracyCheck()
{
    btnAccuracyCheck->show();
    // The display options must be reachable after a load or Complete too, not only after a
    // grid selection.
    fmAccuracyDisplay->show();
}

void CourseOverlay::withdrawAccuracyCheck()
{
    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    // Nothing is left to clear once the indicators are gone.
    btnClearAccuracy->hide();
    clearAccuracyIndicators();
}

void CourseOverlay::clearAccuracyIndicators()
{
    for (QLabel* l : AccuracyIndicator)
        l->hide();
}

AccuracyDisplay CourseOverlay::accuracyDisplay() const
{
    if (optHomolgationLevel->isChecked())
        return AccuracyDisplay::HomologationLevel;
    if (optDisplayDistance->isChecked())
        return AccuracyDisplay::Distance;
    return AccuracyDisplay::Detail;
}

void CourseOverlay::showAccuracyIndicators(const AccuracyCheckResult& result)
{
    for (const AccuracyPoint& p : result.points) {
        QLabel* label = AccuracyIndicator[size_t(p.index)];
        label->hide();
        if (!p.placed)
            continue;
        label->setText(p.text);
        label->adjustSize();
        indicatorAt[size_t(p.index)] = {p.left, p.top};
        // On the picture, under the control column.
        label->stackUnder(&controls);
        label->show();
    }
    placeAccuracyIndicators();
}

void CourseOverlay::placeAccuracyIndicators()
{
    const PictureMapping& m = surface.mapping();
    for (size_t i = 0; i < AccuracyIndicator.size(); ++i) {
        const PlanePoint at = m.toSurface(indicatorAt[i].x, indicatorAt[i].y);
        AccuracyIndicator[i]->move(int(std::lround(at.x)), int(std::lround(at.y)));
    }
}

void CourseOverlay::btnAccuracyCheck_Click()
{
    const QDateTime now = platform.clock.now();
    const ShownSetup shown = shownSetup();
    const AccuracyCheckResult result =
        runAccuracyCheck(accuracyInputFrom(calibration, slots.current, shown.boxes, shown.file,
                                           shown.description, accuracyDisplay(), now));
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

void CourseOverlay::btnClearAccuracy_Click()
{
    btnClearAccuracy->hide();
    for (int i = 0; i <= kClearAccuracyLastIndex; ++i)
        AccuracyIndicator[size_t(i)]->hide();
}

void CourseOverlay::optAdvancedAccuracy_Click()
{
    fmAccuracyConfig->show();
}

// ---- background picture --------------------------------------------------------------------

void CourseOverlay::mnuLoadPicture_Click()
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

void CourseOverlay::mnuClearPicture_Click()
{
    coursePicture.setImage(QImage());
}

void CourseOverlay::mnuPaste_Click()
{
    const QImage picture = platform.pictures.clipboardImage();
    if (picture.isNull()) {
        platform.messages.plain(QString::fromLatin1(kNoClipboardPictureMessage), kScreenTitle);
        return;
    }
    coursePicture.setImage(picture);
}
