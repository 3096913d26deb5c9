// The course display on the calibration screen: the overlay buttons, the cross size and
// the draggable labels, the accuracy check and the background picture, driven through the
// real widgets with the platform fakes.

#include "calibration/ui/grid_setup.h"
#include "common/twips.h"
#include "course_display/accuracy_check.h"
#include "course_display/background_picture.h"
#include "course_display/overlay_geometry.h"
#include "picture/ui/drawing_surface.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CourseDisplayScreen : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        installResources();
        start();
        chooseResultsFolder();
        StartScreenDriver(screens.startScreen()).goToSetup();
        grid = &screens.gridSetup();
    }

    template <typename T = QWidget> T* control(const char* name)
    {
        T* w = grid->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    void trigger(const char* name) { control<QAction>(name)->trigger(); }
    void loadSlalom()
    {
        fake.fileDialog.answers.push_back(QDir(state.place.folder).filePath("SlalomOK.ipt"));
        trigger("gridLoad");
        ASSERT_TRUE(state.calibration.complete);
    }
    void loadPicture(const QString& path)
    {
        fake.fileDialog.answers.push_back(path);
        trigger("mnuLoadPicture");
    }
    QString slalomPicture() const
    {
        return QDir(pictureFolder(state.place.folder)).filePath("slalom_course.png");
    }
    QLabel* indicator(int index)
    {
        return grid->findChild<QLabel*>(QStringLiteral("AccuracyIndicator_%1").arg(index));
    }
    int visibleIndicators()
    {
        int n = 0;
        for (int i = 0; i < kAccuracyIndicatorCount; ++i)
            n += indicator(i)->isVisible() ? 1 : 0;
        return n;
    }
    QStringList messages()
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    QString reportPath() const { return QDir(results.path()).filePath("acc1207.txt"); }
    QString reportText() const
    {
        QFile f(reportPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
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

    Grid_Setup* grid = nullptr;
};

// ---- cross size -----------------------------------------------------------------------------

class CrossSizeOnScreen : public CourseDisplayScreen, public testing::WithParamInterface<int>
{
};

TEST_P(CrossSizeOnScreen, MarksGetACircleOfTwiceTheCrossSize)
{
    const int size = GetParam();
    loadSlalom();
    control<QScrollBar>("Setup_Cross_size")->setValue(size);
    EXPECT_EQ(state.display.crossSize, size);
    click("show_alignment");
    // The circle around the upper left mark (5190, 1815) passes through its left-most point.
    const QPoint mark = pixel({5190, 1815});
    EXPECT_TRUE(drawnAt(mark - QPoint(twipsToPixels(2.0 * size), 0)));
    EXPECT_FALSE(drawnAt(mark - QPoint(twipsToPixels(2.0 * size) + 4, 0)));
}

INSTANTIATE_TEST_SUITE_P(ScrollValues, CrossSizeOnScreen, testing::Values(15, 90));

TEST_F(CourseDisplayScreen, CrossSizeScrollBarStepsByFifteenFromFifteenToOneHundredFive)
{
    auto* bar = control<QScrollBar>("Setup_Cross_size");
    EXPECT_EQ(bar->value(), 90);
    EXPECT_EQ(bar->minimum(), 15);
    EXPECT_EQ(bar->maximum(), 105);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 105);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar->value(), 90);
}

// ---- Draw Buoys and Show Course ---------------------------------------------------------------

TEST_F(CourseDisplayScreen, ShowCourseDrawsExactlyTheTwelveGuideBuoyCrosses)
{
    loadSlalom();
    grid->surface().clearDrawing();
    click("btnShowAllBuoys");
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
    click("btnShowAllBuoys");
    EXPECT_EQ(layer(), once);
    click("show_alignment");
    EXPECT_FALSE(drawnAt(pixel(expected.screenPoints[0]))); // only the marks remain
    EXPECT_TRUE(drawnAt(pixel({5190, 1815})));
}

TEST_F(CourseDisplayScreen, DrawBuoysAndShowCourseNeedACompleteSetup)
{
    const QImage before = layer();
    click("show_alignment");
    click("btnShowAllBuoys");
    const QString refusal = QString::fromLatin1(kSetupNotOkMessage);
    EXPECT_EQ(messages(), QStringList({refusal, refusal}));
    EXPECT_EQ(layer(), before);

    loadSlalom();
    QTest::keyClicks(control<QLineEdit>("jump_x"), "1"); // any edit makes it incomplete
    ASSERT_FALSE(state.calibration.complete);
    grid->surface().clearDrawing();
    click("btnShowAllBuoys");
    EXPECT_EQ(messages().size(), 3);
    EXPECT_EQ(layer().pixelColor(0, 0).alpha(), 0);
}

// ---- label drag -------------------------------------------------------------------------------

TEST_F(CourseDisplayScreen, DraggingTheCrossSizeLabelTakesTheScrollBarAlong)
{
    QWidget* label = control("CrossSizeLabel");
    QWidget* bar = control("Setup_Cross_size");
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

TEST_F(CourseDisplayScreen, DraggingGridLockedMovesOnlyThatLabel)
{
    loadSlalom();
    click("chkboxGridLock");
    QWidget* label = control("gridLockedLabel");
    ASSERT_TRUE(label->isVisible());
    const QPoint at = label->pos();
    const QPoint barAt = control("Setup_Cross_size")->pos();
    drag(label, {10, 10}, {30, 40});
    EXPECT_EQ(label->pos(), at + QPoint(30, 40));
    EXPECT_EQ(control("Setup_Cross_size")->pos(), barAt);
}

// ---- accuracy check ---------------------------------------------------------------------------

TEST_F(CourseDisplayScreen, AccuracyCheckPlacesFortyTwoIndicatorsAndAppendsTheReport)
{
    loadSlalom();
    ASSERT_TRUE(control("btnAccuracyCheck")->isVisible());
    EXPECT_FALSE(control("btnClearAccuracy")->isVisible());
    click("btnAccuracyCheck");
    EXPECT_EQ(visibleIndicators(), 42);
    const CourseTransform t = state.calibration.transform;
    for (int a = 0; a < kAccuracyColumns; ++a)
        for (int b = 0; b < kAccuracyRows; ++b) {
            QLabel* l = indicator(b + 6 * a);
            const Point2 s = t.toScreen(accuracyGridPoint(b, a))->point;
            EXPECT_EQ(l->pos(), pixel({s.x, s.y + 15 + 60})) << b << "," << a;
            EXPECT_EQ(l->text(), " .01") << b << "," << a; // Detail is chosen at start
            EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(Qt::black));
            EXPECT_FALSE(l->autoFillBackground());
        }
    EXPECT_TRUE(control("btnClearAccuracy")->isVisible());
    EXPECT_TRUE(drawnAt(pixel({5190, 1815}))); // Show_grid redrew the marks

    const QStringList lines = reportText().split("\r\n");
    ASSERT_GT(lines.size(), 22);
    EXPECT_EQ(lines[0], "12-07-2026  14:05:09 Accuracy Check");
    EXPECT_EQ(lines[2], QDir(state.place.folder).filePath("SlalomOK.ipt"));
    EXPECT_EQ(lines[4], "Grid Number:  1 ");
    EXPECT_EQ(lines[8], "Upper Left X,Y Pixels:  5190   1815");
    EXPECT_EQ(lines[20], "Jump X,Y Survey:  0   0");
    EXPECT_EQ(lines.filter("new method").size(), 42);

    fake.clock.nowValue = fake.clock.nowValue.addSecs(60);
    click("btnAccuracyCheck");
    EXPECT_EQ(reportText().count(" Accuracy Check\r\n"), 2);
    EXPECT_EQ(QDir(results.path()).entryList({"acc*"}), QStringList{"acc1207.txt"});
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
}

TEST_F(CourseDisplayScreen, TheScreensReportIsTheOneTheCommandLinePrints)
{
    loadSlalom();
    click("btnAccuracyCheck");
    QProcess cli;
    cli.start(cliPath(), {"accuracy", QDir(state.place.folder).filePath("SlalomOK.ipt"), "--now",
                          "2026-12-07T14:05:09", "--screen-width",
                          QString::number(state.place.screenWidthPixels)});
    ASSERT_TRUE(cli.waitForFinished(10000));
    ASSERT_EQ(cli.exitCode(), 0);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString report = reportText();
    ASSERT_FALSE(report.isEmpty());
    EXPECT_TRUE(out.endsWith(report));
}

TEST_F(CourseDisplayScreen, AnUnwritableReportSaysSoAndStillShowsTheIndicators)
{
    loadSlalom();
    const QString missing = QDir(results.path()).filePath("gone");
    chooseResultsFolder(missing);
    click("btnAccuracyCheck");
    EXPECT_EQ(visibleIndicators(), 42);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("acc1207.txt"))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
}

TEST_F(CourseDisplayScreen, DisplayOptionsChangeTheIndicatorTexts)
{
    loadSlalom();
    EXPECT_FALSE(control("fmAccuracyConfig")->isVisible());
    click("optAdvancedAccuracy");
    EXPECT_TRUE(control("fmAccuracyConfig")->isVisible());
    EXPECT_TRUE(control<QRadioButton>("optAdvancedAccuracy")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optDetailMeasurement")->isChecked());
    click("optHomolgationLevel");
    click("btnAccuracyCheck");
    EXPECT_EQ(indicator(0)->text(), "R");
    click("optDisplayDistance");
    click("btnAccuracyCheck");
    // Jump point (0, 0): the upper right grid point lies 27 m down the course.
    const double d = indicator(0)->text().toDouble();
    EXPECT_GT(d, 29.0);
    EXPECT_LT(d, 29.3);
}

TEST_F(CourseDisplayScreen, IndicatorsGoWithClearAndWithEveryInvalidation)
{
    loadSlalom();
    click("btnAccuracyCheck");
    click("btnClearAccuracy");
    EXPECT_EQ(visibleIndicators(), 0);
    EXPECT_FALSE(control("btnClearAccuracy")->isVisible());

    click("btnAccuracyCheck");
    QTest::keyClicks(control<QLineEdit>("ul_survey_y"), "5");
    EXPECT_EQ(visibleIndicators(), 0);
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_FALSE(control("btnClearAccuracy")->isVisible());

    loadSlalom();
    click("btnAccuracyCheck");
    control<QRadioButton>("upper_left_button")->click();
    QTest::mouseClick(&grid->surface(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(visibleIndicators(), 0);
}

// ---- background picture -----------------------------------------------------------------------

TEST_F(CourseDisplayScreen, PictureLoadsFromThePictureFolderAndStaysUnderTheMarks)
{
    loadSlalom();
    loadPicture(slalomPicture());
    ASSERT_EQ(fake.fileDialog.requests.size(), 2u);
    const FileDialogRequest& r = fake.fileDialog.requests[1];
    EXPECT_EQ(r.filterIndex, 4);
    EXPECT_TRUE(r.filter.startsWith("All Files (*.*)|*.*|Text Files (*.txt)|*.txt|"));
    EXPECT_TRUE(r.filter.contains("(*.png)|*.png|"));
    EXPECT_EQ(r.folder, pictureFolder(state.place.folder));
    ASSERT_TRUE(grid->surface().hasBackgroundPicture());
    const QImage picture = grid->surface().backgroundPicture();

    click("show_alignment");
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

    trigger("mnuClearPicture");
    EXPECT_FALSE(grid->surface().hasBackgroundPicture());
    EXPECT_EQ(grid->surface().composed().pixelColor(QPoint(600, 400)), QColor(255, 0, 255));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(CourseDisplayScreen, AnUnreadablePictureChangesNothingAndSaysNothing)
{
    loadPicture(slalomPicture());
    const QImage picture = grid->surface().backgroundPicture();
    ASSERT_FALSE(picture.isNull());
    const QString notAPicture = QDir(state.place.folder).filePath("SlalomOK.ipt");
    loadPicture(notAPicture);
    loadPicture(QDir(state.place.folder).filePath("no such picture.png"));
    fake.fileDialog.answers.push_back(std::nullopt); // cancel
    trigger("mnuLoadPicture");
    EXPECT_EQ(grid->surface().backgroundPicture(), picture);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(CourseDisplayScreen, PasteTakesTheClipboardPictureOrSaysThereIsNone)
{
    loadPicture(slalomPicture());
    const QImage picture = grid->surface().backgroundPicture();
    trigger("mnuPaste");
    EXPECT_EQ(grid->surface().backgroundPicture(), picture);
    ASSERT_EQ(messages(), QStringList{QString::fromLatin1(kNoClipboardPictureMessage)});

    QImage pasted(64, 48, QImage::Format_RGB32);
    pasted.fill(Qt::darkGreen);
    fake.pictures.clipboard = pasted;
    trigger("mnuPaste");
    EXPECT_EQ(grid->surface().backgroundPicture(), pasted);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

} // namespace
