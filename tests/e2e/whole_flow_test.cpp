// The road of a pass from the first start of the program to the next pass, driven as the
// operator drives it: clicks, menu entries, Enter on Start Pass and the arrow keys, on the
// offscreen platform. Dialogs and boxes are answered by the fakes; the pass runs on a clock
// the test moves, so a 16-second pass takes a fraction of a second.

#include "app/missing_skier.h"
#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "support/calibrated_course.h"
#include "support/calibration_screen_driver.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr double kCentre = 1.25;                              // slalom centre line, course x
const QString kToday = QStringLiteral("12-07-2026 14:05:09"); // the fake clock's time
const QString kNowArgument = QStringLiteral("2026-12-07T14:05:09");

// Where the operator means the boat to be, in metres left of the centre line, by sample.
using Plan = std::function<double(int sample)>;

// Straight down the centre, a swing of 0.40 m to one side, then slowly over to 0.20 m on the
// other side: no faster than arrow keys can follow near the camera, where a step is smallest.
double plannedSwing(int i)
{
    auto ramp = [](int i, int from, int to, double a, double b) {
        return a + (b - a) * double(i - from) / double(to - from);
    };
    if (i < 30)
        return 0.0;
    if (i < 60)
        return ramp(i, 30, 60, 0.0, 0.40);
    if (i < 80)
        return 0.40;
    if (i < 150)
        return ramp(i, 80, 150, 0.40, -0.20);
    return -0.20;
}

struct FrameLine
{
    int frame;
    QString position;
    double deviation;
};

QStringList lines(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t.split('\n');
}

std::vector<FrameLine> frameLines(const QString& report)
{
    static const QRegularExpression form(
        QStringLiteral("^Frame +(\\d+)   Course Position: (\\d{3}\\.\\d)   Deviation: (.+)$"));
    std::vector<FrameLine> frames;
    for (const QString& line : lines(report)) {
        const QRegularExpressionMatch m = form.match(line);
        if (m.hasMatch())
            frames.push_back({m.captured(1).toInt(), m.captured(2), m.captured(3).toDouble()});
    }
    return frames;
}

// The statistics and frame lines: what the command-line analysis must give back unchanged.
QStringList reportBody(const QString& report)
{
    QStringList body;
    bool inStatistics = false;
    for (const QString& line : lines(report)) {
        if (line == QStringLiteral("Boat Statistics: "))
            inStatistics = true;
        if (inStatistics && !line.isEmpty())
            body << line;
    }
    return body;
}

// The arrow keys come from the key events, as the program sees them.
class WholeFlow : public testing::Test, protected StartedProgram
{
protected:
    WholeFlow() : StartedProgram({.keys = true}) { fake.clock.ms = 5000; }

    // --- the steps of the road ---

    // First use, as the program's main() does it: the built-in files, then the start screen.
    StartScreen& firstStart()
    {
        installResources();
        return start(false);
    }
    StartScreenDriver startScreen() { return StartScreenDriver(screens.startScreen()); }
    MeasureScreen& measure() { return screens.measureScreen(); }

    CalibrationScreen& goToSetup()
    {
        startScreen().goToSetup();
        EXPECT_TRUE(screens.calibrationScreen().isVisible());
        return screens.calibrationScreen();
    }
    void loadSetupFile(CalibrationScreen& grid, const QString& path)
    {
        fake.fileDialog.answers.push_back(path);
        CalibrationScreenDriver(grid).loadSetup();
    }
    // Selects the buoy's option button and clicks its place on the picture (pixels).
    void markBuoy(CalibrationScreen& grid, Buoy buoy, QPoint pixel)
    {
        CalibrationScreenDriver(grid).markBuoy(buoy, pixel);
    }
    void complete(CalibrationScreen& grid) { CalibrationScreenDriver(grid).complete(); }
    void exitSetup(CalibrationScreen& grid) { CalibrationScreenDriver(grid).leave(); }
    // A calibration from the shipped standard file, as loaded.
    void calibrateFromStandardFile()
    {
        CalibrationScreen& grid = goToSetup();
        loadSetupFile(grid, QDir(folder.path()).filePath(QStringLiteral("SlalomOK.ipt")));
        ASSERT_TRUE(state.calibration.complete);
        exitSetup(grid);
    }

    // No skier is picked on these roads: asked, the operator goes on without one.
    MeasureScreen& goToMeasure()
    {
        const size_t asked = fake.messages.questions.size();
        fake.messages.yesNoAnswers.push_back(true);
        startScreen().measure();
        if (fake.messages.questions.size() == asked)
            fake.messages.yesNoAnswers.pop_back();
        EXPECT_TRUE(measure().isVisible());
        return measure();
    }
    void startPassWithEnter()
    {
        ASSERT_TRUE(measureDriver().startPassHasFocus());
        measureDriver().pressEnter();
        ASSERT_TRUE(measure().model().running());
    }

    // 50 ms on the clock: the sample tick when one is due (served first, as the timers
    // are enabled in that order), then the input tick, with the operator's arrow keys held
    // so that the line follows the plan at the boat marker's height.
    void tick(const Plan& plan)
    {
        fake.clock.ms += 50;
        ++ticks;
        if (ticks % 2 == 0)
            sampleTick().fire();
        if (!measure().model().running())
            return;
        const MeasureLines& l = measure().model().lines();
        const double wanted =
            screenXOf(kCentre + plan(measure().model().sampleIndex()), l.boatMarker.y1);
        const double x = l.measureLine.x1;
        std::optional<Qt::Key> key;
        if (x > wanted + kKeyHalfStep)
            key = Qt::Key_Left;
        else if (x < wanted - kKeyHalfStep)
            key = Qt::Key_Right;
        holdKey(key);
        inputTick().fire();
    }
    // Where the course line x = courseX crosses the picture's row at screenY (twips): a
    // straight line in the picture, through its points at the two gates.
    double screenXOf(double courseX, double screenY) const
    {
        const Point2 far = screenOf(state.calibration, courseX, 0.0);
        const Point2 near = screenOf(state.calibration, courseX, -259.0);
        return far.x + (near.x - far.x) * (screenY - far.y) / (near.y - far.y);
    }
    int runPass(const Plan& plan)
    {
        ticks = 0;
        while (measure().model().running() && ticks < 10000)
            tick(plan);
        holdKey(std::nullopt);
        return ticks;
    }
    void holdKey(std::optional<Qt::Key> key)
    {
        if (key == held)
            return;
        if (held)
            QTest::keyRelease(&measure(), *held);
        if (key)
            QTest::keyPress(&measure(), *key);
        held = key;
    }

    // The whole slalom road up to the results screen; returns the report shown there.
    QString measureSlalomPass()
    {
        firstStart();
        CalibrationScreen& grid = goToSetup();
        loadSetupFile(grid, QDir(folder.path()).filePath(QStringLiteral("SlalomOK.ipt")));
        markBuoy(grid, Buoy::UpperRight, kUpperRight);
        markBuoy(grid, Buoy::LowerRight, kLowerRight);
        markBuoy(grid, Buoy::UpperLeft, kUpperLeft);
        markBuoy(grid, Buoy::LowerLeft, kLowerLeft);
        complete(grid);
        exitSetup(grid);
        goToMeasure();
        startPassWithEnter();
        runPass(plannedSwing);
        if (!screens.hasResults())
            return {};
        return shownReport();
    }

    // --- what the operator sees and what is left on disk ---

    QString shownReport() { return ResultsScreenDriver(screens.resultsScreen()).report(); }
    QString resultsFile(const QString& name) const
    {
        return QDir(folder.path()).filePath(QStringLiteral("Default/") + name);
    }
    QString readResults(const QString& name) const
    {
        return readTextFile(resultsFile(name)).value_or(QString());
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }

    template <typename T> T* control(QWidget& screen, const char* name)
    {
        T* w = screen.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(QWidget& screen, const char* name)
    {
        QTest::mouseClick(control<QAbstractButton>(screen, name), Qt::LeftButton);
    }
    // A check box is clicked on its box, as the operator does.
    void check(QWidget& screen, const char* name)
    {
        auto* box = control<QCheckBox>(screen, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    void trigger(QWidget& screen, const char* name) { control<QAction>(screen, name)->trigger(); }
    // The measurement screen's ticks during a pass.
    FakeHiResTimer& inputTick() { return fake.timers.timer("pass input"); }
    FakeHiResTimer& sampleTick() { return fake.timers.timer("sample"); }

    // Where the operator re-marks the buoys: the far gate one pixel off the standard file's
    // marks; the near gate, whose right buoy that file puts at x 821, beyond the offscreen
    // display's 800 pixels, where this picture shows it, with the course running nearly
    // straight down the picture (arrow keys cannot follow a boat that crosses it fast).
    static constexpr QPoint kUpperRight{540, 122};
    static constexpr QPoint kUpperLeft{347, 122};
    static constexpr QPoint kLowerRight{700, 520};
    static constexpr QPoint kLowerLeft{230, 520};
    static constexpr double kKeyHalfStep = 7.5; // twips: half an arrow-key step

    int ticks = 0;
    std::optional<Qt::Key> held;
};

TEST_F(WholeFlow, FirstUseMakesTheResultsFolderAndTheStandardFiles)
{
    StartScreen& f = firstStart();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(QFileInfo(QDir(folder.path()).filePath(QStringLiteral("Default"))).isDir());
    EXPECT_EQ(f.runInfo().resultsFolder, QStringLiteral("Default"));
    QFile copied(QDir(folder.path()).filePath(QStringLiteral("SlalomOK.ipt")));
    QFile builtIn(QStringLiteral(":/program/SlalomOK.ipt"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), builtIn.readAll());
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

TEST_F(WholeFlow, SlalomPassFromFirstStartToTheNextPass)
{
    const QString report = measureSlalomPass();
    ASSERT_TRUE(screens.hasResults());
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();

    // The re-marked buoys made the calibration.
    const Point2 farRight =
        courseOf(state.calibration, kUpperRight.x() * 15.0, kUpperRight.y() * 15.0);
    EXPECT_NEAR(farRight.x, 0.0, 1e-6);
    EXPECT_NEAR(farRight.y, 0.0, 1e-6);
    const Point2 nearLeft =
        courseOf(state.calibration, kLowerLeft.x() * 15.0, kLowerLeft.y() * 15.0);
    EXPECT_NEAR(nearLeft.x, 2.5, 1e-6);
    EXPECT_NEAR(nearLeft.y, -259.0, 1e-6);

    // The results screen took over from the measurement screen.
    EXPECT_TRUE(screens.resultsScreen().isVisible());
    EXPECT_FALSE(measure().isVisible());
    EXPECT_EQ(ticks, 2 * 161);

    // The report: particulars, statistics, and every sample where the plan put it.
    const QStringList text = lines(report);
    EXPECT_EQ(text.value(0), QStringLiteral("Slalom Pass Results"));
    EXPECT_TRUE(text.contains(QStringLiteral("Line Length: 11.25m")));
    EXPECT_TRUE(text.contains(QStringLiteral("Boat is coming toward the camera")));
    EXPECT_TRUE(text.contains(QStringLiteral("Date of Measurement: 12-07-2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("Frames Measured:  162")));
    for (const char* start :
         {"Mean Boat Deviation from best fit line: ", "Maximum Deviation from best fit line: ",
          "Mean Absolute Deviation (from center): ", "Max deviation (from center) of ", "Left: "})
        EXPECT_EQ(
            text.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(start)))
                .size(),
            1)
            << start;
    const QStringList maxLine = text.filter(QStringLiteral("Max deviation (from center) of "));
    ASSERT_EQ(maxLine.size(), 1);
    const QRegularExpressionMatch max =
        QRegularExpression(QStringLiteral("of (.+) at frame +(\\d+)$")).match(maxLine[0]);
    ASSERT_TRUE(max.hasMatch()) << maxLine[0].toStdString();
    EXPECT_NEAR(max.captured(1).toDouble(), 0.40, 0.03);
    EXPECT_GE(max.captured(2).toInt(), 55);
    EXPECT_LE(max.captured(2).toInt(), 82);

    const std::vector<FrameLine> frames = frameLines(report);
    ASSERT_EQ(frames.size(), 162u);
    EXPECT_EQ(frames.front().position, QStringLiteral("000.0"));
    EXPECT_EQ(frames.back().position, QStringLiteral("259.0"));
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].frame, int(i));
        EXPECT_NEAR(frames[i].deviation, plannedSwing(int(i)), 0.03) << "frame " << i;
    }

    // The day's result log: the session header of the calibration screen, then the report
    // and an empty line.
    EXPECT_EQ(readResults(QStringLiteral("ResultLog1207.txt")),
              QStringLiteral("Test Session Results Log Setup Starting ") + kToday +
                  QStringLiteral("\r\n") + report + QStringLiteral("\r\n"));
    const QString side = readResults(QStringLiteral("originalmeasurements.txt"));
    EXPECT_TRUE(side.startsWith(QStringLiteral("Slalom\r\n12-07-2026\r\n14:05:09\r\n")))
        << side.left(200).toStdString();

    // Return to Measure: the database line, and the next pass going the other way.
    ResultsScreenDriver(screens.resultsScreen()).returnToMeasure();
    EXPECT_FALSE(screens.hasResults());
    const QStringList db = lines(readResults(QStringLiteral("dbResultLog1207.txt")));
    ASSERT_EQ(db.size(), 3); // header, the pass, and the empty rest after the last CR LF
    EXPECT_EQ(db[0], QStringLiteral("Test Session Database Log Setup Starting ") + kToday);
    const QStringList fields = db[1].split('|');
    ASSERT_EQ(fields.size(), 22) << db[1].toStdString();
    EXPECT_EQ(fields[3], QStringLiteral("S"));
    EXPECT_EQ(fields[6], QStringLiteral("58"));
    EXPECT_EQ(fields[7], QStringLiteral("11.25"));
    // No name was picked: recorded empty, asked about once.
    EXPECT_EQ(fields[5], QString());
    EXPECT_TRUE(text.contains(QStringLiteral("Skier Name: ")));
    EXPECT_EQ(fake.messages.questions, std::vector<QString>{MissingSkierQuestion::text()});

    QRadioButton& away = startScreen().directionOption(Direction::Away);
    EXPECT_EQ(away.text(), QStringLiteral("Going away from Camera"));
    EXPECT_TRUE(away.isChecked());
    EXPECT_FALSE(startScreen().screen().isVisible());
    ASSERT_TRUE(measure().isVisible());
    EXPECT_TRUE(measure().model().awaitingStart());
    const Point2 entrance = screenOf(state.calibration, kCentre, -259.0);
    const MeasureLines& l = measure().model().lines();
    EXPECT_NEAR(l.measureLine.x1, entrance.x, 1e-6);
    EXPECT_NEAR((l.boatMarker.x1 + l.boatMarker.x2) / 2, entrance.x, 1e-6);
    EXPECT_NEAR(l.boatMarker.y1, entrance.y, 1e-6);
    EXPECT_TRUE(measureDriver().startPassHasFocus());
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

TEST_F(WholeFlow, ViewOnlySlalomPassReArmsTheOtherWayAndWritesNothing)
{
    firstStart();
    calibrateFromStandardFile();
    goToMeasure();
    measureDriver().clickCheck(MeasureScreenDriver::Check::ViewOnly);
    startPassWithEnter();
    runPass(plannedSwing);

    EXPECT_FALSE(screens.hasResults());
    EXPECT_TRUE(measure().isVisible());
    EXPECT_FALSE(measure().model().running());
    EXPECT_TRUE(measure().model().awaitingStart());
    EXPECT_EQ(startScreen().screen().runInfo().direction, Direction::Away);
    const Point2 entrance = screenOf(state.calibration, kCentre, -259.0);
    EXPECT_NEAR(measure().model().lines().boatMarker.y1, entrance.y, 1e-6);
    EXPECT_NEAR(measure().model().lines().measureLine.x1, entrance.x, 1e-6);

    // Only the headers the calibration screen wrote on its way in.
    EXPECT_EQ(readResults(QStringLiteral("ResultLog1207.txt")),
              QStringLiteral("Test Session Results Log Setup Starting ") + kToday +
                  QStringLiteral("\r\n"));
    EXPECT_EQ(readResults(QStringLiteral("dbResultLog1207.txt")),
              QStringLiteral("Test Session Database Log Setup Starting ") + kToday +
                  QStringLiteral("\r\n"));
    EXPECT_FALSE(QFile::exists(resultsFile(QStringLiteral("originalmeasurements.txt"))));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();

    // Enter starts the way back at once.
    startPassWithEnter();
}

TEST_F(WholeFlow, ViewOnlyJumpPassOnTheWidePath)
{
    firstStart();
    calibrateFromStandardFile();
    startScreen().chooseEvent(Event::Jump);
    goToMeasure();
    measureDriver().clickCheck(MeasureScreenDriver::Check::ViewOnly);
    measureDriver().chooseWideJumpPath();
    EXPECT_EQ(measure().model().centreLineX(), 3.0);
    startPassWithEnter();

    // Watching only, the line rides on the boat marker down the wide path.
    double worst = 0.0;
    ticks = 0;
    while (measure().model().running() && ticks < 10000) {
        tick([](int) { return 0.0; });
        const MeasureLines& l = measure().model().lines();
        const Point2 at = courseOf(state.calibration, l.measureLine.x1, l.boatMarker.y1);
        worst = std::max(worst, std::abs(at.x - 3.0));
    }
    holdKey(std::nullopt);
    EXPECT_LT(worst, 1e-6);
    EXPECT_EQ(measure().model().sampleIndex(), state.pass.tenths + 1);
    EXPECT_EQ(ticks, 2 * state.pass.tenths);

    EXPECT_FALSE(screens.hasResults());
    EXPECT_TRUE(measure().model().awaitingStart());
    EXPECT_EQ(startScreen().screen().runInfo().direction, Direction::Toward);
    EXPECT_EQ(measure().model().centreLineX(), 3.0);
    EXPECT_FALSE(QFile::exists(resultsFile(QStringLiteral("originalmeasurements.txt"))));
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

TEST_F(WholeFlow, SavedPassReadsBackAsATraceAndTheCommandLineGivesTheSameReport)
{
    const QString report = measureSlalomPass();
    ASSERT_TRUE(screens.hasResults());
    ResultsScreenDriver results(screens.resultsScreen());
    const QString file = resultsFile(QStringLiteral("pass 1.txt"));
    fake.fileDialog.answers.push_back(file);
    results.saveResults();
    ASSERT_TRUE(QFile::exists(file));

    fake.fileDialog.answers.push_back(file);
    fake.messages.inputs.push_back(QStringLiteral("3"));
    results.readResultsFile();
    ASSERT_FALSE(results.legend().isEmpty());
    EXPECT_EQ(results.legend().last(), QStringLiteral("Cyan - ") + file);
    EXPECT_EQ(reportBody(shownReport()), reportBody(report));

    QProcess cli;
    cli.start(cliPath(), {QStringLiteral("analyse"), file, QStringLiteral("--now"), kNowArgument});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QString printed = QString::fromUtf8(cli.readAllStandardOutput());
    const QStringList body = reportBody(report);
    EXPECT_EQ(body.filter(QRegularExpression(QStringLiteral("^Frame +\\d"))).size(), 162);
    EXPECT_EQ(reportBody(printed), body);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();
}

} // namespace
