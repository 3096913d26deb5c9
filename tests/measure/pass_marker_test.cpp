// A recorded pass leaves a marker in the results folder while it runs, and only then.

#include "common/text_file.h"
#include "fakes/fake_services.h"
#include "measure/measure_model.h"
#include "measure/pass_marker.h"
#include "support/calibrated_course.h"
#include "support/write_block.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PassMarkerTest : public ::testing::Test
{
protected:
    PassMarkerTest()
    {
        calibrateSlalom(calibration);
        // A relative results folder lies in the program folder.
        run.resultsFolder = QStringLiteral("Results");
        QDir(program.path()).mkdir(run.resultsFolder);
        run.skier = QStringLiteral("Ann");
        fake.clock.nowValue = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
        model = std::make_unique<MeasureModel>(MeasureModel::Services{
            calibration, display, pass, fake.clock, fake.keys, fake.joystick, fake.timers, run});
        QObject::connect(model.get(), &MeasureModel::passRecorded, [this] { ++recorded; });
        QObject::connect(model.get(), &MeasureModel::fileNotWritten, [this](const QString& m) {
            // Said during a pass, a message box would take the keys from the operator.
            EXPECT_FALSE(model && model->running()) << "told while the pass runs";
            failures.push_back(m);
        });
        model->keepPassFilesIn(program.path());
        model->createTimers();
        model->arm();
    }

    QString folder() const { return QDir(program.path()).filePath(run.resultsFolder); }
    QStringList markers() const { return passMarkerFiles(folder()); }

    // Runs the pass to its end on the pass clock.
    void finishPass()
    {
        FakeHiResTimer& sampleTimer = fake.timers.timer("sample");
        while (model->running()) {
            fake.clock.ms += 100;
            sampleTimer.fire();
        }
    }

    QTemporaryDir program;
    Calibration calibration;
    DisplaySettings display;
    PassRecord pass;
    FakeServices fake;
    RunInfo run;
    std::unique_ptr<MeasureModel> model;
    // What the model announced.
    int recorded = 0;
    std::vector<QString> failures;
};

TEST_F(PassMarkerTest, ARunningPassHasOneMarkerThatSaysWhichPass)
{
    run.event = Event::Jump;
    run.jumpSpeed = 8;
    model->arm();
    model->startPass();
    ASSERT_EQ(markers().size(), 1);
    const std::optional<QString> text = readTextFile(markers()[0]);
    ASSERT_TRUE(text);
    const std::optional<PassMarkerInfo> info = readPassMarker(*text);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->started, fake.clock.nowValue);
    EXPECT_EQ(info->skier, QStringLiteral("Ann"));
    EXPECT_EQ(info->event, QStringLiteral("Jump"));
    EXPECT_EQ(info->speed, QStringLiteral("72/45"));

    // Started again before it ended: still one marker, the new start's.
    fake.clock.nowValue = fake.clock.nowValue.addSecs(3);
    model->startPass();
    ASSERT_EQ(markers().size(), 1);
    EXPECT_EQ(readPassMarker(*readTextFile(markers()[0]))->started, fake.clock.nowValue);
}

enum class PassEnd { Ended, Aborted, ProgramClosed };

class PassMarkerEnd : public PassMarkerTest, public ::testing::WithParamInterface<PassEnd>
{
};

TEST_P(PassMarkerEnd, GoesWithThePass)
{
    model->startPass();
    ASSERT_EQ(markers().size(), 1);
    switch (GetParam()) {
    case PassEnd::Ended:
        finishPass();
        EXPECT_EQ(recorded, 1);
        break;
    case PassEnd::Aborted:
        fake.clock.ms += 500;
        model->stopPass();
        break;
    case PassEnd::ProgramClosed:
        model.reset();
        break;
    }
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_TRUE(failures.empty());
}

std::string endName(const ::testing::TestParamInfo<PassEnd>& info)
{
    switch (info.param) {
    case PassEnd::Ended:
        return "Ended";
    case PassEnd::Aborted:
        return "Aborted";
    case PassEnd::ProgramClosed:
        return "ProgramClosed";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(Marker, PassMarkerEnd,
                         ::testing::Values(PassEnd::Ended, PassEnd::Aborted,
                                           PassEnd::ProgramClosed),
                         endName);

TEST_F(PassMarkerTest, AViewOnlyPassRecordsNothingAndLeavesNoMarker)
{
    model->setViewOnly(true);
    model->startPass();
    EXPECT_TRUE(markers().isEmpty());
    finishPass();
    EXPECT_TRUE(markers().isEmpty());
    EXPECT_EQ(recorded, 0);
}

TEST_F(PassMarkerTest, AMarkerThatCannotBeWrittenIsToldOnceAfterThePassWhichIsRecorded)
{
    {
        const WriteBlock block(folder());
        model->startPass();
        finishPass();
        model->arm();
        model->startPass();
        finishPass();
    }
    EXPECT_EQ(recorded, 2);
    EXPECT_EQ(pass.samples.sampleCount, 162);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains(QStringLiteral("PassInProgress1207-140509.txt")))
        << failures[0].toStdString();
    EXPECT_TRUE(markers().isEmpty());
}

TEST(PassMarkerFile, OnlyAMarkersOwnTextReadsAsOne)
{
    const PassMarkerInfo info{QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), QStringLiteral("Zoë"),
                              QStringLiteral("Slalom"), QString()};
    const std::optional<PassMarkerInfo> back = readPassMarker(passMarkerText(info));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->started, info.started);
    EXPECT_EQ(back->skier, info.skier);
    EXPECT_EQ(back->speed, QString());
    for (const char* text : {"", "Wakeline pass in progress\r\n",
                             "Wakeline pass in progress\r\nnoon\r\nAnn\r\nSlalom\r\n58/36\r\n",
                             "Another file\r\n01-02-2026 03:04:05\r\nAnn\r\nSlalom\r\n58/36\r\n"})
        EXPECT_FALSE(readPassMarker(QString::fromUtf8(text))) << text;
}

} // namespace
