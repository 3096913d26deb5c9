#include "course_display/ui/course_overlay.h"

#include "calibration/calibration_session.h"
#include "common/twips.h"
#include "course_display/course_display_session.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/screen_layout.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
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

constexpr int kGap = 6;
constexpr int kCrossSizeWidth = 108;

} // namespace

CourseOverlay::CourseOverlay(DrawingSurface& surface, QWidget& controls, QMenu& pictureMenu,
                             CalibrationSession& calibration, CourseDisplaySession& session,
                             Services services, CoursePicture& coursePicture, QObject* parent)
    : QObject(parent), surface(surface), controls(controls), calibration(calibration),
      session(session), services(services), coursePicture(coursePicture)
{
    buildControls(pictureMenu);
    calibration.setCrossSize(crossSizeSlider->value());
    calibration.setCircleRadius(crossRadiusFor(crossSizeSlider->value()));
    withdrawAccuracyCheck();
    crossSizeLabel->setAutoFillBackground(true);
    crossSizeLabel->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
}

void CourseOverlay::buildControls(QMenu& pictureMenu)
{
    QWidget* s = &controls;
    auto* loadPictureAction = named(pictureMenu.addAction(QStringLiteral("Load &Picture")),
                                    QStringLiteral("loadPictureAction"));
    auto* clearPictureAction = named(pictureMenu.addAction(QStringLiteral("&Clear Picture")),
                                     QStringLiteral("clearPictureAction"));
    auto* pastePictureAction =
        named(pictureMenu.addAction(QStringLiteral("P&aste Picture from Clipboard")),
              QStringLiteral("pastePictureAction"));

    crossSizeLabel = named(new QLabel(QStringLiteral("Cross Size"), s), "crossSizeLabel");
    crossSizeLabel->setAlignment(Qt::AlignCenter);
    crossSizeSlider = named(new QScrollBar(Qt::Horizontal, s), "crossSizeSlider");
    crossSizeSlider->setAccessibleName(QStringLiteral("Cross Size"));
    crossSizeSlider->setRange(CrossSizeScroll::Min, CrossSizeScroll::Max);
    crossSizeSlider->setSingleStep(CrossSizeScroll::SmallChange);
    crossSizeSlider->setPageStep(CrossSizeScroll::LargeChange);
    crossSizeSlider->setValue(CrossSizeScroll::Initial);
    makeDraggable(crossSizeLabel, crossSizeSlider);

    drawBuoysButton = named(new QPushButton(QStringLiteral("Draw Buoys"), s), "drawBuoysButton");
    showCourseButton = named(new QPushButton(QStringLiteral("Show Course"), s), "showCourseButton");
    accuracyButton = named(new QPushButton(QStringLiteral("Accuracy"), s), "accuracyButton");
    clearAccuracyButton =
        named(new QPushButton(QStringLiteral("Clear Accuracy Values"), s), "clearAccuracyButton");
    for (QPushButton* b : {drawBuoysButton, showCourseButton, accuracyButton, clearAccuracyButton})
        b->setAccessibleName(b->text());
    clearAccuracyButton->hide();
    advancedAccuracyGroup =
        named(new QGroupBox(QStringLiteral("Accuracy "), s), "advancedAccuracyGroup");
    advancedAccuracyOption =
        named(new QRadioButton(QStringLiteral("Advanced"), advancedAccuracyGroup),
              "advancedAccuracyOption");
    advancedAccuracyOption->setChecked(true);
    // Alone in its frame: an exclusive group keeps a second click from clearing it.
    auto* advancedGroup = new QButtonGroup(this);
    advancedGroup->addButton(advancedAccuracyOption);
    accuracyDisplayGroup =
        named(new QGroupBox(QStringLiteral("Display"), s), "accuracyDisplayGroup");
    distanceOption =
        named(new QRadioButton(QStringLiteral("Distance"), accuracyDisplayGroup), "distanceOption");
    detailOption =
        named(new QRadioButton(QStringLiteral("Detail "), accuracyDisplayGroup), "detailOption");
    homologationLevelOption =
        named(new QRadioButton(QStringLiteral("Hom.Lvl"), accuracyDisplayGroup),
              "homologationLevelOption");
    detailOption->setChecked(true);
    advancedAccuracyOption->setAccessibleName(QStringLiteral("Advanced accuracy"));
    distanceOption->setAccessibleName(QStringLiteral("Display distance"));
    detailOption->setAccessibleName(QStringLiteral("Display detail"));
    homologationLevelOption->setAccessibleName(QStringLiteral("Display homologation level"));
    for (size_t i = 0; i < accuracyIndicatorLabels.size(); ++i) {
        QLabel* l = new QLabel(&surface);
        l->setObjectName(QStringLiteral("accuracyIndicatorLabel%1").arg(i));
        // Black text straight on the picture; clicks go through to the picture beneath,
        // so a buoy under an indicator can still be marked.
        l->setAutoFillBackground(false);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setStyleSheet(QStringLiteral("background: transparent; color: black;"));
        l->hide();
        accuracyIndicatorLabels[i] = l;
    }

    connect(drawBuoysButton, &QPushButton::clicked, this, &CourseOverlay::drawBuoys);
    connect(showCourseButton, &QPushButton::clicked, this, &CourseOverlay::showCourse);
    connect(accuracyButton, &QPushButton::clicked, this, &CourseOverlay::checkAccuracy);
    connect(clearAccuracyButton, &QPushButton::clicked, this, &CourseOverlay::clearAccuracyValues);
    connect(advancedAccuracyOption, &QRadioButton::clicked, this,
            &CourseOverlay::showDisplayOptions);
    connect(loadPictureAction, &QAction::triggered, this, &CourseOverlay::loadPicture);
    connect(clearPictureAction, &QAction::triggered, this, &CourseOverlay::clearPicture);
    connect(pastePictureAction, &QAction::triggered, this, &CourseOverlay::pastePicture);
    connect(crossSizeSlider, &QScrollBar::valueChanged, this, &CourseOverlay::crossSizeChanged);
    connect(&surface, &DrawingSurface::mappingChanged, this,
            &CourseOverlay::placeAccuracyIndicators);
    connect(&session, &CourseDisplaySession::accuracyChecked, this,
            &CourseOverlay::showAccuracyResult);
    connect(&session, &CourseDisplaySession::message, this,
            [this](const QString& text, const QString& title, MessageIcon icon) {
                services.messages.show(text, title, icon);
            });
}

void CourseOverlay::layOutCrossSize(QBoxLayout* row)
{
    auto* crossSize = new QVBoxLayout;
    crossSize->setSpacing(0);
    crossSize->addStretch(1);
    crossSize->addWidget(crossSizeLabel);
    crossSize->addWidget(crossSizeSlider);
    crossSizeSlider->setMinimumWidth(kCrossSizeWidth);
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
    row({drawBuoysButton, showCourseButton});
    row({accuracyButton, clearAccuracyButton});

    auto* advanced = new QVBoxLayout(advancedAccuracyGroup);
    advanced->setContentsMargins(kGap, 0, kGap, kGap / 2);
    advanced->addWidget(advancedAccuracyOption);
    auto* options = new QGridLayout(accuracyDisplayGroup);
    options->setContentsMargins(kGap, 0, kGap, kGap / 2);
    options->setVerticalSpacing(0);
    options->addWidget(distanceOption, 0, 0);
    options->addWidget(detailOption, 0, 1);
    options->addWidget(homologationLevelOption, 1, 0, 1, 2);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(kGap);
    groups->addWidget(advancedAccuracyGroup, 0, Qt::AlignTop);
    groups->addWidget(accuracyDisplayGroup, 1);
    column->addLayout(groups);
}

// ---- marks, course, cross size -----------------------------------------------------------

void CourseOverlay::showGrid()
{
    surface.clearDrawing();
    drawWidth = kMarkPenWidth;
    const ShowGridDrawing drawing =
        showGridShapes(calibration.calibration(), crossSizeSlider->value());
    calibration.setCircleRadius(drawing.crossRadius);
    surface.draw(drawing.shapes);
}

void CourseOverlay::drawBuoys()
{
    if (session.courseDrawingAllowed())
        showGrid();
}

void CourseOverlay::showCourse()
{
    if (!session.courseDrawingAllowed())
        return;
    surface.draw(
        showCourseShapes(calibration.calibration().transform, crossSizeSlider->value(), drawWidth)
            .shapes);
}

void CourseOverlay::crossSizeChanged()
{
    // The circle radius follows at the next redraw of the marks: until then it must stay the
    // radius of the circles on the surface, which marking erases with it.
    calibration.setCrossSize(crossSizeSlider->value());
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
    accuracyButton->show();
    // The display options must be reachable after a load or Complete too, not only after a
    // grid selection.
    advancedAccuracyGroup->show();
}

void CourseOverlay::withdrawAccuracyCheck()
{
    accuracyButton->hide();
    accuracyDisplayGroup->hide();
    advancedAccuracyGroup->hide();
    // Nothing is left to clear once the indicators are gone.
    clearAccuracyButton->hide();
    clearAccuracyIndicators();
}

void CourseOverlay::clearAccuracyIndicators()
{
    for (QLabel* l : accuracyIndicatorLabels)
        l->hide();
}

AccuracyDisplay CourseOverlay::accuracyDisplay() const
{
    if (homologationLevelOption->isChecked())
        return AccuracyDisplay::HomologationLevel;
    if (distanceOption->isChecked())
        return AccuracyDisplay::Distance;
    return AccuracyDisplay::Detail;
}

void CourseOverlay::showAccuracyIndicators(const AccuracyCheckResult& result)
{
    for (const AccuracyPoint& p : result.points) {
        QLabel* label = accuracyIndicatorLabels[size_t(p.index)];
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
    for (size_t i = 0; i < accuracyIndicatorLabels.size(); ++i) {
        const PlanePoint at = m.toSurface(indicatorAt[i].x, indicatorAt[i].y);
        accuracyIndicatorLabels[i]->move(int(std::lround(at.x)), int(std::lround(at.y)));
    }
}

void CourseOverlay::checkAccuracy()
{
    session.checkAccuracy(accuracyDisplay());
}

void CourseOverlay::showAccuracyResult(const AccuracyCheckResult& result)
{
    showAccuracyIndicators(result);
    clearAccuracyButton->show();
    showGrid();
}

void CourseOverlay::clearAccuracyValues()
{
    clearAccuracyButton->hide();
    for (int i = 0; i <= kClearAccuracyLastIndex; ++i)
        accuracyIndicatorLabels[size_t(i)]->hide();
}

void CourseOverlay::showDisplayOptions()
{
    accuracyDisplayGroup->show();
}

// ---- background picture --------------------------------------------------------------------

void CourseOverlay::loadPicture()
{
    const auto request = session.startPictureLoad();
    if (!request)
        return;
    const auto path = services.fileDialog.choose(*request);
    if (!path)
        return;
    const QImage picture = services.pictures.load(*path);
    // A file that is not a picture is treated like a cancel: nothing changes, nothing said.
    if (picture.isNull())
        return;
    coursePicture.setImage(picture);
}

void CourseOverlay::clearPicture()
{
    coursePicture.setImage(QImage());
}

void CourseOverlay::pastePicture()
{
    const QImage picture = services.pictures.clipboardImage();
    if (session.takePastedPicture(!picture.isNull()))
        coursePicture.setImage(picture);
}
