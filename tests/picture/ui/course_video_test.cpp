#include "app/settings_keys.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_video.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "support/qt_printers.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

struct CourseVideoTest : ::testing::Test
{
    FakePlatform fake;
    FakeVideoSources sources;
    CoursePicture still;
    std::unique_ptr<CourseVideo> video = makeVideo();

    std::unique_ptr<CourseVideo> makeVideo()
    {
        return std::make_unique<CourseVideo>(still, sources, fake.settings, fake.messages);
    }
    QString kept(const QString& key)
    {
        return fake.settings.values.value(kSettingsApplication + "/" + kSettingsSection + "/" +
                                          key);
    }
    // Chooses a file and lets it come up with a first frame.
    FakeVideoFile* playFile(const QString& path, QColor colour = Qt::blue)
    {
        video->choose(VideoChoice::ofFile(path));
        FakeVideoFile* f = sources.file();
        f->ready(filled(1920, 1080, colour));
        return f;
    }
};

TEST_F(CourseVideoTest, AFailingFileIsReportedOnceAndThePreviousSourceStays)
{
    playFile(QStringLiteral("/v/good.webm"), Qt::blue);
    QSignalSpy changed(video.get(), &CourseVideo::choiceChanged);

    video->choose(VideoChoice::ofFile(QStringLiteral("/v/notes.txt")));
    // While the new one opens, the old one is on screen and in use.
    EXPECT_EQ(video->picture().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(video->opening(), VideoChoice::ofFile(QStringLiteral("/v/notes.txt")));
    sources.file()->fail(
        QStringLiteral("notes.txt cannot be played: Its format is not recognised."));

    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("notes.txt cannot be played: Its format is not recognised."));
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(video->choice(), VideoChoice::ofFile(QStringLiteral("/v/good.webm")));
    EXPECT_FALSE(video->opening());
    ASSERT_NE(video->file(), nullptr);
    EXPECT_EQ(sources.liveFiles.size(), 1u) << "the failed file is let go";
    EXPECT_EQ(video->picture().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(kept(kSettingsVideoFile), QStringLiteral("/v/good.webm"));
}

TEST_F(CourseVideoTest, TheChoiceInUseIsRememberedAndRestoredAtTheNextStart)
{
    fake.settings
        .values[kSettingsApplication + "/" + kSettingsSection + "/" + kSettingsResultsPath] =
        QStringLiteral("Default");
    video->choose(VideoChoice::ofCamera(QStringLiteral("Cam B")));
    // Not kept before it works.
    EXPECT_TRUE(kept(kSettingsVideoSource).isEmpty());
    sources.camera()->ready(filled(640, 480, Qt::green));
    EXPECT_EQ(kept(kSettingsVideoSource), QStringLiteral("camera"));

    video = makeVideo();
    video->start();
    ASSERT_NE(sources.camera(), nullptr);
    EXPECT_EQ(sources.camera()->description, QStringLiteral("Cam B"));
    sources.camera()->ready(filled(640, 480, Qt::green));
    EXPECT_EQ(video->choice(), VideoChoice::ofCamera(QStringLiteral("Cam B")));
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(kept(kSettingsResultsPath), QStringLiteral("Default"));

    // The command line's choice wins over the remembered one.
    video = makeVideo();
    video->start(VideoChoice::ofFile(QStringLiteral("/v/cli.mp4")));
    ASSERT_NE(sources.file(), nullptr);
    EXPECT_EQ(sources.file()->path, QStringLiteral("/v/cli.mp4"));
}

TEST_F(CourseVideoTest, ARememberedFileThatIsGoneGivesOneMessageAndTheOverlayCard)
{
    playFile(QStringLiteral("/v/gone.webm"));
    video = makeVideo();
    video->start();
    sources.file()->fail(QStringLiteral("gone.webm cannot be played: The file does not exist."));
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(video->choice(), VideoChoice::overlayCard());
    EXPECT_TRUE(video->picture().isNull());
    // Not asked again at every start.
    EXPECT_EQ(kept(kSettingsVideoSource), QStringLiteral("overlay"));
}

TEST_F(CourseVideoTest, ACameraThatFailsOrBreaksDownGivesOneMessageAndTheKeyColour)
{
    playFile(QStringLiteral("/v/pass.webm"));
    video->choose(VideoChoice::ofCamera(QString()));
    sources.camera()->fail(QStringLiteral("No camera was found."));
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(video->choice(), VideoChoice::overlayCard());
    EXPECT_TRUE(sources.liveFiles.empty() && sources.liveCameras.empty());
    EXPECT_EQ(kept(kSettingsVideoSource), QStringLiteral("overlay"));

    video->choose(VideoChoice::ofCamera(QString()));
    sources.camera()->ready(filled(640, 480, Qt::green));
    QSignalSpy pictures(video.get(), &CourseVideo::pictureChanged);
    sources.camera()->fail(QStringLiteral("The camera \"USB\" failed: unplugged"));
    EXPECT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(video->choice(), VideoChoice::overlayCard());
    EXPECT_EQ(video->source(), nullptr);
    EXPECT_TRUE(sources.liveCameras.empty());
    ASSERT_EQ(pictures.count(), 1);
    EXPECT_TRUE(pictures[0][0].value<QImage>().isNull());
}

// Magenta around the picture is for the overlay card to key its video into; around a camera
// or a file it would only look like the card's colour with no card there.
TEST_F(CourseVideoTest, OnlyTheOverlayCardHasTheKeyColourAroundThePicture)
{
    DrawingSurface surface;
    surface.resize(1024, 768);
    surface.fitPicturesBeside(270);
    surface.showVideoOf(*video);
    const QColor key(255, 0, 255);
    const QPoint below(600, 700); // a 16:9 frame 754 px wide ends 424 px down
    EXPECT_EQ(surface.composed().pixelColor(below), key);

    playFile(QStringLiteral("/v/pass.webm"), Qt::blue);
    EXPECT_EQ(surface.composed().pixelColor(600, 200), QColor(Qt::blue));
    const QColor border = surface.composed().pixelColor(below);
    EXPECT_NE(border, key);
    EXPECT_EQ(surface.composed().pixelColor(100, 200), border); // under the column too

    video->choose(VideoChoice::ofCamera(QString()));
    sources.camera()->ready(filled(640, 480, Qt::green));
    sources.camera()->fail(QStringLiteral("The camera \"USB\" failed: unplugged"));
    EXPECT_EQ(surface.composed().pixelColor(below), key);
}

TEST_F(CourseVideoTest, AStillPictureHidesTheFramesWhileTheirClockRunsOn)
{
    FakeVideoFile* f = playFile(QStringLiteral("/v/pass.webm"), Qt::blue);
    QSignalSpy pictures(video.get(), &CourseVideo::pictureChanged);
    QSignalSpy frames(video.get(), &CourseVideo::frameShown);
    still.setImage(filled(800, 600, Qt::yellow));
    f->showFrame(40000, filled(1920, 1080, Qt::cyan));
    EXPECT_EQ(video->picture().pixelColor(0, 0), QColor(Qt::yellow));
    EXPECT_EQ(pictures.count(), 1) << "the frame under the still picture repaints nothing";
    ASSERT_EQ(frames.count(), 1);
    still.setImage(QImage());
    EXPECT_EQ(video->picture().pixelColor(0, 0), QColor(Qt::cyan));
}

TEST_F(CourseVideoTest, OnlyTheSourceInUseSpeaks)
{
    FakeVideoFile* old = playFile(QStringLiteral("/v/a.webm"));
    video->choose(VideoChoice::ofFile(QStringLiteral("/v/b.webm")));
    FakeVideoFile* opening = sources.file();
    QSignalSpy frames(video.get(), &CourseVideo::frameShown);
    QSignalSpy playback(video.get(), &CourseVideo::playbackChanged);
    opening->showFrame(0);
    opening->tell(PlaybackChange::Playing);
    EXPECT_EQ(frames.count(), 0);
    EXPECT_EQ(playback.count(), 0);
    old->showFrame(40000);
    old->tell(PlaybackChange::Paused);
    EXPECT_EQ(frames.count(), 1);
    EXPECT_EQ(playback.count(), 1);

    // The new file takes over with its first frame; the old one goes.
    opening->ready(filled(1024, 768, Qt::red), 80000);
    EXPECT_EQ(video->file(), opening);
    EXPECT_EQ(sources.liveFiles.size(), 1u);
    ASSERT_EQ(frames.count(), 2);
    EXPECT_EQ(frames[1][0].value<VideoFrame>().startUs, 80000);
}

TEST_F(CourseVideoTest, AFileThatEndsEarlyIsUsedAndSaysSoOnceItIsOnScreen)
{
    playFile(QStringLiteral("/v/a.webm"), Qt::blue);
    const QString notice = QStringLiteral("cut.webm ends early: its pictures stop at 9.48 s of "
                                          "the 18.0 s it should last.");
    QColor underTheMessage;
    QObject::connect(video.get(), &CourseVideo::pictureChanged, [&](const QImage& picture) {
        if (fake.messages.shown.empty())
            underTheMessage = picture.pixelColor(0, 0);
    });
    video->choose(VideoChoice::ofFile(QStringLiteral("/v/cut.webm")));
    FakeVideoFile* cut = sources.file();
    cut->ready(filled(1024, 768, Qt::red), 0, notice);

    EXPECT_EQ(video->file(), cut);
    EXPECT_EQ(underTheMessage, QColor(Qt::red)) << "its picture is there before the message";
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, notice);
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("Video"));
    EXPECT_EQ(kept(kSettingsVideoFile), QStringLiteral("/v/cut.webm"));
    cut->showFrame(40000);
    cut->tell(PlaybackChange::EndOfMedia);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(CourseVideoTest, ASettingsStoreThatRefusesIsReportedAndTheSourceIsUsedAnyway)
{
    fake.settings.failWrites = true;
    playFile(QStringLiteral("/v/a.webm"));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QStringLiteral("next run")));
    EXPECT_NE(video->file(), nullptr);
}

} // namespace
