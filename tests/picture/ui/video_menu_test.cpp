#include "fakes/fake_platform.h"
#include "fakes/fake_video.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/video_menu.h"
#include "picture/ui/video_transport.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->text();
    return out;
}

QStringList checked(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        if (a->isChecked())
            out << a->text();
    return out;
}

// Two screens with their own menu and transport over the one shared video.
struct VideoMenuTest : ::testing::Test
{
    QTemporaryDir program;
    FakePlatform fake;
    FakeVideoSources sources;
    CoursePicture still;
    CourseVideo video{still, sources, fake.settings, fake.messages};
    QMainWindow calibration, measurement;
    VideoMenu* calibrationMenu =
        new VideoMenu(calibration.menuBar(), video, fake.fileDialog, program.path());
    VideoMenu* measurementMenu =
        new VideoMenu(measurement.menuBar(), video, fake.fileDialog, program.path());
    VideoTransport* transport = new VideoTransport(video, &measurement);

    void openCameraMenu(VideoMenu* m) { Q_EMIT m->cameraMenu()->aboutToShow(); }
};

TEST_F(VideoMenuTest, EntriesWithTheChoiceInUseChecked)
{
    QMenu* menu = calibrationMenu->menu();
    EXPECT_EQ(menu->title(), QStringLiteral("&Video"));
    EXPECT_EQ(captions(menu), (QStringList{"Overlay card (magenta)", "Camera", "Video &File..."}));
    EXPECT_EQ(checked(menu), QStringList{"Overlay card (magenta)"});

    openCameraMenu(calibrationMenu);
    ASSERT_EQ(calibrationMenu->cameraMenu()->actions().size(), 1);
    const QAction* none = calibrationMenu->cameraMenu()->actions().first();
    EXPECT_EQ(none->text(), QStringLiteral("No camera found"));
    EXPECT_FALSE(none->isEnabled());

    // Cameras plugged in later are listed when the submenu opens; picking one uses it.
    sources.cameraList = QStringList{"Cam A", "Cam B"};
    openCameraMenu(measurementMenu);
    EXPECT_EQ(captions(measurementMenu->cameraMenu()), (QStringList{"Cam A", "Cam B"}));
    measurementMenu->cameraMenu()->actions()[1]->trigger();
    ASSERT_NE(sources.camera(), nullptr);
    EXPECT_EQ(sources.camera()->description, QStringLiteral("Cam B"));
    // Still the overlay card until the camera gives a picture.
    EXPECT_EQ(checked(measurementMenu->menu()), QStringList{"Overlay card (magenta)"});
    sources.camera()->ready(QImage(640, 480, QImage::Format_RGB32));
    // Both screens' menus follow.
    for (VideoMenu* m : {calibrationMenu, measurementMenu}) {
        EXPECT_EQ(checked(m->menu()), QStringList{"Camera"});
        openCameraMenu(m);
        EXPECT_EQ(checked(m->cameraMenu()), QStringList{"Cam B"});
    }
}

TEST_F(VideoMenuTest, VideoFileStartsInTheVideosFolderAndBothScreensFollow)
{
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("videos")));
    fake.fileDialog.answers = {std::nullopt, QStringLiteral("/v/pass.webm")};
    QAction* fileEntry = calibrationMenu->menu()->actions()[2];

    fileEntry->trigger(); // cancelled
    EXPECT_EQ(sources.opened, 0);
    EXPECT_EQ(checked(calibrationMenu->menu()), QStringList{"Overlay card (magenta)"});
    ASSERT_EQ(fake.fileDialog.requests.size(), 1u);
    const FileDialogRequest& r = fake.fileDialog.requests[0];
    EXPECT_EQ(QDir(r.folder), QDir(QDir(program.path()).filePath(QStringLiteral("videos"))));
    const QStringList parts = r.filter.split('|');
    EXPECT_TRUE(parts[0].startsWith(QStringLiteral("Video Files")));
    for (const char* type : {"*.mp4", "*.webm", "*.avi", "*.mkv", "*.mov"})
        EXPECT_TRUE(parts[1].split(';').contains(QString::fromLatin1(type))) << type;
    EXPECT_EQ(parts[2], QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(r.filterIndex, 1);

    fileEntry->trigger();
    ASSERT_NE(sources.file(), nullptr);
    EXPECT_EQ(sources.file()->path, QStringLiteral("/v/pass.webm"));
    EXPECT_TRUE(transport->isHidden());
    sources.file()->ready(QImage(1024, 768, QImage::Format_RGB32));
    EXPECT_EQ(checked(measurementMenu->menu()), QStringList{"Video &File..."});
    EXPECT_FALSE(transport->isHidden()) << "the other screen's transport shows for the file";

    measurementMenu->menu()->actions()[0]->trigger();
    EXPECT_EQ(checked(calibrationMenu->menu()), QStringList{"Overlay card (magenta)"});
    EXPECT_TRUE(transport->isHidden());
}

} // namespace
