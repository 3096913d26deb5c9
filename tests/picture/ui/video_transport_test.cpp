#include "fakes/fake_platform.h"
#include "fakes/fake_video.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/video_transport.h"
#include "support/qt_printers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A screen with a text box, a focusable button (as "Start Pass") and the transport, over a
// video file that is ready at 12.44 s of 18 s.
struct TransportTest : ::testing::Test
{
    FakePlatform fake;
    FakeVideoSources sources;
    CoursePicture still;
    CourseVideo video{still, sources, fake.settings, fake.messages};
    QWidget window;
    QLineEdit* text = new QLineEdit(&window);
    QPushButton* start = new QPushButton(QStringLiteral("Start Pass"), &window);
    VideoTransport* transport = new VideoTransport(video, &window);
    FakeVideoFile* file = nullptr;

    TransportTest()
    {
        // As in the screens' left column: 270 pixels with 4-pixel margins.
        window.setFixedWidth(270);
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(text);
        layout->addWidget(start);
        layout->addWidget(transport);
        transport->installShortcuts(&window);
        window.show();
        video.choose(VideoChoice::ofFile(QStringLiteral("/v/pass.webm")));
        file = sources.file();
        QImage first(1024, 768, QImage::Format_RGB32);
        first.fill(Qt::black);
        file->ready(first, 12440000);
        QApplication::setActiveWindow(&window);
        QApplication::processEvents(); // the layout follows the texts set on ready
    }
    template <typename T> T* control(const char* name)
    {
        return transport->findChild<T*>(QString::fromLatin1(name));
    }
    void press(QWidget* focus, char key)
    {
        focus->setFocus();
        QTest::keyClick(focus, key);
    }
};

TEST_F(TransportTest, ButtonsSliderAndRateReachTheFile)
{
    EXPECT_TRUE(transport->isVisible());
    EXPECT_EQ(control<QLabel>("lblMediaTime")->text(), QStringLiteral("00:12.440 / 00:18.000"));
    QTest::mouseClick(control<QPushButton>("btnPlay"), Qt::LeftButton);
    EXPECT_EQ(control<QPushButton>("btnPlay")->text(), QStringLiteral("Pause"));
    QTest::mouseClick(control<QPushButton>("btnPlay"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("btnFrameBack"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("btnFrameForward"), Qt::LeftButton);
    control<QComboBox>("cbRate")->activated(0);
    control<QSlider>("sldPosition")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(file->calls, (QStringList{"play", "pause", "stepBack", "stepForward", "rate 0.25",
                                        "seek 13440000"}));
    // The clicks left the focus on the button that starts a pass.
    start->setFocus();
    QTest::mouseClick(control<QPushButton>("btnFrameForward"), Qt::LeftButton);
    EXPECT_TRUE(start->hasFocus());

    // What the player reports shows: a frame's time, a pause from elsewhere.
    file->showFrame(12480000);
    EXPECT_EQ(control<QLabel>("lblMediaTime")->text(), QStringLiteral("00:12.480 / 00:18.000"));
    EXPECT_EQ(control<QSlider>("sldPosition")->value(), 12480);
}

TEST_F(TransportTest, DuringAPassTheVideoOnlyGoesForward)
{
    transport->setPassRunning(true);
    EXPECT_FALSE(control<QPushButton>("btnFrameBack")->isEnabled());
    EXPECT_FALSE(control<QSlider>("sldPosition")->isEnabled());
    transport->frameBack();
    press(start, ',');
    control<QSlider>("sldPosition")->setValue(1000);
    press(start, '.');
    EXPECT_EQ(file->calls, QStringList{"stepForward"});
    transport->setPassRunning(false);
    press(start, ',');
    EXPECT_EQ(file->calls, (QStringList{"stepForward", "stepBack"}));
}

TEST_F(TransportTest, KeysActOnTheWindowButNotWhileTyping)
{
    press(text, 'p');
    press(text, ',');
    press(text, '.');
    press(text, ']');
    EXPECT_TRUE(file->calls.isEmpty()) << file->calls.join(' ').toStdString();
    EXPECT_EQ(text->text(), QStringLiteral("p,.]"));

    press(start, 'p');
    press(start, ']');
    press(start, ']'); // already at 2
    press(start, '[');
    EXPECT_EQ(file->calls, (QStringList{"play", "rate 2", "rate 1"}));
    EXPECT_EQ(control<QComboBox>("cbRate")->currentText(), QStringLiteral("1x"));
}

TEST_F(TransportTest, ShownOnlyForAFileAndEveryCaptionReadsWhole)
{
    EXPECT_LE(transport->sizeHint().width(), 262);
    for (QWidget* w : transport->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QSlider*>(w))
            continue;
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        EXPECT_FALSE(w->accessibleName().isEmpty() && !qobject_cast<QLabel*>(w))
            << w->objectName().toStdString();
    }
    video.choose(VideoChoice::overlayCard());
    EXPECT_FALSE(transport->isVisible());
    press(start, 'p');
    EXPECT_TRUE(file == nullptr || sources.liveFiles.empty());
}

TEST(VideoTransportTime, MinutesSecondsAndMilliseconds)
{
    EXPECT_EQ(VideoTransport::mediaTime(12440000), QStringLiteral("00:12.440"));
    EXPECT_EQ(VideoTransport::mediaTime(59999999), QStringLiteral("00:59.999"));
    EXPECT_EQ(VideoTransport::mediaTime(4520100000), QStringLiteral("75:20.100"));
    EXPECT_EQ(VideoTransport::mediaTime(-5), QStringLiteral("00:00.000"));
}

} // namespace
