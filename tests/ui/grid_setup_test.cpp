// The calibration screen driven as the operator drives it: clicks on the picture, the
// buttons and menus, the file dialog answered by the fake.

#include "calibration/setup_file.h"
#include "calibration/ui/grid_setup.h"
#include "common/twips.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "support/impossible_setups.h"
#include "support/paths.h"
#include "support/screen_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QString kSetupNotOk =
    QStringLiteral("Setup needs to be OK to do this - look for the smiley face");

class GridSetupScreen : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        installResources();
        start();
        chooseResultsFolder();
        // A skier is named, so that "Measure" asks nothing of its own.
        screens.form1().findChild<QComboBox*>("cbSkiers")->setEditText(QStringLiteral("Ann"));
        enterSetup();
        grid = &screens.gridSetup();
    }

    void enterSetup() { QTest::mouseClick(formButton("btnSetup"), Qt::LeftButton); }
    QPushButton* formButton(const char* name)
    {
        return screens.form1().findChild<QPushButton*>(name);
    }
    template <typename T = QWidget> T* control(const char* name)
    {
        T* w = grid->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
    QString text(const char* name) { return edit(name)->text(); }
    void click(const char* name)
    {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    void trigger(const char* name) { control<QAction>(name)->trigger(); }
    void select(const char* buoyButton) { click(buoyButton); }
    // A click on the picture at a pixel position (reported in twips, 15 per pixel).
    void clickPicture(int x, int y)
    {
        QTest::mouseClick(&grid->surface(), Qt::LeftButton, {}, QPoint(x, y));
    }
    void load(const QString& path)
    {
        fake.fileDialog.answers.push_back(path);
        trigger("gridLoad");
    }
    QStringList journalLines()
    {
        QFile f(QDir(results.path()).filePath("results_file.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n");
        lines.removeLast();
        return lines;
    }
    QStringList messages()
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    std::array<double, 9> coefficients() const { return state.calibration.transform.c; }
    // Marks the four buoys of a plausible slalom picture by clicking on it.
    void markFour()
    {
        select("upper_right_button");
        clickPicture(420, 250);
        select("lower_right_button");
        clickPicture(560, 520);
        select("upper_left_button");
        clickPicture(360, 250);
        select("lower_left_button");
        clickPicture(300, 520);
    }
    bool drawnAt(int x, int y) { return qAlpha(grid->surface().drawingLayer().pixel(x, y)) != 0; }
    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Types into a box as the operator does: the old text selected, then the keys.
    void typeInto(const char* name, const QString& keys)
    {
        QLineEdit* box = edit(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, keys);
    }
    void pressEnter(const char* name) { QTest::keyClick(edit(name), Qt::Key_Return); }

    // Loads a good file, then the bad one: one warning naming the bad file (and its line, when
    // the fault is on one), and nothing else changes: the calibration, the slots, the boxes,
    // the smiley, the journal.
    void expectRefusedLoad(const QString& name, const QByteArray& content, int line)
    {
        load(fixturePath("exponent-form-slalom.ipt"));
        const Calibration before = state.calibration;
        const GridSlots slotsBefore = state.gridSlots;
        const QString boxesBefore = text("upper_left_x") + text("ll_survey_y") + text("jump_y");
        const int journal = int(journalLines().size());
        fake.messages.shown.clear();

        const QString path = QDir(results.path()).filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        load(path);

        EXPECT_EQ(state.calibration, before);
        EXPECT_EQ(state.gridSlots, slotsBefore);
        EXPECT_TRUE(state.calibration.complete);
        EXPECT_EQ(text("upper_left_x") + text("ll_survey_y") + text("jump_y"), boxesBefore);
        EXPECT_EQ(grid->statePicture(), "face02.ico");
        EXPECT_EQ(journalLines().size(), journal);
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        const ShownMessage& m = fake.messages.shown[0];
        EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(path))) << m.text.toStdString();
        if (line > 0) {
            EXPECT_TRUE(m.text.contains(QStringLiteral("line %1").arg(line)))
                << m.text.toStdString();
        }
        EXPECT_EQ(m.title, "Error Message");
        EXPECT_EQ(m.icon, MessageIcon::Warning);
    }

    Grid_Setup* grid = nullptr;
};

TEST_F(GridSetupScreen, OpensMaximisedOverTheWholeDisplayWithItsFirstTexts)
{
    ASSERT_TRUE(grid->isVisible());
    const QRect available = grid->screen()->availableGeometry();
    EXPECT_EQ(grid->geometry().size(), available.size());
    EXPECT_EQ(grid->windowTitle(), "Grid Setup");
    // Where the controls stand: grid_setup_layout_test.cpp.
    EXPECT_EQ(text("upper_left_x"), "auto");
    EXPECT_EQ(text("ll_survey_y"), "-259");
    EXPECT_EQ(text("jump_x"), "jump x");
    EXPECT_EQ(text("ipt_file_description"), "No File");
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 1");
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control<QLabel>("grid_state_icon")->pixmap().isNull());
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_FALSE(control("gridLockedLabel")->isVisible());
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->circleRadius(), 180);
}

TEST_F(GridSetupScreen, LoadingAFixtureGivesACompleteCalibration)
{
    const QString path = fixturePath("exponent-form-slalom.ipt");
    load(path);
    ASSERT_EQ(fake.fileDialog.requests.size(), 1u);
    const FileDialogRequest& request = fake.fileDialog.requests[0];
    EXPECT_EQ(request.filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
    EXPECT_EQ(request.filterIndex, 3);
    EXPECT_EQ(request.folder, state.place.folder);

    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    EXPECT_TRUE(control("btnAccuracyCheck")->isVisible());
    EXPECT_EQ(text("ipt_file_description"), path);
    EXPECT_EQ(text("ipt_file_description_2"), QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(text("upper_right_x"), " 8136");
    EXPECT_EQ(text("lower_left_y"), " 10461");
    EXPECT_EQ(text("ll_survey_y"), "-259");
    EXPECT_EQ(coefficients()[2], 4.11861371949588E-03);
    EXPECT_EQ(state.calibration.mark(Buoy::LowerLeft).x, 6348);
    // Its upper gate is 178 twips wide: far below a sixth of the screen.
    EXPECT_TRUE(messages().contains(
        QStringLiteral("Warning - back ratio is  1% where  16% minimum is required")));
    const QStringList journal = journalLines();
    ASSERT_EQ(journal.size(), 19);
    EXPECT_TRUE(journal[0].endsWith(" New Set-up now in place"));
    EXPECT_EQ(journal[1], path);
    EXPECT_EQ(journal[3], "Grid Number:  1 ");
    EXPECT_EQ(journal[11], "Upper Right X,Y Twips:  8136   4527");
    EXPECT_EQ(journal[12], "Upper Right X,Y Survey:  0   0");
    // The marks are drawn (Show_grid): a circle 180 twips (12 px) around the upper right mark.
    EXPECT_TRUE(drawnAt(8136 / 15, 4527 / 15));

    trigger("gridExit");
    EXPECT_FALSE(grid->isVisible());
    QTest::mouseClick(formButton("Command1"), Qt::LeftButton);
    EXPECT_TRUE(screens.measureScreen().isVisible());
}

TEST_F(GridSetupScreen, ShippedStandardFileLoadsWithoutWarning)
{
    load(QDir(state.place.folder).filePath("SlalomOK.ipt"));
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
}

TEST_F(GridSetupScreen, CancelChangesNothingButTheLock)
{
    load(fixturePath("exponent-form-jump.ipt"));
    click("chkboxGridLock");
    ASSERT_TRUE(control<QCheckBox>("chkboxGridLock")->isChecked());
    ASSERT_TRUE(control("gridLockedLabel")->isVisible());
    const CourseTransform transform = state.calibration.transform;
    const int journal = int(journalLines().size());
    fake.fileDialog.answers.push_back(std::nullopt);
    trigger("gridLoad");
    EXPECT_FALSE(control<QCheckBox>("chkboxGridLock")->isChecked());
    EXPECT_FALSE(control("gridLockedLabel")->isVisible());
    EXPECT_EQ(state.calibration.transform, transform);
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    EXPECT_EQ(journalLines().size(), journal);
    EXPECT_TRUE(fake.messages.shown.size() <= 1); // the fixture's own back-ratio warning
}

struct BadFile
{
    const char* name;
    const char* content;
    int line;
};

class MalformedFileOnScreen : public GridSetupScreen, public testing::WithParamInterface<BadFile>
{
};

TEST_P(MalformedFileOnScreen, LeavesThePreviousCalibrationUntouched)
{
    expectRefusedLoad(QString::fromLatin1(GetParam().name), GetParam().content, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MalformedFileOnScreen,
    testing::Values(
        BadFile{"empty.ipt", "", 1},
        BadFile{
            "short.ipt",
            "Initialization Points for file: x\r\nd\r\n 1 , 2 , 0 , 0 \r\n 3 , 4 , 0 ,-259 \r\n",
            5},
        BadFile{"letters.ipt",
                "x\r\nd\r\n 1 , 2 , 0 , 0 \r\n 3 , 4 , 0 ,-259 \r\n 5 , 6 , 2.5 , 0 \r\n"
                " 7 , 8 , 2.5 ,-259 \r\n 1 \r\n 2 \r\n abc \r\n",
                9},
        BadFile{"fields.ipt", "x\r\nd\r\n 1 , 2 , 0 \r\n", 3},
        BadFile{"binary.ipt", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 0}),
    [](const testing::TestParamInfo<BadFile>& info) {
        return QString::fromLatin1(info.param.name).section('.', 0, 0).toStdString();
    });

class ImpossibleFileOnScreen : public GridSetupScreen,
                               public testing::WithParamInterface<AlteredSetup>
{
};

TEST_P(ImpossibleFileOnScreen, LeavesThePreviousCalibrationUntouched)
{
    expectRefusedLoad(QString::fromLatin1(GetParam().name) + ".ipt", alteredSetupBytes(GetParam()),
                      GetParam().where);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QString::fromLatin1(GetParam().reasonPart)))
        << fake.messages.shown[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, ImpossibleFileOnScreen, testing::ValuesIn(impossibleSetups()),
                         alteredName);

TEST_F(GridSetupScreen, CoefficientsThatMissTheMarksAreSolvedAgainAndSaidOnce)
{
    const AlteredSetup& setup = misfitCoefficientSetups()[0];
    const QString path = QDir(results.path()).filePath("misfit.ipt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(alteredSetupBytes(setup));
    f.close();
    load(path);

    ASSERT_EQ(fake.messages.shown.size(), 1u) << messages().join('\n').toStdString();
    const ShownMessage& m = fake.messages.shown[0];
    EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(path))) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains("solved again")) << m.text.toStdString();
    EXPECT_EQ(m.title, "Error Message");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    // The working calibration and slot 1 hold the solved coefficients: each mark lands on
    // its buoy.
    ASSERT_TRUE(state.gridSlots.slot(1));
    EXPECT_EQ(state.gridSlots.slot(1)->transform, state.calibration.transform);
    for (const ReferencePoint& p : state.gridSlots.slot(1)->points) {
        const auto c = state.calibration.transform.toCourse(p.screen);
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->point.x, p.survey.x, 1e-9);
        EXPECT_NEAR(c->point.y, p.survey.y, 1e-9);
    }
    EXPECT_EQ(journalLines().size(), 19);
    EXPECT_EQ(text("upper_right_x"), " 8850");
}

TEST_F(GridSetupScreen, CompleteWithAMarkBeyondAnyPictureChangesNothing)
{
    markFour();
    click("Load");
    ASSERT_TRUE(state.calibration.complete);
    const CourseTransform transform = state.calibration.transform;
    const GridSlots slotsBefore = state.gridSlots;
    typeInto("lower_left_x", "300000");
    pressEnter("lower_left_x");
    ASSERT_EQ(state.calibration.mark(Buoy::LowerLeft).x, 300000);
    ASSERT_EQ(grid->statePicture(), "msgbox03.ico");
    fake.messages.shown.clear();

    click("Load");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        "Warning - The lower left buoy's mark (300000, 7800) lies beyond the reach of any "
        "picture"))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].title, "Error Message");
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(state.calibration.transform, transform);
    EXPECT_EQ(state.gridSlots, slotsBefore);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_EQ(journalLines().size(), 2 * 19); // every press is journalled
    QTest::mouseClick(formButton("Command1"), Qt::LeftButton);
    EXPECT_FALSE(screens.measureScreen().isVisible());
}

TEST_F(GridSetupScreen, SaveThenLoadGivesBackTheSameCalibration)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    const Calibration loaded = state.calibration;
    const QString saved = QDir(results.path()).filePath("mine.ipt");
    fake.fileDialog.answers.push_back(saved);
    fake.messages.inputs.push_back(QStringLiteral("Lake, north tower, zoom 3"));
    trigger("gridSave");
    ASSERT_EQ(fake.fileDialog.requests.back().filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
    EXPECT_TRUE(fake.fileDialog.requests.back().forSaving);
    EXPECT_EQ(fake.messages.prompts.back(), "Enter descriptive line about grid");
    EXPECT_EQ(text("ipt_file_description"), saved);
    EXPECT_EQ(state.gridSlots.slot(1)->description, "Lake, north tower, zoom 3");

    // Spoil the working calibration, then load the saved file.
    select("upper_left_button");
    clickPicture(100, 300);
    EXPECT_FALSE(state.calibration.complete);
    load(saved);
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(coefficients(), loaded.transform.c);
    EXPECT_EQ(state.calibration.marks, loaded.marks);
    EXPECT_EQ(state.calibration.survey, loaded.survey);
    EXPECT_EQ(state.calibration.jumpPoint, loaded.jumpPoint);
    EXPECT_EQ(text("ipt_file_description_2"), "Lake, north tower, zoom 3");
}

TEST_F(GridSetupScreen, AFailedSaveSaysSoAndChangesNothing)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    fake.messages.shown.clear();
    QFile blocker(QDir(results.path()).filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fake.fileDialog.answers.push_back(blocker.fileName() + "/x.ipt");
    fake.messages.inputs.push_back(QStringLiteral("new"));
    trigger("gridSave");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("x.ipt"));
    EXPECT_EQ(text("ipt_file_description_2"), QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(state.gridSlots.slot(1)->savedPath, fixturePath("exponent-form-slalom.ipt"));
}

TEST_F(GridSetupScreen, MarkingFourBuoysAndCompleting)
{
    markFour();
    EXPECT_EQ(text("upper_right_x"), " 6300");
    EXPECT_EQ(text("upper_right_y"), " 3750");
    EXPECT_EQ(text("lower_left_x"), " 4500");
    EXPECT_EQ(state.calibration.mark(Buoy::LowerLeft).y, 7800);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_TRUE(drawnAt(420, 250)); // the white cross
    EXPECT_FALSE(state.calibration.complete);

    click("Load");
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    EXPECT_TRUE(control("btnAccuracyCheck")->isVisible());
    EXPECT_FALSE(drawnAt(420, 250)); // Complete clears the drawing
    const CourseTransform t = state.calibration.transform;
    const auto far = t.toCourse({6300, 3750});
    EXPECT_NEAR(far->point.x, 0.0, 1e-9);
    EXPECT_NEAR(far->point.y, 0.0, 1e-9);
    const QStringList journal = journalLines();
    ASSERT_EQ(journal.size(), 19);
    EXPECT_EQ(journal[5], "Upper Left X,Y Pixels:  5400   3750");
    EXPECT_EQ(journal[6], "Upper Left X,Y Survey: 2.5  0");
    EXPECT_EQ(journal[1], "No File");

    trigger("gridExit");
    EXPECT_FALSE(grid->isVisible());
    EXPECT_TRUE(screens.form1().isVisible());
    EXPECT_TRUE(fake.messages.questions.empty());
    // The crosses and the two course sides are there when the screen comes back.
    enterSetup();
    EXPECT_TRUE(drawnAt(420, 250));
    EXPECT_TRUE(drawnAt(490, 385)); // halfway along the right side
}

TEST_F(GridSetupScreen, CompleteWithAnUnmarkedBuoyWarnsAndStillJournals)
{
    select("upper_right_button");
    clickPicture(420, 250);
    click("Load");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Warning - Not all parameters have been set up on grid");
    EXPECT_EQ(fake.messages.shown[0].title, "Error Message");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_EQ(journalLines().size(), 19);
}

TEST_F(GridSetupScreen, TwoBuoysOnOnePointShowNoSmileyAndKeepTheCoefficients)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    const auto before = coefficients();
    fake.messages.shown.clear();
    select("lower_left_button");
    clickPicture(8136 / 15, 4527 / 15 + 100);
    select("upper_right_button");
    clickPicture(8136 / 15, 4527 / 15 + 100);
    click("Load");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "No Unique Solution - Re-enter data");
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_EQ(coefficients(), before);
    EXPECT_EQ(journalLines().size(), 2 * 19);
    trigger("gridExit");
    EXPECT_EQ(fake.messages.questions.size(), 1u);
    EXPECT_TRUE(grid->isVisible()); // answered No
}

TEST_F(GridSetupScreen, LockedClickMovesAllFourMarks)
{
    load(fixturePath("exponent-form-jump.ipt"));
    click("chkboxGridLock");
    select("upper_right_button");
    clickPicture(7692 / 15 + 10, 5344 / 15 - 4); // 150 twips right, 60 up
    EXPECT_EQ(state.calibration.mark(Buoy::UpperRight).x, 7692 / 15 * 15 + 150);
    const double dx = state.calibration.mark(Buoy::UpperRight).x - 7692;
    const double dy = state.calibration.mark(Buoy::UpperRight).y - 5344;
    EXPECT_EQ(state.calibration.mark(Buoy::LowerRight).x, 9373 + dx);
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).y, 5344 + dy);
    EXPECT_EQ(state.calibration.mark(Buoy::LowerLeft).x, 7929 + dx);
    EXPECT_EQ(text("lower_right_y"), QStringLiteral(" %1").arg(9734 + dy));
    EXPECT_FALSE(state.calibration.complete);
}

TEST_F(GridSetupScreen, LockRefusedWhileABoxReadsAuto)
{
    select("upper_left_button");
    clickPicture(300, 300);
    click("chkboxGridLock");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              "Cannot Lock Grid Until buoy positions have been entered for all four buoys");
    EXPECT_FALSE(control<QCheckBox>("chkboxGridLock")->isChecked());
    EXPECT_FALSE(control("gridLockedLabel")->isVisible());
}

TEST_F(GridSetupScreen, MicroAdjustNudgesByOnePixel)
{
    markFour();
    select("upper_left_button");
    click("AdjustDown");
    EXPECT_EQ(text("upper_left_y"), " 3765");
    EXPECT_EQ(text("upper_right_y"), " 3750");

    click("chkboxGridLock");
    const Calibration before = state.calibration;
    const double lowerRightX = before.mark(Buoy::LowerRight).x;
    for (int i = 0; i < 20; ++i)
        click("AdjustRight");
    EXPECT_EQ(state.calibration.mark(Buoy::LowerRight).x, lowerRightX + 300);
    EXPECT_EQ(text("lower_right_x"), QStringLiteral(" %1").arg(lowerRightX + 300));
    for (int i = 0; i < 20; ++i)
        click("AdjustLeft");
    EXPECT_EQ(state.calibration.marks, before.marks);
}

TEST_F(GridSetupScreen, ActivationForJumpSwitchesTheSurveyAndLogsEachEntry)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    trigger("gridExit");
    screens.form1().selectEvent(Event::Jump);
    enterSetup();
    EXPECT_EQ(text("ul_survey_x"), "4");
    EXPECT_EQ(text("ll_survey_x"), "4");
    EXPECT_EQ(text("ll_survey_y"), "-280");
    EXPECT_EQ(text("lr_survey_y"), "-280");
    EXPECT_EQ(text("ur_survey_x"), " 0");
    EXPECT_EQ(state.calibration.surveyPoint(Buoy::LowerRight).y, -280);
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");

    // Entering again for the same event changes nothing.
    fake.messages.yesNoAnswers.push_back(true);
    trigger("gridExit");
    state.calibration.complete = true;
    enterSetup();
    EXPECT_TRUE(state.calibration.complete);

    const QString day = QDir(results.path()).filePath("ResultLog1207.txt");
    QFile result(day);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(result.readAll()).split("\r\n");
    EXPECT_EQ(lines.size(), 4); // three entries and the final line end
    EXPECT_EQ(lines[0], "Test Session Results Log Setup Starting 12-07-2026 14:05:09");
    QFile database(QDir(results.path()).filePath("dbResultLog1207.txt"));
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    EXPECT_EQ(database.readAll().count("Test Session Database Log Setup Starting"), 3);
}

TEST_F(GridSetupScreen, AnEmptyGridSlotIsNoCalibrationAndCannotBeSaved)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    const auto loaded = coefficients();
    const QString standard = QDir(state.place.folder).filePath("SlalomOK.ipt");
    const QByteArray standardBytes = readBytes(standard);
    fake.messages.shown.clear();

    click("grid_select");
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 2");
    EXPECT_EQ(state.gridSlots.current, 2);
    EXPECT_EQ(coefficients(), (std::array<double, 9>{}));
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    EXPECT_FALSE(control("fmAccuracyDisplay")->isVisible());
    EXPECT_EQ(text("upper_right_x"), "auto");
    click("show_alignment");
    click("btnShowAllBuoys");
    EXPECT_EQ(messages(), QStringList(2, kSetupNotOk));
    EXPECT_FALSE(drawnAt(8136 / 15, 4527 / 15));

    // Saving is refused before any dialog: the standard file keeps its calibration.
    fake.messages.shown.clear();
    fake.fileDialog.answers.push_back(standard);
    trigger("gridSave");
    EXPECT_EQ(fake.fileDialog.requests.size(), 1u); // only the load's
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith("Grid 2 holds no calibration"));
    EXPECT_EQ(readBytes(standard), standardBytes);

    click("grid_select");
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 1");
    EXPECT_EQ(state.gridSlots.current, 1);
    EXPECT_EQ(coefficients(), loaded);
    EXPECT_EQ(text("upper_right_x"), " 8136");
    EXPECT_EQ(text("ipt_file_description"), fixturePath("exponent-form-slalom.ipt"));
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    EXPECT_TRUE(control("btnAccuracyCheck")->isVisible());
    EXPECT_TRUE(control("fmAccuracyDisplay")->isVisible());
}

TEST_F(GridSetupScreen, NothingSolvedYetIsNothingToSave)
{
    markFour();
    fake.fileDialog.answers.push_back(QDir(results.path()).filePath("zero.ipt"));
    trigger("gridSave");
    EXPECT_TRUE(fake.fileDialog.requests.empty());
    EXPECT_FALSE(QFile::exists(QDir(results.path()).filePath("zero.ipt")));
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(GridSetupScreen, LeavingFromAnEmptySlotKeepsItAndMeasuringIsRefused)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    click("grid_select");
    fake.messages.shown.clear();
    fake.messages.yesNoAnswers.push_back(true);
    trigger("gridExit");
    EXPECT_EQ(fake.messages.questions.size(), 1u);
    EXPECT_FALSE(grid->isVisible());
    // What the selector names is what is in use: the empty slot.
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 2");
    EXPECT_EQ(state.gridSlots.current, 2);
    EXPECT_EQ(coefficients(), (std::array<double, 9>{}));

    QTest::mouseClick(formButton("Command1"), Qt::LeftButton);
    EXPECT_FALSE(screens.measureScreen().isVisible());
    EXPECT_EQ(messages(), QStringList(QStringLiteral(
                              "The setup must be OK to proceed.  Return to the setup screen and "
                              "create a valid setup")));

    enterSetup();
    click("grid_select");
    trigger("gridExit");
    EXPECT_EQ(fake.messages.questions.size(), 1u);
    QTest::mouseClick(formButton("Command1"), Qt::LeftButton);
    EXPECT_TRUE(screens.measureScreen().isVisible());
}

TEST_F(GridSetupScreen, CompletingFromGridTwoFillsSlotOneAndSaysSo)
{
    click("grid_select");
    for (const auto& [name, value] : {std::pair{"ul_survey_x", "2.5"},
                                      {"ll_survey_x", "2.5"},
                                      {"ll_survey_y", "-259"},
                                      {"lr_survey_y", "-259"}})
        edit(name)->setText(QString::fromLatin1(value));
    markFour();
    click("Load");
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(state.gridSlots.current, 1);
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 1");
    EXPECT_EQ(state.gridSlots.slot(1)->points[0].screen.x, 6300);
}

TEST_F(GridSetupScreen, LoadAlwaysFillsSlotOne)
{
    click("grid_select");
    ASSERT_EQ(state.gridSlots.current, 2);
    load(fixturePath("exponent-form-jump.ipt"));
    EXPECT_EQ(control<QPushButton>("grid_select")->text(), "Grid 1");
    EXPECT_EQ(state.gridSlots.current, 1);
    ASSERT_TRUE(state.gridSlots.slot(1));
    EXPECT_FALSE(state.gridSlots.slot(2));
    EXPECT_EQ(state.gridSlots.slot(1)->points[0].screen.x, 7692);
    EXPECT_TRUE(state.calibration.complete);
}

TEST_F(GridSetupScreen, JournalFailureIsOneMessageAndTheCalibrationStands)
{
    markFour();
    ASSERT_TRUE(QDir(results.path()).removeRecursively());
    click("Load");
    EXPECT_TRUE(state.calibration.complete);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("results_file.txt"));
}

TEST_F(GridSetupScreen, LogFailureOnEntryIsOneMessage)
{
    trigger("gridExit");
    fake.messages.yesNoAnswers.push_back(true);
    trigger("gridExit");
    ASSERT_TRUE(QDir(results.path()).removeRecursively());
    screens.gridSetup().show(); // the start screen's folder check would stop a real operator
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("ResultLog1207.txt"));
    EXPECT_TRUE(fake.messages.shown[0].text.contains("dbResultLog1207.txt"));
}

TEST_F(GridSetupScreen, MissingStatePictureFallsBackToTheBuiltInOne)
{
    ASSERT_TRUE(QFile::remove(QDir(state.place.folder).filePath("face02.ico")));
    QFile damaged(QDir(state.place.folder).filePath("msgbox03.ico"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not an icon");
    damaged.close();
    load(QDir(state.place.folder).filePath("JumpOK.ipt"));
    EXPECT_EQ(grid->statePicture(), "face02.ico");
    EXPECT_FALSE(control<QLabel>("grid_state_icon")->pixmap().isNull());
    select("upper_left_button");
    clickPicture(300, 300);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control<QLabel>("grid_state_icon")->pixmap().isNull());
}

TEST_F(GridSetupScreen, TypingIntoABoxMakesTheCalibrationIncomplete)
{
    load(QDir(state.place.folder).filePath("SlalomOK.ipt"));
    ASSERT_TRUE(state.calibration.complete);
    QLineEdit* box = edit("ur_survey_y");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "abc");
    EXPECT_EQ(state.calibration.surveyPoint(Buoy::UpperRight).y, 0.0);
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(grid->statePicture(), "msgbox03.ico");
    EXPECT_FALSE(control("btnAccuracyCheck")->isVisible());
    QTest::keyClicks(edit("jump_x"), "7");
    EXPECT_EQ(state.calibration.jumpPoint.x, 7.0);
}

TEST_F(GridSetupScreen, ATypedMarkIsWhatCompleteSolvesAndJournals)
{
    markFour();
    typeInto("upper_left_x", "48");
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).x, 5400)
        << "a half-typed value moves nothing";
    QTest::keyClicks(edit("upper_left_x"), "00");
    pressEnter("upper_left_x");
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).x, 4800);
    EXPECT_EQ(text("upper_left_x"), " 4800");
    EXPECT_TRUE(drawnAt(320, 250));  // the cross moved with it
    EXPECT_FALSE(drawnAt(360, 250)); // and the old one is gone

    // Still being typed when Complete is pressed.
    typeInto("lower_right_y", "7950");
    click("Load");
    EXPECT_TRUE(fake.messages.shown.empty());
    ASSERT_TRUE(state.calibration.complete);
    const CourseTransform t = state.calibration.transform;
    for (const auto& [screen, survey] :
         {std::pair{Point2{4800, 3750}, Point2{2.5, 0}}, {Point2{8400, 7950}, Point2{0, -259}}}) {
        const auto mapped = t.toCourse(screen);
        EXPECT_NEAR(mapped->point.x, survey.x, 1e-9);
        EXPECT_NEAR(mapped->point.y, survey.y, 1e-9);
    }
    const QStringList journal = journalLines();
    ASSERT_EQ(journal.size(), 19);
    EXPECT_EQ(journal[5], "Upper Left X,Y Pixels:  4800   3750");
    EXPECT_EQ(journal[14], "Lower Right X,Y Pixels:  8400   7950");
}

// Each of the eighteen boxes sets its own coordinate and no other, and is announced by its
// own caption: what a box is wired to is written out here by hand, box by box.
TEST_F(GridSetupScreen, EachCoordinateBoxSetsItsOwnCoordinate)
{
    enum Where { Mark, Survey, Jump };
    struct Case
    {
        const char* box;
        const char* caption;
        Where where;
        int buoy; // as the calibration stores them: upper left, upper right, lower left, right
        bool y;
    };
    const Case cases[] = {
        {"upper_left_x", "upper left buoy screen x", Mark, 0, false},
        {"upper_left_y", "upper left buoy screen y", Mark, 0, true},
        {"upper_right_x", "upper right buoy screen x", Mark, 1, false},
        {"upper_right_y", "upper right buoy screen y", Mark, 1, true},
        {"lower_left_x", "lower left buoy screen x", Mark, 2, false},
        {"lower_left_y", "lower left buoy screen y", Mark, 2, true},
        {"lower_right_x", "lower right buoy screen x", Mark, 3, false},
        {"lower_right_y", "lower right buoy screen y", Mark, 3, true},
        {"ul_survey_x", "upper left buoy survey x", Survey, 0, false},
        {"ul_survey_y", "upper left buoy survey y", Survey, 0, true},
        {"ur_survey_x", "upper right buoy survey x", Survey, 1, false},
        {"ur_survey_y", "upper right buoy survey y", Survey, 1, true},
        {"ll_survey_x", "lower left buoy survey x", Survey, 2, false},
        {"ll_survey_y", "lower left buoy survey y", Survey, 2, true},
        {"lr_survey_x", "lower right buoy survey x", Survey, 3, false},
        {"lr_survey_y", "lower right buoy survey y", Survey, 3, true},
        {"jump_x", "jump x", Jump, 0, false},
        {"jump_y", "jump y", Jump, 0, true},
    };
    load(QDir(state.place.folder).filePath("SlalomOK.ipt"));
    double value = 3000;
    for (const Case& c : cases) {
        value += 15;
        Calibration expected = state.calibration;
        Point2& point = c.where == Mark     ? expected.marks[size_t(c.buoy)]
                        : c.where == Survey ? expected.survey[size_t(c.buoy)]
                                            : expected.jumpPoint;
        (c.y ? point.y : point.x) = value;
        typeInto(c.box, QString::number(value));
        pressEnter(c.box);
        EXPECT_EQ(state.calibration.marks, expected.marks) << c.box;
        EXPECT_EQ(state.calibration.survey, expected.survey) << c.box;
        EXPECT_EQ(state.calibration.jumpPoint, expected.jumpPoint) << c.box;
        EXPECT_FALSE(state.calibration.complete) << c.box;
        EXPECT_EQ(edit(c.box)->accessibleName(), c.caption);
    }
}

TEST_F(GridSetupScreen, TypedTextThatIsNoNumberPutsTheBoxBack)
{
    typeInto("upper_left_x", "abc");
    pressEnter("upper_left_x");
    EXPECT_EQ(text("upper_left_x"), "auto");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("upper left buoy screen x"));

    // Typing is a way to place an unmarked buoy too.
    typeInto("upper_left_x", "5400");
    pressEnter("upper_left_x");
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).x, 5400);
    EXPECT_EQ(text("upper_left_y"), " 0");

    typeInto("upper_left_y", "37S0");
    click("Load"); // the focus leaves the box on the way
    EXPECT_EQ(text("upper_left_y"), " 0");
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).y, 0);
    EXPECT_EQ(fake.messages.shown.size(), 3u); // the refusal, then Complete's own warning
    EXPECT_EQ(journalLines()[5], "Upper Left X,Y Pixels:  5400   0");
}

TEST_F(GridSetupScreen, EveryInputHasAnAccessibleName)
{
    QStringList names;
    for (QWidget* w : grid->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) &&
            !qobject_cast<QAbstractSlider*>(w))
            continue;
        if (qobject_cast<QMenuBar*>(w->parentWidget()))
            continue; // the menu bar's own buttons
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        names << w->accessibleName();
    }
    EXPECT_GE(names.size(), 18 + 4 + 4 + 13);
    EXPECT_EQ(names.removeDuplicates(), 0) << names.join(", ").toStdString();
    EXPECT_EQ(edit("upper_left_x")->accessibleName(), "upper left buoy screen x");
    EXPECT_EQ(edit("ll_survey_y")->accessibleName(), "lower left buoy survey y");
    EXPECT_EQ(edit("jump_x")->accessibleName(), "jump x");
    click("grid_select");
    EXPECT_EQ(control("grid_select")->accessibleName(), "Grid 2");
}

TEST_F(GridSetupScreen, HideAndShowTheDescriptions)
{
    click("cmdHide");
    EXPECT_FALSE(control("ipt_file_description")->isVisible());
    EXPECT_EQ(control<QPushButton>("cmdHide")->text(), "Show");
    click("cmdHide");
    EXPECT_TRUE(control("ipt_file_description_2")->isVisible());
    EXPECT_EQ(control<QPushButton>("cmdHide")->text(), "Hide");
}

TEST_F(GridSetupScreen, CrossSizeFollowsTheScrollBar)
{
    control<QScrollBar>("Setup_Cross_size")->setValue(15);
    EXPECT_EQ(state.display.crossSize, 15);
    load(QDir(state.place.folder).filePath("SlalomOK.ipt"));
    EXPECT_EQ(grid->circleRadius(), 30);
}

} // namespace
