// The measurement screen's layout on the camera-sized display: every control in one column at
// the left edge, on screen and readable at each display size, and the course clear of all of
// them during a pass with the shipped setups.

#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "support/calibrated_course.h"
#include "support/control_column.h"
#include "support/measure_screen_driver.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainterPath>
#include <gtest/gtest.h>

namespace {

class MeasureLayout : public testing::Test, protected StartedProgram
{
protected:
    // diagnostics: started with --diagnostics, the engine's counters show too.
    explicit MeasureLayout(bool diagnostics = false) : diagnostics(diagnostics)
    {
        fake.clock.ms = 1000;
    }

    // A finished pass with the samples and times shown (view-only keeps the screen up).
    void runPassToItsEnd()
    {
        driver.clickStartPass();
        FakeHiResTimer& sampleTimer = fake.timers.timer("sample");
        while (measure.model().running()) {
            fake.clock.ms += 100;
            sampleTimer.fire();
        }
        fake.timers.timer("clock check").fire();
    }

    DrawingSurface* surface() { return &driver.surface(); }

    const bool diagnostics;
    MeasureScreen& measure = (state.options.diagnostics = diagnostics, screens.measureScreen());
    MeasureScreenDriver driver{measure};
};

class EachMode : public MeasureLayout, public testing::WithParamInterface<bool>
{
protected:
    EachMode() : MeasureLayout(GetParam()) {}
};

// Everything the screen can show at once: a monitored jump (paths and jump boundary), mouse
// mode, the red/green legend, a joystick that answered once then failed (its readings and the
// longest status text), a finished pass with its times, the transport of a video file.
TEST_P(EachMode, EveryControlIsOnScreenAndReadableAtEachDisplaySize)
{
    ASSERT_TRUE(loadShippedSetup(state.calibration, QStringLiteral("JumpOK.ipt")));
    StartScreenDriver(screens.startScreen()).chooseEvent(Event::Jump);
    measure.show();
    fake.joystick.detectCode = kJoyNoError;
    fake.joystick.reading = JoystickReading{165, 65535, 65535};
    driver.connectJoystick();
    driver.check(MeasureScreenDriver::Check::ViewOnly)->click();
    driver.check(MeasureScreenDriver::Check::UseMouse)->click();
    driver.chooseRedGreenBoundary();
    runPassToItsEnd();
    // The pass over, a video file comes under the screen: its transport shows too.
    screens.courseVideo().choose(VideoChoice::ofFile(QStringLiteral("/videos/jump.webm")));
    fake.videos.file()->ready(QImage(1024, 768, QImage::Format_RGB32));
    ASSERT_TRUE(driver.videoTransport()->isVisible());
    ASSERT_TRUE(driver.jumpPathGroup()->isVisible());
    ASSERT_TRUE(driver.timeLabel()->isVisible());
    ASSERT_TRUE(driver.mouseStartLabel()->isVisible());
    // The widest text each read-only box shows in a pass.
    const std::pair<QLineEdit*, const char*> widest[] = {
        {driver.deviationEdit(), "-10.00"}, {driver.distanceEdit(), "280.0"},
        {driver.sampleEdit(), "210"},       {driver.startTimeEdit(), "23:59:59"},
        {driver.endTimeEdit(), "23:59:59"}, {driver.sampleCountEdit(), "211"},
        {driver.countEdit(), "9999"},       {driver.inputTicksEdit(), "9999"},
        {driver.sampleTicksEdit(), "9999"}, {driver.markRedrawsEdit(), "9999"}};
    for (const auto& [box, text] : widest)
        box->setText(QString::fromLatin1(text));

    for (const QSize size :
         {QSize(1024, 768), QSize(1366, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
        if (size == QSize(1024, 768)) {
            ASSERT_EQ(measure.size(), size) << "the display is not the camera's 1024 x 768";
        }
        measure.resize(size);
        ASSERT_EQ(measure.size(), size);
        QApplication::sendPostedEvents();
        const std::string at =
            std::to_string(size.width()) + " x " + std::to_string(size.height()) + ": ";
        EXPECT_EQ(surface()->geometry().top(), measure.menuBar()->geometry().bottom() + 1) << at;
        EXPECT_EQ(surface()->geometry().bottom(), measure.height() - 1) << at;

        // Every control shown in the column, on the surface and showing its whole caption.
        expectReadableControlColumn(measure, *surface(), at);
    }
}

// The figures under the pass say what they are: each box has its caption just left of it on
// its row. The engine's counters mean nothing to an official: they show only with
// --diagnostics, captioned too, and "Show Status Indicators" does not bring them back.
TEST_P(EachMode, EachFigureShowsWithItsCaption)
{
    measure.show();
    struct Figure
    {
        QLineEdit* box;
        const char* caption;
        bool shown;
    };
    const bool d = diagnostics;
    const Figure figures[] = {
        {driver.startTimeEdit(), "Start", true},     {driver.endTimeEdit(), "End", true},
        {driver.sampleCountEdit(), "Samples", true}, {driver.inputTicksEdit(), "Ticks", d},
        {driver.sampleTicksEdit(), "Ticks", d},      {driver.markRedrawsEdit(), "Redraws", d},
        {driver.countEdit(), nullptr, false}};
    const auto captionOf = [this](QWidget* box) -> QLabel* {
        const QRect b(box->mapTo(&measure, QPoint(0, 0)), box->size());
        QLabel* nearest = nullptr;
        int gap = 1000;
        for (QLabel* l : measure.findChildren<QLabel*>()) {
            const QRect r(l->mapTo(&measure, QPoint(0, 0)), l->size());
            if (!l->isVisibleTo(&measure) || r.right() >= b.left() ||
                std::abs(r.center().y() - b.center().y()) > 3)
                continue;
            if (b.left() - r.right() < gap) {
                gap = b.left() - r.right();
                nearest = l;
            }
        }
        return nearest;
    };
    const auto check = [&](const std::string& when) {
        for (const Figure& f : figures) {
            const std::string name = f.box->objectName().toStdString();
            ASSERT_EQ(f.box->isVisibleTo(&measure), f.shown) << when << name;
            if (!f.shown)
                continue;
            QLabel* caption = captionOf(f.box);
            ASSERT_NE(caption, nullptr) << when << name << " has no caption";
            EXPECT_EQ(caption->text(), QString::fromLatin1(f.caption)) << when << name;
        }
    };
    check("at first: ");
    driver.toggleStatusIndicators(); // hide
    for (const Figure& f : figures)
        EXPECT_FALSE(f.box->isVisibleTo(&measure)) << f.box->objectName().toStdString();
    for (QLabel* caption : driver.figureCaptions())
        EXPECT_FALSE(caption->isVisibleTo(&measure)) << caption->text().toStdString();
    driver.toggleStatusIndicators(); // show
    check("shown again: ");
}

INSTANTIATE_TEST_SUITE_P(Modes, EachMode, testing::Values(false, true), [](const auto& info) {
    return std::string(info.param ? "Diagnostics" : "Official");
});

struct ShippedCourse
{
    const char* file;
    Event event;
    double centreLineX;
    double pathLimit; // the widest the entries allow
    double length;
};

class CourseInView : public MeasureLayout, public testing::WithParamInterface<ShippedCourse>
{
};

// The course between the gates, widened to the path boundaries of a 2.2 m boat, must stay in
// view while the boat is on it.
TEST_P(CourseInView, NoControlCoversTheCourseDuringAPass)
{
    const ShippedCourse c = GetParam();
    const auto setup = loadShippedSetup(state.calibration, QString::fromLatin1(c.file));
    ASSERT_TRUE(setup);
    StartScreenDriver(screens.startScreen()).chooseEvent(c.event);
    measure.show();
    ASSERT_EQ(measure.size(), QSize(1024, 768));
    driver.pressStartPass();
    ASSERT_TRUE(measure.model().running());

    const double low = c.centreLineX - 1.1 - c.pathLimit;
    const double high = c.centreLineX + 1.1 + c.pathLimit;
    QPolygonF course;
    for (const auto& [x, y] :
         {std::pair{low, 0.0}, {high, 0.0}, {high, -c.length}, {low, -c.length}}) {
        const Point2 p = setup->transform.toScreen({x, y})->point;
        course << QPointF(p.x / 15.0, p.y / 15.0);
    }
    QPainterPath inView;
    inView.addPolygon(course);
    inView.closeSubpath();
    ASSERT_TRUE(surface()->rect().contains(course.boundingRect().toRect()));

    int checked = 0;
    for (QWidget* w : measure.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&measure) || w == surface() || w->objectName() == "LineOverlay")
            continue;
        const QPoint topLeft = w->mapTo(&measure, QPoint(0, 0)) - surface()->pos();
        const QRectF r(topLeft, w->size());
        EXPECT_FALSE(inView.intersects(r)) << w->objectName().toStdString() << " covers the course";
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

INSTANTIATE_TEST_SUITE_P(Shipped, CourseInView,
                         testing::Values(ShippedCourse{"SlalomOK.ipt", Event::Slalom, 1.25, 0.2,
                                                       259},
                                         ShippedCourse{"JumpOK.ipt", Event::Jump, 2.0, 1.0, 280}));

} // namespace
