#include "results/review_offer.h"

#include "common/text_file.h"
#include "measure/pass_record.h"
#include "measure/video_pass_log.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kBlockTime(QDate(2026, 12, 7), QTime(14, 5, 9));

// A results folder with a video, the day file of video passes beside it, and a slalom results
// file read back that was measured a second after its block.
class ReviewOfferTest : public testing::Test
{
protected:
    ReviewOfferTest()
    {
        video = QDir(folder.path()).filePath(QStringLiteral("pass.webm"));
        replaceFile(video, QStringLiteral("frames"));
        pass.videoFile = video;
        pass.startUs = 1000000;
        pass.sampleFramesUs = {1000000, 1080000, 1200000};
        pass.sampleLines = {{4512, 3600}, {4520, 3500}, {4530, 3400}};
        read.status = ReadStatus::Ok;
        read.comingToward = false;
        read.deviations = {0.1, 0.2, 0.3};
        read.headerLines = {QStringLiteral("Slalom Pass Results"),
                            QStringLiteral("Date of Measurement: 12-07-2026"),
                            QStringLiteral("Time of Measurement: 14:05:10")};
    }

    void writeDayFile(const QString& inFolder, const QString& text)
    {
        ASSERT_TRUE(replaceFile(QDir(inFolder).filePath(videoPassesFileName(kBlockTime)), text));
    }
    ReviewOffer offer(const QStringList& folders) const
    {
        return reviewOfResultsFile(read, Event::Slalom, folders, RuleSet{});
    }

    QTemporaryDir folder, other;
    QString video;
    MediaPass pass;
    ResultsFileRead read;
};

TEST_F(ReviewOfferTest, AFileReadBackFindsItsPassBesideIt)
{
    MediaPass another = pass;
    another.videoFile = QStringLiteral("another.webm");
    // An earlier pass of the day, then this one.
    writeDayFile(folder.path(), videoPassBlock(kBlockTime.addSecs(-90), another) +
                                    videoPassBlock(kBlockTime, pass));
    const ReviewOffer o = offer({other.path(), folder.path()});
    ASSERT_TRUE(o.pass) << o.note.toStdString();
    EXPECT_TRUE(o.note.isEmpty());
    EXPECT_EQ(o.pass->videoFile, video);
    EXPECT_EQ(o.pass->startUs, pass.startUs);
    EXPECT_EQ(o.pass->sampleFramesUs, pass.sampleFramesUs);
    EXPECT_EQ(o.pass->sampleLines, pass.sampleLines);
    EXPECT_EQ(o.pass->direction, Direction::Away);
    EXPECT_EQ(o.pass->passTenths, 2);
    // Three samples over the course: the first lies in the entrance gate's window only.
    ASSERT_EQ(o.pass->windows.size(), 1u);
    EXPECT_EQ(o.pass->windows[0].label, QStringLiteral("Entrance gate"));
    EXPECT_EQ(o.pass->windows[0].fromUs, 1000000);
}

// Whenever there is nothing to review, the operator reads why.
TEST_F(ReviewOfferTest, NoReviewSaysWhy)
{
    EXPECT_FALSE(offer({folder.path()}).pass);
    EXPECT_TRUE(offer({folder.path()})
                    .note.startsWith(
                        QStringLiteral("No video of this pass was found (VideoPasses1207.txt")));

    QString broken = videoPassBlock(kBlockTime, pass);
    broken.replace(QStringLiteral("1  1.080"), QStringLiteral("1  x"));
    writeDayFile(folder.path(), broken);
    ReviewOffer o = offer({folder.path()});
    EXPECT_FALSE(o.pass);
    EXPECT_TRUE(o.note.contains(QStringLiteral("VideoPasses1207.txt, line 7: ")))
        << o.note.toStdString();

    writeDayFile(folder.path(), videoPassBlock(kBlockTime, pass));
    ASSERT_TRUE(QFile::remove(video));
    o = offer({folder.path()});
    EXPECT_FALSE(o.pass);
    EXPECT_EQ(o.note, QStringLiteral("The video of this pass is not there: ") +
                          QDir::toNativeSeparators(video));

    read.headerLines.removeLast();
    EXPECT_TRUE(offer({folder.path()})
                    .note.startsWith(QStringLiteral(
                        "This results file does not say when its pass was measured")));
}

TEST_F(ReviewOfferTest, ThePassJustMeasuredOnAVideoFile)
{
    PassRecord record;
    record.measured = true;
    record.tenths = 2;
    RunInfo run;
    run.event = Event::Slalom;
    run.direction = Direction::Toward;
    EXPECT_FALSE(reviewOfMeasuredPass(record, run, RuleSet{}).pass); // on the wall clock
    EXPECT_TRUE(reviewOfMeasuredPass(record, run, RuleSet{}).note.isEmpty());

    record.media = pass;
    const ReviewOffer o = reviewOfMeasuredPass(record, run, RuleSet{});
    ASSERT_TRUE(o.pass);
    EXPECT_EQ(o.pass->sampleLines, pass.sampleLines);
    EXPECT_EQ(o.pass->direction, Direction::Toward);
    EXPECT_EQ(o.pass->windows.size(), 1u);
    run.event = Event::Jump; // no buoy windows
    EXPECT_TRUE(reviewOfMeasuredPass(record, run, RuleSet{}).pass->windows.empty());
}

} // namespace
