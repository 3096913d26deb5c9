// The course display's rules on the calibration screen, without widgets: the course drawing
// needs a complete calibration, the accuracy check and its day report (the same as the
// command line's, kept when its file cannot be written), and the background picture's rules.

#include "course_display/background_picture.h"
#include "course_display/course_display_session.h"
#include "course_display/overlay_geometry.h"
#include "support/calibration_session_fixture.h"
#include "support/write_block.h"
#include "support/write_failure.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <optional>

namespace {

class CourseDisplayRules : public CalibrationSessionTest
{
protected:
    CourseDisplayRules()
    {
        QObject::connect(&courseDisplay, &CourseDisplaySession::message,
                         [this](const QString& text, const QString& title, MessageIcon icon) {
                             fake.messages.show(text, title, icon);
                         });
        QObject::connect(&courseDisplay, &CourseDisplaySession::accuracyChecked,
                         [this](const AccuracyCheckResult& r) { checks.push_back(r); });
    }

    QString reportPath() const { return resultFile("acc1207.txt"); }
    QString reportText() const { return QString::fromUtf8(bytesOf(reportPath())); }
    int placed(const AccuracyCheckResult& r) const
    {
        int n = 0;
        for (const AccuracyPoint& p : r.points)
            n += p.placed ? 1 : 0;
        return n;
    }

    CourseDisplaySession courseDisplay{session};
    std::vector<AccuracyCheckResult> checks;
};

TEST_F(CourseDisplayRules, DrawBuoysAndShowCourseNeedACompleteSetup)
{
    EXPECT_FALSE(courseDisplay.courseDrawingAllowed());
    EXPECT_FALSE(courseDisplay.courseDrawingAllowed());
    const QString refusal = QString::fromLatin1(kSetupNotOkMessage);
    EXPECT_EQ(messages(), QStringList({refusal, refusal}));
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);

    ASSERT_TRUE(loadStandard());
    EXPECT_TRUE(courseDisplay.courseDrawingAllowed());
    session.editBox({BoxKind::JumpX}, session.boxes().jumpX + "1"); // any edit
    EXPECT_FALSE(courseDisplay.courseDrawingAllowed());
    EXPECT_EQ(messages().size(), 3);

    // An empty grid slot is no calibration either.
    ASSERT_TRUE(loadStandard());
    session.selectNextGrid();
    EXPECT_FALSE(courseDisplay.courseDrawingAllowed());
    EXPECT_EQ(messages().size(), 4);
}

TEST_F(CourseDisplayRules, AccuracyCheckAnnouncesFortyTwoPointsAndAppendsTheReport)
{
    ASSERT_TRUE(loadStandard());
    courseDisplay.checkAccuracy(AccuracyDisplay::Detail);
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(placed(checks[0]), 42);
    EXPECT_EQ(checks[0].points[0].text, " .01");

    const QStringList lines = reportText().split("\r\n");
    ASSERT_GT(lines.size(), 22);
    EXPECT_EQ(lines[0], "12-07-2026  14:05:09 Accuracy Check");
    EXPECT_EQ(lines[2], programFile("SlalomOK.ipt"));
    EXPECT_EQ(lines[4], "Grid Number:  1 ");
    EXPECT_EQ(lines[8], "Upper Left X,Y Pixels:  5190   1815");
    EXPECT_EQ(lines[20], "Jump X,Y Survey:  0   0");
    EXPECT_EQ(lines.filter("new method").size(), 42);

    fake.clock.nowValue = fake.clock.nowValue.addSecs(60);
    courseDisplay.checkAccuracy(AccuracyDisplay::HomologationLevel);
    EXPECT_EQ(checks.back().points[0].text, "R");
    EXPECT_EQ(reportText().count(" Accuracy Check\r\n"), 2);
    EXPECT_EQ(QDir(results.path()).entryList({"acc*"}), QStringList{"acc1207.txt"});
    EXPECT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
}

TEST_F(CourseDisplayRules, TheReportIsTheOneTheCommandLinePrints)
{
    ASSERT_TRUE(loadStandard());
    courseDisplay.checkAccuracy(AccuracyDisplay::Detail);
    QProcess cli;
    cli.start(cliPath(), {"accuracy", programFile("SlalomOK.ipt"), "--now", "2026-12-07T14:05:09",
                          "--screen-width", QString::number(kScreenWidth)});
    ASSERT_TRUE(cli.waitForFinished(10000));
    ASSERT_EQ(cli.exitCode(), 0);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString report = reportText();
    ASSERT_FALSE(report.isEmpty());
    EXPECT_TRUE(out.endsWith(report));
}

TEST_F(CourseDisplayRules, PictureLoadStartsInThePictureFolderAndPasteNeedsAPicture)
{
    const auto request = courseDisplay.startPictureLoad();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->filterIndex, 4);
    EXPECT_TRUE(request->filter.startsWith("All Files (*.*)|*.*|Text Files (*.txt)|*.txt|"));
    EXPECT_TRUE(request->filter.contains("(*.png)|*.png|"));
    EXPECT_EQ(request->folder, pictureFolder(programFolder));

    EXPECT_TRUE(courseDisplay.takePastedPicture(true));
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(courseDisplay.takePastedPicture(false));
    ASSERT_EQ(messages(), QStringList{QString::fromLatin1(kNoClipboardPictureMessage)});
    EXPECT_EQ(fake.messages.shown[0].title, "Grid Setup");
}

// ---- a report that cannot be written: the folder missing, read-only, or the disk full
// ------------

class AccuracyReportFailures : public CourseDisplayRules,
                               public testing::WithParamInterface<Failure>
{
};

TEST_P(AccuracyReportFailures, IndicatorsStandAndTheNextCheckIsWritten)
{
    ASSERT_TRUE(loadStandard());
    ASSERT_TRUE(fake.messages.shown.empty()) << messages().join('\n').toStdString();
    const QByteArray earlierReport = "an earlier check\r\n";
    ASSERT_TRUE(writeBytes(reportPath(), earlierReport));
    const QString away = results.path() + QStringLiteral("-away");
    {
        std::optional<WriteBlock> readOnly;
        switch (GetParam()) {
        case Failure::FolderMissing:
            ASSERT_TRUE(QDir().rename(results.path(), away));
            break;
        case Failure::FolderReadOnly:
            readOnly.emplace(results.path());
            break;
        case Failure::DiskFull:
            QFile::remove(reportPath());
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), reportPath()));
            break;
        }
        courseDisplay.checkAccuracy(AccuracyDisplay::Detail);
    }
    if (GetParam() == Failure::FolderMissing) {
        ASSERT_TRUE(QDir().rename(away, results.path()));
    }

    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(placed(checks[0]), 42);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const ShownMessage& m = fake.messages.shown[0];
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(reportPath()))) << m.text.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), m.text)) << m.text.toStdString();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(reportPath()), earlierReport);
    }

    // The cause gone, the next check is reported.
    QFile::remove(reportPath());
    courseDisplay.checkAccuracy(AccuracyDisplay::Detail);
    EXPECT_EQ(fake.messages.shown.size(), 1u) << messages().join('\n').toStdString();
    EXPECT_TRUE(bytesOf(reportPath()).contains(" Accuracy Check\r\n"));
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, AccuracyReportFailures, kAllFailures, failureName);

} // namespace
