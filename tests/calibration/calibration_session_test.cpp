// The calibration screen's rules without its widgets: loading and refusing setup files,
// saving, marking, typing, the lock, Complete, the grid slots, activation, the journal and
// the day logs, and what the operator is told.

#include "calibration/calibration_session.h"
#include "calibration/setup_file.h"
#include "support/calibration_session_fixture.h"
#include "support/impossible_setups.h"
#include "support/write_failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr CoordinateBox kUpperLeftX{BoxKind::ScreenX, Buoy::UpperLeft};
constexpr CoordinateBox kUpperLeftY{BoxKind::ScreenY, Buoy::UpperLeft};

class CalibrationSessionRules : public CalibrationSessionTest
{
protected:
    std::array<double, 9> coefficients() const { return calibration.transform.c; }
    QString text(BoxKind kind, Buoy buoy = Buoy::UpperLeft) const
    {
        return session.boxText({kind, buoy});
    }

    // Loads a good file, then the bad one: one warning naming the bad file (and its line, when
    // the fault is on one), and nothing else changes: the calibration, the slots, the boxes,
    // the smiley, the journal.
    void expectRefusedLoad(const QString& name, const QByteArray& content, int line)
    {
        ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
        const Calibration before = calibration;
        const GridSlots slotsBefore = slots;
        const CoordinateTexts boxesBefore = session.boxes();
        const int journal = int(journalLines().size());
        fake.messages.shown.clear();

        const QString path = resultFile(name);
        ASSERT_TRUE(writeBytes(path, content));
        EXPECT_FALSE(load(path));

        EXPECT_EQ(calibration, before);
        EXPECT_EQ(slots, slotsBefore);
        EXPECT_TRUE(calibration.complete);
        EXPECT_EQ(text(BoxKind::ScreenX) + text(BoxKind::SurveyY, Buoy::LowerLeft) +
                      session.boxes().jumpY,
                  boxesBefore.buoys[0].screenX + boxesBefore.buoys[2].surveyY + boxesBefore.jumpY);
        EXPECT_TRUE(session.shownComplete());
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
};

TEST_F(CalibrationSessionRules, StartsUnmarkedAndIncompleteWithTheSlalomSurvey)
{
    EXPECT_EQ(text(BoxKind::ScreenX), "auto");
    EXPECT_EQ(text(BoxKind::SurveyY, Buoy::LowerLeft), "-259");
    EXPECT_EQ(session.boxes().jumpX, "jump x");
    EXPECT_EQ(session.setupFile(), "No File");
    EXPECT_EQ(session.gridCaption(), "Grid 1");
    EXPECT_FALSE(session.shownComplete());
    EXPECT_FALSE(calibration.complete);
    EXPECT_FALSE(session.gridLocked());
}

// ---- loading ----------------------------------------------------------------------------------

TEST_F(CalibrationSessionRules, LoadingAFixtureGivesACompleteCalibration)
{
    const QString path = fixturePath("exponent-form-slalom.ipt");
    const auto request = session.startLoad();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->title, "Load Setup Data File");
    EXPECT_EQ(request->filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
    EXPECT_EQ(request->filterIndex, 3);
    EXPECT_EQ(request->folder, programFolder);
    EXPECT_FALSE(request->forSaving);
    ASSERT_TRUE(session.loadSetup(path, kScreenWidth));

    EXPECT_TRUE(calibration.complete);
    EXPECT_EQ(shownComplete, std::vector<bool>{true});
    EXPECT_EQ(session.setupFile(), path);
    EXPECT_EQ(session.setupDescription(), QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::UpperRight), " 8136");
    EXPECT_EQ(text(BoxKind::ScreenY, Buoy::LowerLeft), " 10461");
    EXPECT_EQ(text(BoxKind::SurveyY, Buoy::LowerLeft), "-259");
    EXPECT_EQ(coefficients()[2], 4.11861371949588E-03);
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft).x, 6348);
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
    EXPECT_EQ(drawingClears, 1);
}

TEST_F(CalibrationSessionRules, ShippedStandardFileLoadsWithoutWarning)
{
    ASSERT_TRUE(loadStandard());
    EXPECT_TRUE(calibration.complete);
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
}

TEST_F(CalibrationSessionRules, ACancelledLoadChangesNothingButTheLock)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-jump.ipt")));
    session.setGridLocked(true);
    ASSERT_TRUE(session.gridLocked());
    const CourseTransform transform = calibration.transform;
    const int journal = int(journalLines().size());
    ASSERT_TRUE(session.startLoad()); // and the chooser is cancelled
    EXPECT_FALSE(session.gridLocked());
    EXPECT_EQ(calibration.transform, transform);
    EXPECT_TRUE(calibration.complete);
    EXPECT_TRUE(session.shownComplete());
    EXPECT_EQ(journalLines().size(), journal);
    EXPECT_TRUE(fake.messages.shown.size() <= 1); // the fixture's own back-ratio warning
}

struct BadFile
{
    const char* name;
    const char* content;
    int line;
};

class MalformedFile : public CalibrationSessionRules, public testing::WithParamInterface<BadFile>
{
};

TEST_P(MalformedFile, LeavesThePreviousCalibrationUntouched)
{
    expectRefusedLoad(QString::fromLatin1(GetParam().name), GetParam().content, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MalformedFile,
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

class ImpossibleFile : public CalibrationSessionRules,
                       public testing::WithParamInterface<AlteredSetup>
{
};

TEST_P(ImpossibleFile, LeavesThePreviousCalibrationUntouched)
{
    expectRefusedLoad(QString::fromLatin1(GetParam().name) + ".ipt", alteredSetupBytes(GetParam()),
                      GetParam().where);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QString::fromLatin1(GetParam().reasonPart)))
        << fake.messages.shown[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, ImpossibleFile, testing::ValuesIn(impossibleSetups()), alteredName);

TEST_F(CalibrationSessionRules, CoefficientsThatMissTheMarksAreSolvedAgainAndSaidOnce)
{
    const QString path = resultFile("misfit.ipt");
    ASSERT_TRUE(writeBytes(path, alteredSetupBytes(misfitCoefficientSetups()[0])));
    ASSERT_TRUE(load(path));

    ASSERT_EQ(fake.messages.shown.size(), 1u) << messages().join('\n').toStdString();
    const ShownMessage& m = fake.messages.shown[0];
    EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(path))) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains("solved again")) << m.text.toStdString();
    EXPECT_EQ(m.title, "Error Message");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_TRUE(calibration.complete);
    EXPECT_TRUE(session.shownComplete());
    // The working calibration and slot 1 hold the solved coefficients: each mark lands on
    // its buoy.
    ASSERT_TRUE(slots.slot(1));
    EXPECT_EQ(slots.slot(1)->transform, calibration.transform);
    for (const ReferencePoint& p : slots.slot(1)->points) {
        const auto c = calibration.transform.toCourse(p.screen);
        ASSERT_TRUE(c);
        EXPECT_NEAR(c->point.x, p.survey.x, 1e-9);
        EXPECT_NEAR(c->point.y, p.survey.y, 1e-9);
    }
    EXPECT_EQ(journalLines().size(), 19);
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::UpperRight), " 8850");
}

TEST_F(CalibrationSessionRules, LoadAlwaysFillsSlotOne)
{
    session.selectNextGrid();
    ASSERT_EQ(slots.current, 2);
    ASSERT_TRUE(load(fixturePath("exponent-form-jump.ipt")));
    EXPECT_EQ(session.gridCaption(), "Grid 1");
    EXPECT_EQ(slots.current, 1);
    ASSERT_TRUE(slots.slot(1));
    EXPECT_FALSE(slots.slot(2));
    EXPECT_EQ(slots.slot(1)->points[0].screen.x, 7692);
    EXPECT_TRUE(calibration.complete);
}

// ---- saving -----------------------------------------------------------------------------------

TEST_F(CalibrationSessionRules, SaveThenLoadGivesBackTheSameCalibration)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    const Calibration loaded = calibration;
    const QString saved = resultFile("mine.ipt");
    const auto request = session.startSave();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->title, "Save Data Setup File");
    EXPECT_EQ(request->filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
    EXPECT_EQ(request->filterIndex, 3);
    EXPECT_TRUE(request->forSaving);
    session.saveSetup(saved, QStringLiteral("Lake, north tower, zoom 3"));
    EXPECT_EQ(session.setupFile(), saved);
    EXPECT_EQ(slots.slot(1)->description, "Lake, north tower, zoom 3");

    // Spoil the working calibration, then load the saved file.
    mark(Buoy::UpperLeft, 100, 300);
    EXPECT_FALSE(calibration.complete);
    ASSERT_TRUE(load(saved));
    EXPECT_TRUE(calibration.complete);
    EXPECT_EQ(coefficients(), loaded.transform.c);
    EXPECT_EQ(calibration.marks, loaded.marks);
    EXPECT_EQ(calibration.survey, loaded.survey);
    EXPECT_EQ(calibration.jumpPoint, loaded.jumpPoint);
    EXPECT_EQ(session.setupDescription(), "Lake, north tower, zoom 3");
}

TEST_F(CalibrationSessionRules, AFailedSaveSaysSoAndChangesNothing)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    fake.messages.shown.clear();
    const QString blocker = resultFile("file");
    ASSERT_TRUE(writeBytes(blocker, {}));
    ASSERT_TRUE(save(blocker + "/x.ipt", QStringLiteral("new")));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("x.ipt"));
    EXPECT_EQ(session.setupDescription(), QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(slots.slot(1)->savedPath, fixturePath("exponent-form-slalom.ipt"));
}

TEST_F(CalibrationSessionRules, NothingSolvedYetIsNothingToSave)
{
    markFour();
    EXPECT_FALSE(save(resultFile("zero.ipt"), QString()));
    EXPECT_FALSE(QFile::exists(resultFile("zero.ipt")));
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

// ---- marking and Complete -----------------------------------------------------------------------

TEST_F(CalibrationSessionRules, MarkingFourBuoysAndCompleting)
{
    markFour();
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::UpperRight), " 6300");
    EXPECT_EQ(text(BoxKind::ScreenY, Buoy::UpperRight), " 3750");
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::LowerLeft), " 4500");
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft).y, 7800);
    EXPECT_FALSE(session.shownComplete());
    ASSERT_EQ(marksDrawn.size(), 4u); // the white crosses
    EXPECT_FALSE(calibration.complete);

    session.complete();
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_TRUE(calibration.complete);
    EXPECT_TRUE(session.shownComplete());
    EXPECT_EQ(drawingClears, 1); // Complete clears the drawing
    const auto far = calibration.transform.toCourse({6300, 3750});
    EXPECT_NEAR(far->point.x, 0.0, 1e-9);
    EXPECT_NEAR(far->point.y, 0.0, 1e-9);
    const QStringList journal = journalLines();
    ASSERT_EQ(journal.size(), 19);
    EXPECT_EQ(journal[5], "Upper Left X,Y Pixels:  5400   3750");
    EXPECT_EQ(journal[6], "Upper Left X,Y Survey: 2.5  0");
    EXPECT_EQ(journal[1], "No File");
}

TEST_F(CalibrationSessionRules, CompleteWithAnUnmarkedBuoyWarnsAndStillJournals)
{
    mark(Buoy::UpperRight, 420, 250);
    session.complete();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Warning - Not all parameters have been set up on grid");
    EXPECT_EQ(fake.messages.shown[0].title, "Error Message");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(calibration.complete);
    EXPECT_FALSE(session.shownComplete());
    EXPECT_EQ(journalLines().size(), 19);
}

TEST_F(CalibrationSessionRules, TwoBuoysOnOnePointShowNoSmileyAndKeepTheCoefficients)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    const auto before = coefficients();
    fake.messages.shown.clear();
    mark(Buoy::LowerLeft, 8136 / 15, 4527 / 15 + 100);
    mark(Buoy::UpperRight, 8136 / 15, 4527 / 15 + 100);
    session.complete();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "No Unique Solution - Re-enter data");
    EXPECT_FALSE(calibration.complete);
    EXPECT_FALSE(session.shownComplete());
    EXPECT_EQ(coefficients(), before);
    EXPECT_EQ(journalLines().size(), 2 * 19);
}

TEST_F(CalibrationSessionRules, CompleteWithAMarkBeyondAnyPictureChangesNothing)
{
    markFour();
    session.complete();
    ASSERT_TRUE(calibration.complete);
    const CourseTransform transform = calibration.transform;
    const GridSlots slotsBefore = slots;
    type({BoxKind::ScreenX, Buoy::LowerLeft}, "300000");
    ASSERT_EQ(calibration.mark(Buoy::LowerLeft).x, 300000);
    ASSERT_FALSE(session.shownComplete());
    fake.messages.shown.clear();

    session.complete();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        "Warning - The lower left buoy's mark (300000, 7800) lies beyond the reach of any "
        "picture"))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].title, "Error Message");
    // Not complete: the start screen's Measure refuses.
    EXPECT_FALSE(calibration.complete);
    EXPECT_EQ(calibration.transform, transform);
    EXPECT_EQ(slots, slotsBefore);
    EXPECT_FALSE(session.shownComplete());
    EXPECT_EQ(journalLines().size(), 2 * 19); // every press is journalled
}

TEST_F(CalibrationSessionRules, LockedClickMovesAllFourMarks)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-jump.ipt")));
    session.setGridLocked(true);
    mark(Buoy::UpperRight, 7692 / 15 + 10, 5344 / 15 - 4); // 150 twips right, 60 up
    EXPECT_EQ(calibration.mark(Buoy::UpperRight).x, 7692 / 15 * 15 + 150);
    const double dx = calibration.mark(Buoy::UpperRight).x - 7692;
    const double dy = calibration.mark(Buoy::UpperRight).y - 5344;
    EXPECT_EQ(calibration.mark(Buoy::LowerRight).x, 9373 + dx);
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).y, 5344 + dy);
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft).x, 7929 + dx);
    EXPECT_EQ(text(BoxKind::ScreenY, Buoy::LowerRight), QStringLiteral(" %1").arg(9734 + dy));
    EXPECT_FALSE(calibration.complete);
}

TEST_F(CalibrationSessionRules, AClickBetweenTwipsMarksTheNearestWholeTwip)
{
    session.markAt(Buoy::UpperLeft, {6000.4, 4499.6});
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{6000, 4500}));
    EXPECT_EQ(text(BoxKind::ScreenX), " 6000");
    session.markAt(std::nullopt, {100, 100}); // no buoy selected: nothing
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{6000, 4500}));
    EXPECT_EQ(marksDrawn.size(), 1u);
}

TEST_F(CalibrationSessionRules, LockRefusedWhileABoxReadsAuto)
{
    mark(Buoy::UpperLeft, 300, 300);
    session.setGridLocked(true);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              "Cannot Lock Grid Until buoy positions have been entered for all four buoys");
    EXPECT_FALSE(session.gridLocked());
}

TEST_F(CalibrationSessionRules, MicroAdjustNudgesByOnePixel)
{
    markFour();
    session.nudge(Buoy::UpperLeft, AdjustDirection::Down);
    EXPECT_EQ(text(BoxKind::ScreenY), " 3765");
    EXPECT_EQ(text(BoxKind::ScreenY, Buoy::UpperRight), " 3750");

    session.setGridLocked(true);
    const Calibration before = calibration;
    const double lowerRightX = before.mark(Buoy::LowerRight).x;
    for (int i = 0; i < 20; ++i)
        session.nudge(Buoy::UpperLeft, AdjustDirection::Right);
    EXPECT_EQ(calibration.mark(Buoy::LowerRight).x, lowerRightX + 300);
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::LowerRight),
              QStringLiteral(" %1").arg(lowerRightX + 300));
    for (int i = 0; i < 20; ++i)
        session.nudge(Buoy::UpperLeft, AdjustDirection::Left);
    EXPECT_EQ(calibration.marks, before.marks);
}

// ---- typing into the boxes
// ------------------------------------------------------------------------

TEST_F(CalibrationSessionRules, TypingIntoABoxMakesTheCalibrationIncomplete)
{
    ASSERT_TRUE(loadStandard());
    ASSERT_TRUE(calibration.complete);
    session.editBox({BoxKind::SurveyY, Buoy::UpperRight}, "abc");
    EXPECT_EQ(calibration.surveyPoint(Buoy::UpperRight).y, 0.0);
    EXPECT_FALSE(calibration.complete);
    EXPECT_EQ(shownComplete, (std::vector<bool>{true, false}));
    session.editBox({BoxKind::JumpX}, session.boxes().jumpX + "7");
    EXPECT_EQ(calibration.jumpPoint.x, 7.0);
}

TEST_F(CalibrationSessionRules, ATypedMarkIsWhatCompleteSolvesAndJournals)
{
    markFour();
    session.editBox(kUpperLeftX, "48");
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x, 5400) << "a half-typed value moves nothing";
    session.editBox(kUpperLeftX, "4800");
    session.finishTypedMark(kUpperLeftX);
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x, 4800);
    EXPECT_EQ(text(BoxKind::ScreenX), " 4800");
    // The old cross erased, the new one drawn.
    ASSERT_EQ(marksDrawn.size(), 5u);
    const OverlayShapes& moved = marksDrawn.back();
    const auto* erase = std::get_if<OverlayLine>(&moved[1]);
    const auto* cross = std::get_if<OverlayLine>(&moved.back());
    ASSERT_TRUE(erase && cross);
    EXPECT_EQ(erase->colour, kMagenta);
    EXPECT_EQ(cross->colour, kWhite);
    EXPECT_EQ(cross->x1, 4800);

    // Still being typed when Complete is pressed.
    session.editBox({BoxKind::ScreenY, Buoy::LowerRight}, "7950");
    session.complete();
    EXPECT_TRUE(fake.messages.shown.empty());
    ASSERT_TRUE(calibration.complete);
    for (const auto& [screen, survey] :
         {std::pair{Point2{4800, 3750}, Point2{2.5, 0}}, {Point2{8400, 7950}, Point2{0, -259}}}) {
        const auto mapped = calibration.transform.toCourse(screen);
        EXPECT_NEAR(mapped->point.x, survey.x, 1e-9);
        EXPECT_NEAR(mapped->point.y, survey.y, 1e-9);
    }
    const QStringList journal = journalLines();
    ASSERT_EQ(journal.size(), 19);
    EXPECT_EQ(journal[5], "Upper Left X,Y Pixels:  4800   3750");
    EXPECT_EQ(journal[14], "Lower Right X,Y Pixels:  8400   7950");
}

TEST_F(CalibrationSessionRules, TypedTextThatIsNoNumberPutsTheBoxBack)
{
    type(kUpperLeftX, "abc");
    EXPECT_EQ(text(BoxKind::ScreenX), "auto");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("upper left buoy screen x"));
    EXPECT_EQ(fake.messages.shown[0].title, "Grid Setup Error");

    // Typing is a way to place an unmarked buoy too.
    type(kUpperLeftX, "5400");
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x, 5400);
    EXPECT_EQ(text(BoxKind::ScreenY), " 0");

    session.editBox(kUpperLeftY, "37S0");
    session.complete(); // finishes the typing first
    EXPECT_EQ(text(BoxKind::ScreenY), " 0");
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).y, 0);
    EXPECT_EQ(fake.messages.shown.size(), 3u); // the refusal, then Complete's own warning
    EXPECT_EQ(journalLines()[5], "Upper Left X,Y Pixels:  5400   0");
    // An edit already finished is not finished again.
    session.finishTypedMark(kUpperLeftY);
    EXPECT_EQ(fake.messages.shown.size(), 3u);
}

// ---- grid slots
// -----------------------------------------------------------------------------------

TEST_F(CalibrationSessionRules, AnEmptyGridSlotIsNoCalibrationAndCannotBeSaved)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    const auto loaded = coefficients();
    const QString standard = programFile("SlalomOK.ipt");
    const QByteArray standardBytes = bytesOf(standard);
    fake.messages.shown.clear();

    session.selectNextGrid();
    EXPECT_EQ(session.gridCaption(), "Grid 2");
    EXPECT_EQ(slots.current, 2);
    EXPECT_EQ(coefficients(), (std::array<double, 9>{}));
    EXPECT_FALSE(calibration.complete);
    EXPECT_FALSE(session.shownComplete());
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::UpperRight), "auto");

    // Saving is refused before any chooser: the standard file keeps its calibration.
    EXPECT_FALSE(session.startSave());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith("Grid 2 holds no calibration"));
    EXPECT_EQ(bytesOf(standard), standardBytes);

    session.selectNextGrid();
    EXPECT_EQ(session.gridCaption(), "Grid 1");
    EXPECT_EQ(slots.current, 1);
    EXPECT_EQ(coefficients(), loaded);
    EXPECT_EQ(text(BoxKind::ScreenX, Buoy::UpperRight), " 8136");
    EXPECT_EQ(session.setupFile(), fixturePath("exponent-form-slalom.ipt"));
    EXPECT_TRUE(calibration.complete);
    EXPECT_TRUE(session.shownComplete());
}

TEST_F(CalibrationSessionRules, LeavingFromAnEmptySlotKeepsIt)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    session.selectNextGrid();
    int sidesDrawn = 0;
    QObject::connect(&session, &CalibrationSession::courseSidesDrawn,
                     [&sidesDrawn] { ++sidesDrawn; });
    session.leave();
    // What the selector names is what is in use: the empty slot, no calibration.
    EXPECT_EQ(session.gridCaption(), "Grid 2");
    EXPECT_EQ(slots.current, 2);
    EXPECT_EQ(coefficients(), (std::array<double, 9>{}));
    EXPECT_FALSE(session.isComplete());
    EXPECT_EQ(sidesDrawn, 0);

    session.selectNextGrid();
    session.leave();
    EXPECT_TRUE(session.isComplete());
    EXPECT_EQ(slots.current, 1);
    EXPECT_EQ(sidesDrawn, 1);
}

TEST_F(CalibrationSessionRules, CompletingFromGridTwoFillsSlotOneAndSaysSo)
{
    session.selectNextGrid();
    for (const auto& [box, value] :
         {std::pair{CoordinateBox{BoxKind::SurveyX, Buoy::UpperLeft}, "2.5"},
          {CoordinateBox{BoxKind::SurveyX, Buoy::LowerLeft}, "2.5"},
          {CoordinateBox{BoxKind::SurveyY, Buoy::LowerLeft}, "-259"},
          {CoordinateBox{BoxKind::SurveyY, Buoy::LowerRight}, "-259"}})
        session.editBox(box, QString::fromLatin1(value));
    markFour();
    session.complete();
    EXPECT_TRUE(calibration.complete);
    EXPECT_EQ(slots.current, 1);
    EXPECT_EQ(session.gridCaption(), "Grid 1");
    EXPECT_EQ(slots.slot(1)->points[0].screen.x, 6300);
}

// ---- activation, journal and day logs
// -------------------------------------------------------------

TEST_F(CalibrationSessionRules, ActivationForJumpSwitchesTheSurveyAndLogsEachEntry)
{
    ASSERT_TRUE(load(fixturePath("exponent-form-slalom.ipt")));
    session.leave();
    run.event = Event::Jump;
    session.activate();
    EXPECT_EQ(text(BoxKind::SurveyX), "4");
    EXPECT_EQ(text(BoxKind::SurveyX, Buoy::LowerLeft), "4");
    EXPECT_EQ(text(BoxKind::SurveyY, Buoy::LowerLeft), "-280");
    EXPECT_EQ(text(BoxKind::SurveyY, Buoy::LowerRight), "-280");
    EXPECT_EQ(text(BoxKind::SurveyX, Buoy::UpperRight), " 0");
    EXPECT_EQ(calibration.surveyPoint(Buoy::LowerRight).y, -280);
    EXPECT_FALSE(calibration.complete);
    EXPECT_FALSE(session.shownComplete());

    // Entering again for the same event changes nothing.
    session.leave();
    calibration.complete = true;
    session.activate();
    EXPECT_TRUE(calibration.complete);

    QFile result(resultFile("ResultLog1207.txt"));
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(result.readAll()).split("\r\n");
    EXPECT_EQ(lines.size(), 4); // three entries and the final line end
    EXPECT_EQ(lines[0], "Test Session Results Log Setup Starting 12-07-2026 14:05:09");
    QFile database(resultFile("dbResultLog1207.txt"));
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    EXPECT_EQ(database.readAll().count("Test Session Database Log Setup Starting"), 3);
}

TEST_F(CalibrationSessionRules, JournalFailureIsOneMessageAndTheCalibrationStands)
{
    markFour();
    ASSERT_TRUE(QDir(results.path()).removeRecursively());
    session.complete();
    EXPECT_TRUE(calibration.complete);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("results_file.txt"));
    EXPECT_EQ(fake.messages.shown[0].title, "Grid Setup");
}

TEST_F(CalibrationSessionRules, LogFailureOnEntryIsOneMessage)
{
    ASSERT_TRUE(QDir(results.path()).removeRecursively());
    session.activate();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("ResultLog1207.txt"));
    EXPECT_TRUE(fake.messages.shown[0].text.contains("dbResultLog1207.txt"));
}

// ---- files that cannot be written: the folder missing, read-only, or the disk full ------------

class CalibrationWriteFailures : public CalibrationSessionRules,
                                 public testing::WithParamInterface<Failure>
{
protected:
    void TearDown() override { mend(); }

    void breakResultsFolder(const QStringList& names) { broken.breakFor(names); }
    void mend() { broken.mend(); }

    // Exactly one message since `from`, a warning naming the file and the system's reason.
    void expectOneWarning(size_t from, const QString& path)
    {
        ASSERT_EQ(fake.messages.shown.size(), from + 1) << messages().join('\n').toStdString();
        const ShownMessage& m = fake.messages.shown.back();
        EXPECT_EQ(m.icon, MessageIcon::Warning);
        EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(path))) << m.text.toStdString();
        EXPECT_TRUE(namesTheReason(GetParam(), m.text)) << m.text.toStdString();
    }

    BrokenFolder broken{results.path(), GetParam()};
};

TEST_P(CalibrationWriteFailures, BothDayLogsInOneMessageThenTheJournalAndTheSetupStillLoads)
{
    const QByteArray earlierJournal = "an earlier calibration\r\n";
    if (GetParam() != Failure::DiskFull) {
        ASSERT_TRUE(writeBytes(resultFile("results_file.txt"), earlierJournal));
    }
    breakResultsFolder({"ResultLog1207.txt", "dbResultLog1207.txt", "results_file.txt"});
    session.activate();
    expectOneWarning(0, resultFile("ResultLog1207.txt"));
    EXPECT_TRUE(fake.messages.shown[0].text.contains(
        QDir::toNativeSeparators(resultFile("dbResultLog1207.txt"))));

    ASSERT_TRUE(loadStandard());
    EXPECT_TRUE(calibration.complete) << "the setup is loaded all the same";
    expectOneWarning(1, resultFile("results_file.txt"));

    session.complete();
    EXPECT_TRUE(calibration.complete);
    expectOneWarning(2, resultFile("results_file.txt"));
    mend();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(resultFile("results_file.txt")), earlierJournal);
    }
}

TEST_P(CalibrationWriteFailures, SetupFileIsNotSavedTheCalibrationStaysAndSavesElsewhere)
{
    ASSERT_TRUE(loadStandard());
    ASSERT_TRUE(calibration.complete);
    const QString setupShown = session.setupFile();
    QTemporaryDir elsewhere;
    const QByteArray oldBytes =
        GetParam() == Failure::FolderMissing ? QByteArray() : bytesOf(programFile("SlalomOK.ipt"));
    const QString path =
        elsewhere.filePath(GetParam() == Failure::FolderMissing ? QStringLiteral("gone/lake.ipt")
                                                                : QStringLiteral("lake.ipt"));
    if (!oldBytes.isEmpty()) {
        ASSERT_TRUE(writeBytes(path, oldBytes));
    }
    const std::size_t before = fake.messages.shown.size();

    {
        std::optional<WriteBlock> readOnly;
        std::optional<SizeLimit> full;
        if (GetParam() == Failure::FolderReadOnly)
            readOnly.emplace(elsewhere.path());
        else if (GetParam() == Failure::DiskFull)
            full.emplace(rlim_t(oldBytes.size() / 2));
        ASSERT_TRUE(save(path, QStringLiteral("north tower")));
    }

    expectOneWarning(before, path);
    EXPECT_TRUE(
        fake.messages.shown.back().text.contains(QStringLiteral("The setup has not been saved.")));
    if (GetParam() == Failure::FolderMissing)
        EXPECT_FALSE(QFile::exists(path));
    else
        EXPECT_EQ(bytesOf(path), oldBytes) << "the old file is intact";
    // Nothing half written is left beside it either.
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files).size(),
              GetParam() == Failure::FolderMissing ? 0 : 1);
    EXPECT_TRUE(calibration.complete);
    EXPECT_EQ(session.setupFile(), setupShown) << "the screen does not claim the failed file";

    const QString good = programFile("lake.ipt");
    ASSERT_TRUE(save(good, QStringLiteral("north tower")));
    EXPECT_EQ(fake.messages.shown.size(), before + 1) << messages().join('\n').toStdString();
    EXPECT_TRUE(bytesOf(good).contains("north tower"));
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, CalibrationWriteFailures, kAllFailures, failureName);

} // namespace
