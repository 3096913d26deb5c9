#include "results/results_session.h"

#include "app/name_list_items.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "common/text_file.h"
#include "fakes/fake_services.h"
#include "measure/pass_record.h"
#include "results/buoy_figures_text.h"
#include "results/pass_report.h"
#include "results/pending_database_line.h"
#include "support/kept_files.h"
#include "support/sample_pass.h"
#include "support/write_block.h"
#include "support/write_failure.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

// A session as the results screen has it, with the fakes of a started program: its messages
// go where the screen would show them, so that they are recorded with the folders.
class ResultsSessionTest : public testing::Test
{
protected:
    ResultsSessionTest()
    {
        place.folder = program.path();
        RunInfo info;
        info.resultsFolder = results.path();
        run.set(info, {-1, -1, -1, -1});
        names[NameList::Skiers] = QStringList{QStringLiteral("Ann"), QStringLiteral("Bee")};
        names[NameList::Drivers] = QStringList{QStringLiteral("Carl"), QStringLiteral("Dee")};
        make();
    }
    ~ResultsSessionTest() override
    {
        keepTestFiles(fake, {{program.path(), QStringLiteral("program")},
                             {results.path(), QStringLiteral("results")}});
    }

    // A new session, as the next pass's screen makes one.
    void make()
    {
        session = std::make_unique<ResultsSession>(
            run, names, pass, place, ResultsSession::Services{fake.clock, fake.settings});
        QObject::connect(session.get(), &ResultsSession::notice, [this](const QString& text) {
            fake.messages.plain(text, QStringLiteral("Wakeline"));
        });
        QObject::connect(session.get(), &ResultsSession::warning, [this](const QString& text) {
            fake.messages.warning(text, QStringLiteral("Error Message"));
        });
        QObject::connect(session.get(), &ResultsSession::reportChanged,
                         [this](const QString& text) { shown = text; });
        QObject::connect(session.get(), &ResultsSession::left, [this](ResultsExit e) { exit = e; });
    }

    void setRun(const std::function<void(RunInfo&)>& change,
                std::array<int, 4> positions = {-1, -1, -1, -1})
    {
        RunInfo info = run.info();
        change(info);
        run.set(info, positions);
    }

    // The shipped rule sets in the program folder's "rules" folder, as on first use.
    void installRules()
    {
        QDir(program.path()).mkpath(QStringLiteral("rules"));
        for (const char* name : kBuiltInRuleSetFiles)
            ASSERT_TRUE(QFile::copy(QStringLiteral(":/program/") + name,
                                    QDir(program.path()).filePath(QString::fromLatin1(name))));
    }

    int ruleSetIndex(const QString& fileName) const
    {
        const auto& sources = session->figures().ruleSetSources();
        for (size_t i = 0; i < sources.size(); ++i)
            if (sources[i].fileName == fileName)
                return int(i);
        ADD_FAILURE() << fileName.toStdString();
        return -1;
    }

    void leave(ResultsExit where = ResultsExit::ToStart)
    {
        const CopyFields c = session->copyFields();
        session->leave(where, {c.speedPosition, c.linePosition});
    }

    QString result(const QString& name) const { return results.filePath(name); }
    QString resultText(const QString& name) const
    {
        return readTextFile(result(name)).value_or(QString());
    }
    // The database log's lines, split into fields.
    QList<QStringList> databaseLines() const
    {
        QList<QStringList> lines;
        for (const QString& line : splitLines(resultText(QStringLiteral("dbResultLog1207.txt"))))
            lines << line.split('|');
        return lines;
    }
    QStringList pendingFiles() const
    {
        return QDir(results.path())
            .entryList({QStringLiteral("PendingDatabaseLine*")}, QDir::Files);
    }
    // The line the pending file holds now; empty when there is not exactly one.
    QString pendingLine() const
    {
        const QStringList files = pendingFiles();
        if (files.size() != 1)
            return QString();
        const PendingLineRead read = readPendingLine(result(files[0]));
        return read.pending ? read.pending->line : QString();
    }
    QString report() const
    {
        return analysePass(run.info(), pass.samples, pass.tenths, fake.clock.nowValue).report;
    }
    std::array<BuoyTableRow, 7> rows() const { return buoyTableRows(session->figures().figures()); }
    QString messages() const
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts.join(QStringLiteral("\n---\n"));
    }

    QTemporaryDir program;
    QTemporaryDir results;
    FakeServices fake;
    ProgramPlace place;
    RunParticulars run;
    NameListItems names;
    PassRecord pass;
    std::unique_ptr<ResultsSession> session;
    QString shown; // the report box
    std::optional<ResultsExit> exit;
};

TEST_F(ResultsSessionTest, PassIsReportedLoggedAndItsLineKept)
{
    recordSamplePass(pass, 161);
    session->load();
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().toStdString();
    EXPECT_EQ(session->legend(),
              QStringList({"Black/Red - Measured Data", "Blue - Best Fit Path Line"}));
    EXPECT_EQ(shown, report());
    EXPECT_EQ(resultText(QStringLiteral("ResultLog1207.txt")), report() + QStringLiteral("\r\n"));
    // No name was picked: the log records none, not the lists' titles.
    EXPECT_TRUE(report().contains(QStringLiteral("\r\nSkier Name: \r\n")));
    EXPECT_TRUE(resultText(QStringLiteral("originalmeasurements.txt"))
                    .startsWith(QStringLiteral("Slalom\r\n12-07-2026\r\n14:05:09\r\n")));
    EXPECT_NE(pass.statistics.meanFitDeviation, 0.0);
    ASSERT_EQ(pendingFiles(), QStringList{QStringLiteral("PendingDatabaseLine1207-140509.txt")});
    EXPECT_EQ(pendingLine(), session->databaseLineNow());
    EXPECT_EQ(pendingLine().split('|').size(), 22);
}

// A live pass's recording is finished after its results opened: it is offered then, for that
// pass only, and not once the report shown is another or the screen is left.
TEST_F(ResultsSessionTest, ALivePassIsOfferedForReviewOnceItsRecordingIsFinished)
{
    recordSamplePass(pass, 161);
    session->load();
    EXPECT_FALSE(session->review().pass.has_value());
    MediaPass recording{result(QStringLiteral("Pass 1.mkv")), 2000000, {}, {}, {}};
    ASSERT_TRUE(writeBytes(recording.videoFile, "video"));
    for (int k = 0; k <= 161; ++k) {
        recording.sampleFramesUs.push_back(2000000 + k * 100000);
        recording.sampleLines.push_back({4500.0 + k, 3600.0});
    }
    MediaPass shorter = recording;
    shorter.sampleFramesUs.pop_back();
    session->offerRecordingOfMeasuredPass(shorter); // not this pass's
    EXPECT_FALSE(session->review().pass.has_value());

    session->offerRecordingOfMeasuredPass(recording);
    ASSERT_TRUE(session->review().pass.has_value());
    EXPECT_EQ(session->review().pass->videoFile, recording.videoFile);
    EXPECT_EQ(session->review().pass->startUs, 2000000);
    EXPECT_EQ(session->review().pass->sampleLines, recording.sampleLines);
    EXPECT_EQ(session->review().pass->windows.size(), 7u); // the gate and six buoys

    session->load(); // the same pass shown afresh: no recording known yet
    ASSERT_FALSE(session->review().pass.has_value());
    leave();
    session->offerRecordingOfMeasuredPass(recording); // too late: the screen was left
    EXPECT_FALSE(session->review().pass.has_value());
}

TEST_F(ResultsSessionTest, NoPassSaysSoKeepsNoLineButStillWritesOneOnReturn)
{
    session->load();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("No Results loaded yet"));
    EXPECT_TRUE(session->legend().isEmpty());
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(session->copyFields().names[size_t(NameList::Skiers)].size(), 2);
    EXPECT_FALSE(QFile::exists(result(QStringLiteral("ResultLog1207.txt"))));
    session->setNotes(QStringLiteral("1"), QString(), QString());
    EXPECT_TRUE(pendingFiles().isEmpty());
    leave();
    ASSERT_EQ(databaseLines().size(), 1);
    EXPECT_EQ(databaseLines()[0].size(), 22);
    EXPECT_EQ(exit, ResultsExit::ToStart);
}

// Each field the operator may change on the screen, and the field of the line it moves.
TEST_F(ResultsSessionTest, EveryChangeOfTheLineIsKeptAndTheReturnWritesTheLastOneOnly)
{
    recordSamplePass(pass, 161);
    session->load();
    const QStringList filesOnLoad = QDir(results.path()).entryList(QDir::Files);
    auto field = [&](int i) { return pendingLine().split('|').value(i); };
    session->setNotes(QStringLiteral("1.5"), QString(), QString());
    EXPECT_EQ(field(12), QStringLiteral("1.5"));
    session->setNotes(QStringLiteral("1.5"), QStringLiteral("2"), QString());
    EXPECT_EQ(field(13), QStringLiteral("2"));
    session->setNotes(QStringLiteral("1.5"), QStringLiteral("2"), QStringLiteral("gusty"));
    EXPECT_EQ(field(21), QStringLiteral("gusty"));
    session->setBoatNumber(QStringLiteral("7"));
    EXPECT_EQ(field(0), QStringLiteral("7"));
    session->pickName(NameList::Skiers, 1);
    EXPECT_EQ(field(5), QStringLiteral("Bee"));
    session->pickLineLength(1);
    EXPECT_EQ(field(7), QStringLiteral("16.00"));
    const QString kept = pendingLine();

    leave();
    EXPECT_EQ(splitLines(resultText(QStringLiteral("dbResultLog1207.txt"))), QStringList{kept});
    EXPECT_TRUE(pendingFiles().isEmpty());
    // The return left the folder as it always did: the pending file was the only new file.
    QStringList expected = filesOnLoad;
    expected.removeAll(QStringLiteral("PendingDatabaseLine1207-140509.txt"));
    expected << QStringLiteral("dbResultLog1207.txt");
    expected.sort();
    EXPECT_EQ(QDir(results.path()).entryList(QDir::Files, QDir::Name), expected);
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().toStdString();
}

TEST_F(ResultsSessionTest, AFailedReturnKeepsThePendingLineAndSaysWhere)
{
    // A folder in the log's place: the append fails, the pending file is written.
    ASSERT_TRUE(QDir(results.path()).mkdir(QStringLiteral("dbResultLog1207.txt")));
    recordSamplePass(pass, 161);
    session->load();
    session->setNotes(QString(), QString(), QStringLiteral("wind"));
    leave();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(message.contains(QStringLiteral("dbResultLog1207.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("offered again")));
    EXPECT_TRUE(pendingLine().endsWith(QStringLiteral("|wind")));
    EXPECT_EQ(exit, ResultsExit::ToStart); // on to the next pass all the same
}

TEST_F(ResultsSessionTest, AFileThatCannotBeKeptIsToldOnceAndTheReturnStillWritesTheLine)
{
    recordSamplePass(pass, 161);
    session->load();
    {
        const WriteBlock block(results.path());
        for (const char* typed : {"1", "12", "123"})
            session->setNotes(QString::fromLatin1(typed), QString(), QString());
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    leave();
    ASSERT_EQ(databaseLines().size(), 1);
    EXPECT_EQ(databaseLines()[0][12], QStringLiteral("123"));
    EXPECT_TRUE(pendingFiles().isEmpty());
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(ResultsSessionTest, LineCopyWritesBackAndReachesTheDatabaseLine)
{
    // Loading selects the start screen's line in the copy, which writes back the list's own
    // text: without the blank the measurement screen puts before "9.75".
    setRun([](RunInfo& r) { r.lineLength = 8; });
    pass.lineText = QStringLiteral(" 9.75");
    recordSamplePass(pass, 161);
    session->load();
    EXPECT_EQ(session->copyFields().linePosition, 8);
    EXPECT_EQ(pass.lineText, QStringLiteral("9.75"));
    EXPECT_EQ(pendingLine().split('|').value(7), QStringLiteral("9.75"));

    setRun([](RunInfo& r) { r.lineLength = 5; });
    session->pickLineLength(1);
    EXPECT_EQ(run.info().lineLength, 1);
    EXPECT_EQ(pass.lineText, QStringLiteral("16.00"));
    session->pickLineLength(-1); // no selection changes nothing
    EXPECT_EQ(run.info().lineLength, 1);
    session->setNotes(QString(), QString(), QStringLiteral("gusty | wind"));
    session->leave(ResultsExit::ToStart, {0, 5}); // the next pass's line: "11.25"
    const QStringList f = databaseLines().value(0);
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[3], QStringLiteral("S"));
    EXPECT_EQ(f[7], QStringLiteral("16.00"));
    EXPECT_EQ(f[21], QStringLiteral("gusty   wind"));
    EXPECT_EQ(run.info().lineLength, 5);
    EXPECT_EQ(pass.lineText, QStringLiteral("11.25"));
}

TEST_F(ResultsSessionTest, JumpSpeedChosenInTheCopyListIsSelectedOnReturn)
{
    setRun([](RunInfo& r) { r.event = Event::Jump; });
    recordSamplePass(pass, 177);
    session->load();
    const CopyFields c = session->copyFields();
    ASSERT_EQ(c.speedItems.size(), 9);
    EXPECT_EQ(c.speedItems.value(c.speedPosition), QStringLiteral("57/35"));
    EXPECT_FALSE(c.lineCopies);
    EXPECT_TRUE(session->figures().source().startsWith("Jump passes have no per-buoy figures"));
    EXPECT_FALSE(QFile::exists(result(QStringLiteral("BuoyLog1207.txt"))));
    session->leave(ResultsExit::ToStart, {int(c.speedItems.indexOf(QStringLiteral("72/45"))), -1});
    EXPECT_STREQ(run.info().speed()->caption, "72/45");
    EXPECT_EQ(run.info().direction, Direction::Toward); // a jump pass keeps its direction
    EXPECT_EQ(databaseLines().value(0).value(3), QStringLiteral("J"));
}

TEST_F(ResultsSessionTest, ReturnToMeasureAfterASlalomPassGoingAway)
{
    setRun([](RunInfo& r) { r.direction = Direction::Away; });
    recordSamplePass(pass, 161);
    session->load();
    EXPECT_FALSE(session->hasLeft());
    leave(ResultsExit::ToMeasurement);
    EXPECT_TRUE(session->hasLeft());
    EXPECT_EQ(exit, ResultsExit::ToMeasurement);
    EXPECT_EQ(run.info().direction, Direction::Toward);
    EXPECT_EQ(databaseLines().size(), 1);
}

TEST_F(ResultsSessionTest, NameCopiesFollowAndWriteBackTheStartScreen)
{
    setRun(
        [](RunInfo& r) {
            r.skier = QStringLiteral("Bee");
            r.boatNumber = QStringLiteral("4");
        },
        {-1, 1, -1, -1});
    recordSamplePass(pass, 161);
    session->load();
    const CopyFields c = session->copyFields();
    EXPECT_EQ(c.namePositions[size_t(NameList::Skiers)], 1);
    EXPECT_EQ(c.namePositions[size_t(NameList::Drivers)], -1);
    EXPECT_EQ(c.names[size_t(NameList::Drivers)].size(), 2);
    EXPECT_EQ(c.boatNumber, QStringLiteral("4"));
    // A list without a pick stays without one.
    EXPECT_EQ(run.info().driver, QString());
    EXPECT_EQ(run.namePosition(NameList::Drivers), -1);
    session->pickName(NameList::Skiers, 0);
    EXPECT_EQ(run.info().skier, QStringLiteral("Ann"));
    EXPECT_EQ(run.namePosition(NameList::Skiers), 0);
    session->setBoatNumber(QStringLiteral("9|x"));
    EXPECT_EQ(run.info().boatNumber, QStringLiteral("9|x"));
    leave();
    const QStringList f = databaseLines().value(0);
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[0], QStringLiteral("9 x"));
    EXPECT_EQ(f[5], QStringLiteral("Ann"));
    EXPECT_EQ(QStringList({f[1], f[2], f[4]}), QStringList({"", "", ""})); // never picked
}

// ---- reading a saved pass back ------------------------------------------------------------

TEST_F(ResultsSessionTest, SavedPassReadBackIsListedShownAndTraced)
{
    recordSamplePass(pass, 161);
    session->load();
    const QString file = result(QStringLiteral("pass1.txt"));
    session->saveResults(file, shown);
    const QString saved = readTextFile(file).value_or(QString());
    EXPECT_TRUE(saved.endsWith(QStringLiteral("\r\n\r\nEnd of Pass Analysis\r\n\r\n")));
    session->tracePass();
    const size_t passShapes = session->traces().size();

    EXPECT_EQ(session->openResultsFile(file), ReadBackStep::AskColour);
    EXPECT_EQ(shown, QStringLiteral("Slalom Pass Results\r\n"));
    session->showResultsFile(3);
    EXPECT_EQ(session->legend().last(), QStringLiteral("Cyan - ") + file);
    // The report and the first empty line after it; the closing line is not shown.
    EXPECT_EQ(shown, saved.left(saved.indexOf(QStringLiteral("\r\nEnd of Pass"))));
    // The trace lies over the pass's, in its colour.
    ASSERT_GT(session->traces().size(), passShapes);
    int cyan = 0;
    for (size_t i = passShapes; i < session->traces().size(); ++i)
        cyan += std::visit([](const auto& s) { return s.colour == traceColour(3); },
                           session->traces()[i]);
    EXPECT_EQ(cyan, int(session->traces().size() - passShapes));
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().toStdString();
}

TEST_F(ResultsSessionTest, AFileOfTheOtherEventIsRefusedAndAMissingOneChangesNothing)
{
    recordSamplePass(pass, 161);
    session->load();
    EXPECT_EQ(session->openResultsFile(result(QStringLiteral("missing.txt"))), ReadBackStep::Ended);
    EXPECT_EQ(shown, report());

    const QString file = result(QStringLiteral("jump.txt"));
    ASSERT_TRUE(replaceFile(file, QStringLiteral("Jump Pass Results\r\nFrame  0   Course "
                                                 "Position: 000.0   Deviation:  0\r\n\r\n"))
                    .ok);
    EXPECT_EQ(session->openResultsFile(file), ReadBackStep::Refused);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("Not a valid slalom path results file"));
    EXPECT_TRUE(shown.isEmpty());
    session->showResultsFile(3); // nothing is waiting for a colour
    EXPECT_EQ(session->legend().size(), 2);
}

// A saved pass that stopped at 127.1 m, read back: figures for the windows it reached.
TEST_F(ResultsSessionTest, ShortPassReadBackGivesTheWindowsItReached)
{
    installRules();
    recordSamplePass(pass, 161);
    session->load();
    PassSamples shortPass;
    for (int i = 0; i < 80; ++i)
        shortPass.deviations[size_t(i)] = 0.05;
    summariseSamples(shortPass, 80);
    QStringList lines =
        analysePass(run.info(), shortPass, 161, fake.clock.nowValue).report.split("\r\n");
    lines.remove(lines.indexOf(QRegularExpression("Frame +80 .*")), 82);
    const QString file = result(QStringLiteral("short.txt"));
    ASSERT_TRUE(replaceFile(file, savedResultsText(lines.join("\r\n"))).ok);
    const QString dayFile = resultText(QStringLiteral("BuoyLog1207.txt"));

    ASSERT_EQ(session->openResultsFile(file), ReadBackStep::AskColour);
    session->showResultsFile(3);
    EXPECT_EQ(session->figures().source(), "Figures of the file \"short.txt\" read back");
    EXPECT_EQ(rows()[2].reading, "-5.0");
    EXPECT_EQ(rows()[2].verdict, "within");
    EXPECT_EQ(rows()[3].verdict, "within");
    for (int row = 4; row <= 6; ++row)
        EXPECT_EQ(rows()[size_t(row)].verdict, "not reached") << row;
    EXPECT_TRUE(buoyFiguresNotes(session->figures().figures())
                    .join('\n')
                    .contains("The pass stops at 127.1 m"));
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), dayFile); // not a recorded pass
}

// The graph tick draws the pass; a trace read back goes over it, and its direction sets the
// buoy numbers.
TEST_F(ResultsSessionTest, GraphHoldsThePassAndTheTracesReadBackInTurn)
{
    recordSamplePass(pass, 161);
    session->load();
    const QString file = result(QStringLiteral("away.txt"));
    setRun([](RunInfo& r) { r.direction = Direction::Away; });
    session->saveResults(file, report());
    setRun([](RunInfo& r) { r.direction = Direction::Toward; });
    EXPECT_TRUE(session->readingMarks().empty()) << "no marks before the pass is drawn";

    session->tracePass();
    const OverlayShapes passTrace = passGraph(Event::Slalom, Direction::Toward,
                                              passDeviations(pass.samples, 161), pass.statistics);
    EXPECT_EQ(session->traces(), passTrace);
    EXPECT_TRUE(session->buoyNumbersComingToward());
    EXPECT_EQ(session->readingMarks(), session->figures().readingMarksOnGraph());
    EXPECT_FALSE(session->buoyBands().empty());

    ASSERT_EQ(session->openResultsFile(file), ReadBackStep::AskColour);
    session->showResultsFile(1);
    EXPECT_FALSE(session->buoyNumbersComingToward());
    ASSERT_GT(session->traces().size(), passTrace.size());
    EXPECT_TRUE(std::equal(passTrace.begin(), passTrace.end(), session->traces().begin()));
    session->tracePass(); // the next tick erases the traces read back
    EXPECT_EQ(session->traces(), passTrace);

    setRun([](RunInfo& r) { r.event = Event::Jump; });
    EXPECT_TRUE(session->buoyBands().empty());
}

// ---- per-buoy figures ----------------------------------------------------------------------

// 58 km/h, coming toward the camera: 22 cm toward buoy 1's skier, 10 cm away from buoy 2's
// all through its window, 30 cm toward buoy 3's.
TEST_F(ResultsSessionTest, BuoyFiguresOfThePassGoIntoTheDayFileOnce)
{
    installRules();
    pass.samples.deviations.fill(0.0);
    pass.samples.deviations[18] = 0.22;
    for (int i : {43, 44, 45})
        pass.samples.deviations[size_t(i)] = 0.10;
    pass.samples.deviations[69] = 0.30;
    summariseSamples(pass.samples, 162);
    pass.tenths = 161;
    pass.measured = true;
    session->load();
    EXPECT_EQ(session->figures().ruleSet().rules.name, "2024 windows, largest reading, 25 cm");
    EXPECT_EQ(session->figures().source(), "Figures of this pass");

    const RuleSet rules = *readRuleSetFile(":/program/rules/2024-largest-25cm.txt").ruleSet;
    const BuoyFigures f =
        computeBuoyFigures(passDeviations(pass.samples, 161), 161, Direction::Toward, rules);
    EXPECT_EQ(buoyFiguresCsv(session->figures().figures()), buoyFiguresCsv(f));
    EXPECT_EQ(QStringList({rows()[1].reading, rows()[2].reading, rows()[3].reading,
                           rows()[3].cumulative, rows()[3].verdict}),
              QStringList({"+22.0", "-10.0", "+30.0", "+42.0", "OUT"}));

    // One block for the pass in the day file, whatever is chosen afterwards.
    const QString block = buoyLogBlock(run.info(), f, fake.clock.nowValue);
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), block);
    session->chooseRuleSet(ruleSetIndex(QStringLiteral("2021-largest-20cm.txt")));
    EXPECT_EQ(rows()[1].verdict, "OUT");
    leave();
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), block);
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().toStdString();
}

TEST_F(ResultsSessionTest, RuleSetChoiceIsRememberedAndABrokenFileKeepsTheOneInForce)
{
    installRules();
    const auto before = fake.settings.values;
    recordSamplePass(pass, 161);
    session->load();
    session->chooseRuleSet(ruleSetIndex(QStringLiteral("2021-largest-20cm.txt")));
    EXPECT_EQ(session->figures().ruleSet().rules.name, "2021 windows, largest reading, 20 cm");
    EXPECT_EQ(rows()[1].tolerance, "20 / 20");
    const QString ruleKey = kSettingsApplication + "/" + kSettingsSection + "/" + kSettingsRuleSet;
    auto remembered = before;
    remembered[ruleKey] = QStringLiteral("2021-largest-20cm.txt");
    EXPECT_EQ(fake.settings.values, remembered);

    // A file added while the screen is open is in the list when it is looked at again.
    ASSERT_TRUE(replaceFile(QDir(program.path()).filePath(QStringLiteral("rules/mine.txt")),
                            QStringLiteral("name = Mine\r\nbuoy window = 5, 0\r\n"))
                    .ok);
    session->listRuleSets();
    session->chooseRuleSet(ruleSetIndex(QStringLiteral("mine.txt")));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(message.contains("\"mine.txt\", line 2, \"buoy window\"")) << message.toStdString();
    EXPECT_EQ(session->figures().ruleSetInForceIndex(),
              ruleSetIndex(QStringLiteral("2021-largest-20cm.txt")));
    EXPECT_EQ(rows()[1].tolerance, "20 / 20");
    EXPECT_EQ(fake.settings.values, remembered);

    // The next pass starts under the remembered set, and its day file block says so.
    leave();
    make();
    session->load();
    EXPECT_EQ(session->figures().ruleSet().source.fileName, "2021-largest-20cm.txt");
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")).count("Rule set: 2021 windows"), 1);

    // A store that cannot keep the choice: the operator hears of it; the set is in force.
    fake.settings.failWrites = true;
    session->chooseRuleSet(ruleSetIndex(QStringLiteral("2024-largest-25cm.txt")));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[1].text.contains("could not be remembered"));
    EXPECT_EQ(rows()[1].tolerance, "25 / 25");
}

// ---- files that cannot be written ----------------------------------------------------------

class ResultsSessionWriteFailures : public ResultsSessionTest,
                                    public testing::WithParamInterface<Failure>
{
protected:
    // Breaks the results folder for the files named, as the parameter says: taken away (a
    // memory stick pulled out) or read-only until mend(), or the disk full for those files.
    void breakResultsFolder(const QStringList& files)
    {
        switch (GetParam()) {
        case Failure::FolderMissing:
            ASSERT_TRUE(QDir().rename(results.path(), away()));
            break;
        case Failure::FolderReadOnly:
            block.emplace(results.path());
            break;
        case Failure::DiskFull:
            for (const QString& name : files) {
                QFile::remove(result(name));
                ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), result(name)));
            }
            break;
        }
    }
    void mend()
    {
        block.reset();
        if (QFileInfo::exists(away())) {
            ASSERT_TRUE(QDir().rename(away(), results.path()));
        }
    }
    void TearDown() override { mend(); }
    QString away() const { return results.path() + QStringLiteral("-away"); }
    static bool names(const QString& message, const QString& path)
    {
        return message.contains(QDir::toNativeSeparators(path));
    }

    QTemporaryDir elsewhere;
    std::optional<WriteBlock> block;
};

TEST_P(ResultsSessionWriteFailures, OneMessageNamesEveryFileThePassStaysAndSavesElsewhere)
{
    const QByteArray earlierPass = "Slalom Pass Results\r\nan earlier pass\r\n";
    if (GetParam() != Failure::DiskFull) {
        ASSERT_TRUE(writeBytes(result("ResultLog1207.txt"), earlierPass));
    }
    breakResultsFolder({"ResultLog1207.txt", "originalmeasurements.txt", "BuoyLog1207.txt",
                        "dbResultLog1207.txt"});
    recordSamplePass(pass, 161);
    setRun([](RunInfo& r) { r.direction = Direction::Away; });
    session->load();

    ASSERT_EQ(fake.messages.shown.size(), 1u) << messages().toStdString();
    const QString message = fake.messages.shown[0].text;
    for (const char* file : {"originalmeasurements.txt", "ResultLog1207.txt", "BuoyLog1207.txt"})
        EXPECT_TRUE(names(message, result(file))) << file << "\n" << message.toStdString();
    // The pending file sits beside the logs; only a full disk lets it be written.
    EXPECT_EQ(message.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")),
              GetParam() != Failure::DiskFull)
        << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Save Result File")));
    EXPECT_EQ(shown, report());
    EXPECT_EQ(rows()[1].verdict, "within") << "the figures stay";

    // Saved elsewhere, the pass is safe. (The size limit that stands in for a read-only
    // folder where tests run as root holds for every folder, so it is lifted meanwhile.)
    if (GetParam() == Failure::FolderReadOnly)
        block.reset();
    const QString kept = QDir(elsewhere.path()).filePath(QStringLiteral("kept.txt"));
    session->saveResults(kept, shown);
    EXPECT_EQ(fake.messages.shown.size(), 1u) << messages().toStdString();
    EXPECT_TRUE(readTextFile(kept).value_or(QString()).startsWith(report()));

    // The database line fails too and is shown to the operator; the next pass is set up.
    if (GetParam() == Failure::FolderReadOnly)
        block.emplace(results.path());
    leave();
    ASSERT_EQ(fake.messages.shown.size(), 2u) << messages().toStdString();
    const QString dbMessage = fake.messages.shown[1].text;
    EXPECT_TRUE(names(dbMessage, result("dbResultLog1207.txt"))) << dbMessage.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), dbMessage)) << dbMessage.toStdString();
    EXPECT_TRUE(dbMessage.contains(QStringLiteral("The database line of this pass was:\n")));
    EXPECT_EQ(dbMessage.section('\n', -1).split('|').size(), 22) << dbMessage.toStdString();
    mend();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(result("ResultLog1207.txt")), earlierPass);
        EXPECT_FALSE(bytesOf(result("dbResultLog1207.txt")).contains('|'));
    }
    EXPECT_EQ(run.info().direction, Direction::Toward);
    EXPECT_EQ(exit, ResultsExit::ToStart);
}

// A saved results file replaced through a temporary file: a failure leaves the old one.
TEST_P(ResultsSessionWriteFailures, SavedResultsFileFailsThePassStaysAndSavesElsewhere)
{
    recordSamplePass(pass, 161);
    session->load();
    ASSERT_TRUE(fake.messages.shown.empty()) << messages().toStdString();
    const QDir dir(elsewhere.path());
    const QByteArray oldBytes = "Slalom Pass Results\r\nan earlier pass\r\n";
    QString path = dir.filePath(QStringLiteral("pass.txt"));
    if (GetParam() == Failure::FolderMissing)
        path = dir.filePath(QStringLiteral("gone/pass.txt"));
    else
        ASSERT_TRUE(writeBytes(path, oldBytes));
    {
        std::optional<WriteBlock> readOnly;
        std::optional<SizeLimit> full;
        if (GetParam() == Failure::FolderReadOnly)
            readOnly.emplace(dir.path());
        else if (GetParam() == Failure::DiskFull)
            full.emplace(rlim_t(shown.size() / 2));
        session->saveResults(path, shown);
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(names(message, path)) << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    if (GetParam() == Failure::FolderMissing)
        EXPECT_FALSE(QFile::exists(path));
    else
        EXPECT_EQ(bytesOf(path), oldBytes) << "the old file is intact";
    // Nothing half written is left beside it either.
    EXPECT_EQ(dir.entryList(QDir::Files).size(), GetParam() == Failure::FolderMissing ? 0 : 1);
    EXPECT_EQ(shown, report());

    const QString good = QDir(program.path()).filePath(QStringLiteral("pass.txt"));
    session->saveResults(good, shown);
    EXPECT_EQ(fake.messages.shown.size(), 1u) << messages().toStdString();
    EXPECT_TRUE(readTextFile(good).value_or(QString()).startsWith(report()));
}

INSTANTIATE_TEST_SUITE_P(ResultsSession, ResultsSessionWriteFailures, kAllFailures, failureName);

} // namespace
