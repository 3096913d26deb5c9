// The calibration screen on the picture under the screens: its controls in the same column as
// the measurement screen's, readable at each display size; the perspective check against the
// picture the marks were made on; and a calibration made on a scaled-down camera picture that
// holds where the camera model puts the course, here and on the measurement screen.

#include "calibration/ui/calibration_screen.h"
#include "course_display/accuracy_check.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "scaled_camera.h"
#include "support/calibration_screen_driver.h"
#include "support/control_column.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

namespace {

class CalibrationScreenOnPicture : public testing::Test, protected StartedProgram
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
        ASSERT_TRUE(grid->isVisible());
    }

    void loadSetup(const QString& name)
    {
        fake.fileDialog.answers.push_back(QDir(state.place.folder).filePath(name));
        ui->loadSetup();
    }
    // A video file under the screens, showing `frame`.
    void showVideoFrame(const QImage& frame)
    {
        screens.courseVideo().choose(VideoChoice::ofFile(QStringLiteral("/videos/pass.webm")));
        fake.videos.file()->ready(frame);
    }
    // A press and release at a surface position, fractional as a fine pointer reports it.
    void clickSurface(QPointF at)
    {
        DrawingSurface& s = grid->surface();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, s.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QApplication::sendEvent(&s, &e);
        }
    }
    static QPointF onSurface(const DrawingSurface& s, QPointF picturePixel)
    {
        const PlanePoint p = s.mapping().toSurface(picturePixel.x() * 15, picturePixel.y() * 15);
        return {p.x, p.y};
    }
    QStringList messages()
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }

    CalibrationScreen* grid = nullptr;
    std::optional<CalibrationScreenDriver> ui;
};

// Everything the screen can show at once: a completed setup with the accuracy options, the
// check's clear button, the grid locked, the transport of a video file, the widest texts.
TEST_F(CalibrationScreenOnPicture, EveryControlIsInTheColumnAndReadableAtEachDisplaySize)
{
    loadSetup(QStringLiteral("SlalomOK.ipt"));
    ui->chooseAdvancedAccuracy();
    ui->checkAccuracy();
    ui->clickGridLock();
    showVideoFrame(QImage(1920, 1080, QImage::Format_RGB32));
    for (QWidget* shown :
         std::initializer_list<QWidget*>{ui->accuracyDisplayGroup(), ui->clearAccuracyButton(),
                                         ui->gridLockedLabel(), ui->transport(), ui->indicator(0)})
        ASSERT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    for (Buoy b : kBuoyVisitOrder)
        ui->box({BoxKind::ScreenX, b})->setText(QStringLiteral(" 28785"));
    ui->box({BoxKind::SurveyY, Buoy::LowerLeft})->setText(QStringLiteral("-259.25"));
    ui->box({BoxKind::JumpY})->setText(QStringLiteral("-123.45"));
    // A long path is read from its beginning; a setup file's name must show whole.
    ui->setupFileLine()->setText(QStringLiteral("/home/ski/SlalomOK.ipt"));
    ui->descriptionLine()->setText(QStringLiteral("Standard slalom course, 8 m tower"));

    for (const QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
        grid->resize(size);
        ASSERT_EQ(grid->size(), size);
        QApplication::sendPostedEvents();
        const std::string at =
            std::to_string(size.width()) + " x " + std::to_string(size.height()) + ": ";
        DrawingSurface& surface = grid->surface();
        EXPECT_EQ(surface.geometry().top(), grid->menuBar()->geometry().bottom() + 1) << at;
        EXPECT_EQ(surface.geometry().bottom(), grid->height() - 1) << at;
        expectReadableControlColumn(*grid, surface, at);
        // The picture fills the rest, the same rectangle as on the measurement screen.
        EXPECT_EQ(surface.mapping().placement().x, 270) << at;
        // The indicators stay on their points as the picture scales.
        const QPointF indicatorAt = ui->indicator(0)->pos();
        const PlanePoint first = surface.mapping().toPicture(indicatorAt.x(), indicatorAt.y());
        const Point2 point = state.calibration.transform.toScreen(accuracyGridPoint(0, 0))->point;
        EXPECT_NEAR(first.x, point.x, 15 / surface.mapping().scaleX()) << at;
    }
}

// The overlay card's picture is the whole surface, so a buoy may lie under the column: a click
// between two of its controls must not mark it.
TEST_F(CalibrationScreenOnPicture, AClickOnTheColumnBetweenControlsMarksNothing)
{
    ui->selectBuoy(Buoy::UpperLeft);
    QFrame* column = ui->column();
    QTest::mouseClick(column, Qt::LeftButton, {},
                      QPoint(column->width() - 3, column->height() / 2));
    EXPECT_EQ(ui->text({BoxKind::ScreenX, Buoy::UpperLeft}), "auto");
    ui->clickPicture({400, 300});
    EXPECT_EQ(ui->text({BoxKind::ScreenX, Buoy::UpperLeft}), " 6000");
}

// The transport's keys act on this screen too, but a survey value typed with its point stays
// in its box and never steps the video.
TEST_F(CalibrationScreenOnPicture, TransportKeysReachTheVideoButNotWhileTypingASurveyValue)
{
    showVideoFrame(QImage(1024, 768, QImage::Format_RGB32));
    QApplication::setActiveWindow(grid);
    QRadioButton* button = ui->buoyOption(Buoy::UpperLeft);
    button->setFocus();
    QTest::keyClick(button, 'p');
    QTest::keyClick(button, '.');
    QLineEdit* survey = ui->box({BoxKind::SurveyX, Buoy::UpperLeft});
    survey->setFocus();
    survey->selectAll();
    QTest::keyClicks(survey, "2.75,");
    EXPECT_EQ(survey->text(), "2.75,");
    EXPECT_EQ(fake.videos.file()->calls, (QStringList{"play", "stepForward"}));
}

struct PerspectiveCase
{
    int pictureWidth; // 0: the overlay card
    int screenWidth;
    const char* warning; // null: none
};

void PrintTo(const PerspectiveCase& c, std::ostream* os)
{
    *os << (c.pictureWidth > 0 ? std::to_string(c.pictureWidth) + " px picture" : "overlay card")
        << " on a " << c.screenWidth << " px screen";
}

class PerspectiveOnPicture : public CalibrationScreenOnPicture,
                             public testing::WithParamInterface<PerspectiveCase>
{
};

// SlalomOK.ipt's far gate is 193 pixels wide on its 1024-pixel picture (18.8 %).
TEST_P(PerspectiveOnPicture, BackRatioIsTakenOnThePictureTheMarksWereMadeOn)
{
    const PerspectiveCase c = GetParam();
    state.place.screenWidthPixels = c.screenWidth;
    if (c.pictureWidth > 0)
        showVideoFrame(QImage(c.pictureWidth, 768, QImage::Format_RGB32));
    loadSetup(QStringLiteral("SlalomOK.ipt"));
    EXPECT_EQ(messages(), c.warning ? QStringList{QString::fromLatin1(c.warning)} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PerspectiveOnPicture,
    testing::Values(PerspectiveCase{0, 1024, nullptr},
                    PerspectiveCase{0, 1280,
                                    "Warning - back ratio is  15% where  16% minimum "
                                    "is required"},
                    PerspectiveCase{1024, 1280, nullptr}, PerspectiveCase{1024, 800, nullptr},
                    PerspectiveCase{2048, 1024,
                                    "Warning - back ratio is  9% where  16% minimum "
                                    "is required"}));

// The standard camera at 1920 x 1080, scaled down to the 754 pixels beside the column: the
// gates clicked where the camera sees them give a transform that puts the guide buoys where
// the camera sees them, and the measurement screen draws its course crosses there.
TEST_F(CalibrationScreenOnPicture, CalibrationOnAScaledPictureHoldsWhereTheCameraSeesTheCourse)
{
    const ScaledCameraView camera = standardSlalomCameraAt(1920, 1080);
    ASSERT_EQ(camera.picture.size(), QSize(1920, 1080)) << "see tests/data/README.md";
    showVideoFrame(camera.picture);
    DrawingSurface& surface = grid->surface();
    ASSERT_LT(surface.mapping().scaleX(), 0.5);

    // The gates in the setup file's order: upper right, lower right, upper left, lower left.
    for (size_t i = 0; i < 4; ++i) {
        ui->selectBuoy(buoyAtPoint(int(i) + 1));
        clickSurface(onSurface(surface, camera.gates[i]));
    }
    ui->complete();
    ASSERT_TRUE(state.calibration.complete);

    const QImage seen = surface.composed();
    for (const auto& [projection, course] : camera.guides) {
        const auto mapped = state.calibration.transform.toScreen({course.x(), course.y()});
        ASSERT_TRUE(mapped);
        EXPECT_NEAR(mapped->point.x / 15, projection.x(), 1.0) << course.y();
        EXPECT_NEAR(mapped->point.y / 15, projection.y(), 1.0) << course.y();
        // The picture is drawn where the mapping says: the buoy's dome stands just above.
        const QPointF at = onSurface(surface, projection) - QPointF(0, 2);
        const QColor c = seen.pixelColor(at.toPoint());
        EXPECT_GT(c.red(), 150) << course.y();
        EXPECT_LT(c.blue(), 100) << course.y();
    }

    MeasureScreen& measure = screens.measureScreen();
    measure.show();
    const auto* measureSurface = measure.findChild<DrawingSurface*>();
    ASSERT_EQ(measureSurface->mapping(), surface.mapping());
    const QImage& marks = measureSurface->drawingLayer();
    for (const auto& [projection, course] : camera.guides) {
        // A cross of one-pixel lines through the point: drawn within a pixel of it.
        const QPoint at = onSurface(*measureSurface, projection).toPoint();
        int drawn = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                drawn += qAlpha(marks.pixel(at + QPoint(dx, dy))) != 0 ? 1 : 0;
        EXPECT_GE(drawn, 3) << course.y();
    }
}

} // namespace
