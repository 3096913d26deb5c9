// The course drawn over the picture on the calibration screen: the overlay buttons, the cross
// size and the draggable labels, the accuracy indicators and the background picture, driven
// through the real widgets with the platform fakes. The rules and the report are the course
// display session's (tests/course_display/course_display_session_test.cpp).

#include "calibration/ui/calibration_screen.h"
#include "common/twips.h"
#include "course_display/accuracy_check.h"
#include "course_display/background_picture.h"
#include "course_display/overlay_geometry.h"
#include "picture/ui/drawing_surface.h"
#include "support/calibration_screen_driver.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

class CourseOverlayTest : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        installResources();
        start();
        chooseResultsFolder();
        screens.openCalibration();
        grid = &screens.calibrationScreen();
        ui.emplace(*grid);
    }

    void loadSlalom()
    {
        fake.fileDialog.answers.push_back(QDir(state.place.folder).filePath("SlalomOK.ipt"));
        ui->loadSetup();
        ASSERT_TRUE(state.calibration.complete);
    }
    void loadPicture(const QString& path)
    {
        fake.fileDialog.answers.push_back(path);
        ui->loadPicture();
    }
    QString slalomPicture() const
    {
        return QDir(pictureFolder(state.place.folder)).filePath("slalom_course.png");
    }
    QStringList messages()
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    QString reportPath() const { return QDir(results.path()).filePath("acc1207.txt"); }
    const QImage& layer() { return grid->surface().drawingLayer(); }
    bool drawnAt(QPoint p) { return qAlpha(layer().pixel(p)) != 0; }
    static QPoint pixel(Point2 twips) { return {twipsToPixels(twips.x), twipsToPixels(twips.y)}; }
    // Press, drag by (dx, dy) pixels and release on a label, as the mouse does.
    void drag(QWidget* label, QPoint from, QPoint by)
    {
        QTest::mousePress(label, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + by), label->mapToGlobal(from + by),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        // The label has moved under the pointer: the release lands on the grabbed point.
        QTest::mouseRelease(label, Qt::LeftButton, {}, from);
    }

    CalibrationScreen* grid = nullptr;
    std::optional<CalibrationScreenDriver> ui;
};

// ---- cross size -----------------------------------------------------------------------------

class CrossSizeOnScreen : public CourseOverlayTest, public testing::WithParamInterface<int>
{
};

TEST_P(CrossSizeOnScreen, MarksGetACircleOfTwiceTheCrossSize)
{
    const int size = GetParam();
    loadSlalom();
    ui->crossSize()->setValue(size);
    EXPECT_EQ(state.display.crossSize, size);
    ui->drawBuoys();
    // The circle around the upper left mark (5190, 1815) passes through its left-most point.
    const QPoint mark = pixel({5190, 1815});
    EXPECT_TRUE(drawnAt(mark - QPoint(twipsToPixels(2.0 * size), 0)));
    EXPECT_FALSE(drawnAt(mark - QPoint(twipsToPixels(2.0 * size) + 4, 0)));
}

INSTANTIATE_TEST_SUITE_P(ScrollValues, CrossSizeOnScreen, testing::Values(15, 90));

TEST_F(CourseOverlayTest, CrossSizeScrollBarStepsByFifteenFromFifteenToOneHundredFive)
{
    auto* bar = ui->crossSize();
    EXPECT_EQ(bar->value(), 90);
    EXPECT_EQ(bar->minimum(), 15);
    EXPECT_EQ(bar->maximum(), 105);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 105);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar->value(), 90);
}

// ---- Draw Buoys and Show Course ---------------------------------------------------------------

TEST_F(CourseOverlayTest, ShowCourseDrawsExactlyTheTwelveGuideBuoyCrosses)
{
    loadSlalom();
    grid->surface().clearDrawing();
    ui->showCourse();
    const CourseCrosses expected = showCourseShapes(state.calibration.transform, 90, kMarkPenWidth);
    ASSERT_EQ(expected.screenPoints.size(), 12u);
    const int arm = twipsToPixels(90);
    for (const Point2& centre : expected.screenPoints) {
        const QPoint c = pixel(centre);
        EXPECT_TRUE(drawnAt(c));
        EXPECT_TRUE(drawnAt(c + QPoint(arm - 1, 0)));
        EXPECT_TRUE(drawnAt(c - QPoint(0, arm - 1)));
    }
    // Nothing else: every drawn pixel belongs to one of the twelve crosses.
    int stray = 0;
    for (int y = 0; y < layer().height(); ++y)
        for (int x = 0; x < layer().width(); ++x) {
            if (!drawnAt({x, y}))
                continue;
            bool onCross = false;
            for (const Point2& centre : expected.screenPoints) {
                const QPoint d = QPoint(x, y) - pixel(centre);
                onCross = onCross || (std::abs(d.x()) <= arm + 1 && std::abs(d.y()) <= arm + 1);
            }
            stray += onCross ? 0 : 1;
        }
    EXPECT_EQ(stray, 0);

    const QImage once = layer();
    ui->showCourse();
    EXPECT_EQ(layer(), once);
    ui->drawBuoys();
    EXPECT_FALSE(drawnAt(pixel(expected.screenPoints[0]))); // only the marks remain
    EXPECT_TRUE(drawnAt(pixel({5190, 1815})));
}

TEST_F(CourseOverlayTest, DrawBuoysAndShowCourseNeedACompleteSetup)
{
    const QImage before = layer();
    ui->drawBuoys();
    ui->showCourse();
    const QString refusal = QString::fromLatin1(kSetupNotOkMessage);
    EXPECT_EQ(messages(), QStringList({refusal, refusal}));
    EXPECT_EQ(layer(), before);

    loadSlalom();
    QTest::keyClicks(ui->box({BoxKind::JumpX}), "1"); // any edit makes it incomplete
    ASSERT_FALSE(state.calibration.complete);
    grid->surface().clearDrawing();
    ui->showCourse();
    EXPECT_EQ(messages().size(), 3);
    EXPECT_EQ(layer().pixelColor(0, 0).alpha(), 0);
}

// ---- label drag -------------------------------------------------------------------------------

TEST_F(CourseOverlayTest, DraggingTheCrossSizeLabelTakesTheScrollBarAlong)
{
    QWidget* label = ui->crossSizeLabel();
    QWidget* bar = ui->crossSize();
    const QPoint labelAt = label->pos();
    const QPoint barAt = bar->pos();
    drag(label, {5, 5}, {-20, -3}); // 300 twips to the left, 45 up
    EXPECT_EQ(label->pos(), labelAt + QPoint(-20, -3));
    EXPECT_EQ(bar->pos(), barAt + QPoint(-20, -3));
    // A move after the release drags nothing.
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 5), label->mapToGlobal(QPoint(40, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    EXPECT_EQ(label->pos(), labelAt + QPoint(-20, -3));
}

TEST_F(CourseOverlayTest, DraggingGridLockedMovesOnlyThatLabel)
{
    loadSlalom();
    ui->clickGridLock();
    QWidget* label = ui->gridLockedLabel();
    ASSERT_TRUE(label->isVisible());
    const QPoint at = label->pos();
    const QPoint barAt = ui->crossSize()->pos();
    drag(label, {10, 10}, {30, 40});
    EXPECT_EQ(label->pos(), at + QPoint(30, 40));
    EXPECT_EQ(ui->crossSize()->pos(), barAt);
}

// ---- accuracy check ---------------------------------------------------------------------------

TEST_F(CourseOverlayTest, AccuracyCheckPlacesFortyTwoIndicatorsOnThePicture)
{
    loadSlalom();
    ASSERT_TRUE(ui->accuracyButton()->isVisible());
    EXPECT_FALSE(ui->clearAccuracyButton()->isVisible());
    ui->checkAccuracy();
    EXPECT_EQ(ui->visibleIndicators(), 42);
    const CourseTransform t = state.calibration.transform;
    for (int a = 0; a < kAccuracyColumns; ++a)
        for (int b = 0; b < kAccuracyRows; ++b) {
            QLabel* l = ui->indicator(b + 6 * a);
            const Point2 s = t.toScreen(accuracyGridPoint(b, a))->point;
            EXPECT_EQ(l->pos(), pixel({s.x, s.y + 15 + 60})) << b << "," << a;
            EXPECT_EQ(l->text(), " .01") << b << "," << a; // Detail is chosen at start
            EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(Qt::black));
            EXPECT_FALSE(l->autoFillBackground());
        }
    EXPECT_TRUE(ui->clearAccuracyButton()->isVisible());
    EXPECT_TRUE(drawnAt(pixel({5190, 1815}))); // the marks redrawn
    EXPECT_TRUE(QFile::exists(reportPath()));
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
}

TEST_F(CourseOverlayTest, DisplayOptionsChangeTheIndicatorTexts)
{
    loadSlalom();
    EXPECT_FALSE(ui->accuracyDisplayGroup()->isVisible());
    ui->chooseAdvancedAccuracy();
    EXPECT_TRUE(ui->accuracyDisplayGroup()->isVisible());
    EXPECT_TRUE(ui->advancedAccuracyOption()->isChecked());
    EXPECT_TRUE(ui->displayOption(AccuracyDisplay::Detail)->isChecked());
    ui->chooseDisplay(AccuracyDisplay::HomologationLevel);
    ui->checkAccuracy();
    EXPECT_EQ(ui->indicator(0)->text(), "R");
    ui->chooseDisplay(AccuracyDisplay::Distance);
    ui->checkAccuracy();
    // Jump point (0, 0): the upper right grid point lies 27 m down the course.
    const double d = ui->indicator(0)->text().toDouble();
    EXPECT_GT(d, 29.0);
    EXPECT_LT(d, 29.3);
}

TEST_F(CourseOverlayTest, IndicatorsGoWithClearAndWithEveryInvalidation)
{
    loadSlalom();
    ui->checkAccuracy();
    ui->clearAccuracy();
    EXPECT_EQ(ui->visibleIndicators(), 0);
    EXPECT_FALSE(ui->clearAccuracyButton()->isVisible());

    ui->checkAccuracy();
    QTest::keyClicks(ui->box({BoxKind::SurveyY, Buoy::UpperLeft}), "5");
    EXPECT_EQ(ui->visibleIndicators(), 0);
    EXPECT_FALSE(ui->accuracyButton()->isVisible());
    EXPECT_FALSE(ui->clearAccuracyButton()->isVisible());

    loadSlalom();
    ui->checkAccuracy();
    ui->markBuoy(Buoy::UpperLeft, {300, 300});
    EXPECT_EQ(ui->visibleIndicators(), 0);
}

// ---- background picture -----------------------------------------------------------------------

TEST_F(CourseOverlayTest, PictureLoadsFromThePictureFolderAndStaysUnderTheMarks)
{
    loadSlalom();
    loadPicture(slalomPicture());
    ASSERT_EQ(fake.fileDialog.requests.size(), 2u);
    EXPECT_EQ(fake.fileDialog.requests[1].folder, pictureFolder(state.place.folder));
    ASSERT_TRUE(grid->surface().hasBackgroundPicture());
    const QImage picture = grid->surface().backgroundPicture();

    ui->drawBuoys();
    EXPECT_EQ(grid->surface().backgroundPicture(), picture);
    // The picture is scaled beside the control column; the marks follow it.
    const QImage seen = grid->surface().composed();
    const PictureMapping m = grid->surface().mapping();
    auto shown = [&m](Point2 twips) {
        const PlanePoint p = m.toSurface(twips.x, twips.y);
        return QPoint(int(p.x), int(p.y));
    };
    const QPoint far = shown({20 * 15, 400 * 15}); // open water, far from any mark
    const QColor water = picture.pixelColor(20, 400);
    EXPECT_NEAR(seen.pixelColor(far).red(), water.red(), 24);
    EXPECT_NEAR(seen.pixelColor(far).blue(), water.blue(), 24);
    EXPECT_EQ(seen.pixelColor(shown({5190, 1815})), QColor(Qt::white));

    ui->clearPicture();
    EXPECT_FALSE(grid->surface().hasBackgroundPicture());
    EXPECT_EQ(grid->surface().composed().pixelColor(QPoint(600, 400)), QColor(255, 0, 255));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(CourseOverlayTest, AnUnreadablePictureChangesNothingAndSaysNothing)
{
    loadPicture(slalomPicture());
    const QImage picture = grid->surface().backgroundPicture();
    ASSERT_FALSE(picture.isNull());
    const QString notAPicture = QDir(state.place.folder).filePath("SlalomOK.ipt");
    loadPicture(notAPicture);
    loadPicture(QDir(state.place.folder).filePath("no such picture.png"));
    fake.fileDialog.answers.push_back(std::nullopt); // cancel
    ui->loadPicture();
    EXPECT_EQ(grid->surface().backgroundPicture(), picture);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(CourseOverlayTest, PasteTakesTheClipboardPictureOrSaysThereIsNone)
{
    loadPicture(slalomPicture());
    const QImage picture = grid->surface().backgroundPicture();
    ui->pastePicture();
    EXPECT_EQ(grid->surface().backgroundPicture(), picture);
    ASSERT_EQ(messages(), QStringList{QString::fromLatin1(kNoClipboardPictureMessage)});

    QImage pasted(64, 48, QImage::Format_RGB32);
    pasted.fill(Qt::darkGreen);
    fake.pictures.clipboard = pasted;
    ui->pastePicture();
    EXPECT_EQ(grid->surface().backgroundPicture(), pasted);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

} // namespace
