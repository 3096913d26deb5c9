// Wakeline: builds the program's state owners, the platform services and the screens.

#include "app/program_folder.h"
#include "app/program_state.h"
#include "app/ui/screens.h"
#include "app/ui/start_screen.h"
#include "app/video_arguments.h"
#include "picture/ui/course_video.h"
#include "platform/gst/gst_pass_recorder.h"
#include "platform/platform.h"
#include "platform/qt/live_test_source.h"
#include "platform/qt/qt_hires_timer.h"
#include "platform/qt/qt_key_state.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "platform/qt/sdl_joystick.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long message when it cannot reach a display; say it in one line.
bool displayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "wakeline: no display found; start it under Xvfb "
                             "(xvfb-run -a wakeline) or with QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    // Video pictures: the GStreamer media backend (the other one ran slow and crashed without
    // a sound device) unless one is chosen in the environment, and raster widgets, so frames
    // convert to images on the CPU in a few milliseconds instead of through software GL.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wakeline"));
    QApplication::setApplicationDisplayName(QStringLiteral("Wakeline"));
    QApplication::setApplicationVersion(QStringLiteral(WAKELINE_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/wakeline.png")));

    // Taken out first: the camera's name is optional, which the parser cannot express. A
    // relative video file is found from the folder the program was started in.
    const VideoArguments videoArguments = takeVideoArguments(app.arguments(), QDir::currentPath());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures a tow boat's path through a slalom or jump course."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption programFolderOption(
        QStringLiteral("program-folder"),
        QStringLiteral("Keep name lists, setup files and pictures in DIR."), QStringLiteral("DIR"));
    parser.addOption(programFolderOption);
    const QCommandLineOption diagnosticsOption(
        QStringLiteral("diagnostics"),
        QStringLiteral("Show the measurement screen's tick and redraw counters."));
    parser.addOption(diagnosticsOption);
    // A testing aid: a drawn live picture in place of a camera.
    const QCommandLineOption liveTestOption(
        QStringLiteral("live-test-camera"),
        QStringLiteral("Offer a drawn live picture of SIZE (WIDTHxHEIGHT[@FPS], e.g. 1280x720) "
                       "as the first camera, for trying Wakeline without one; used at once "
                       "unless --video or --camera says otherwise."),
        QStringLiteral("SIZE"));
    parser.addOption(liveTestOption);
    // Listed for --help; the options themselves never reach the parser.
    parser.addOption(QCommandLineOption(QStringLiteral("video"),
                                        QStringLiteral("Show the video FILE under the screens."),
                                        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("camera"),
        QStringLiteral("Show the camera NAME (left out: the default camera) under the screens."),
        QStringLiteral("[NAME]")));
    const bool parsed = parser.parse(videoArguments.remaining);
    const QString argumentError = !videoArguments.error.isEmpty() ? videoArguments.error
                                  : parsed                        ? QString()
                                                                  : parser.errorText();
    if (!argumentError.isEmpty()) {
        std::fprintf(stderr, "wakeline: %s\n", qPrintable(argumentError));
        return 2;
    }
    if (parser.isSet(helpOption))
        parser.showHelp();
    if (parser.isSet(versionOption))
        parser.showVersion();
    std::optional<LiveTestSource::Options> liveTest;
    if (parser.isSet(liveTestOption)) {
        liveTest = WithLiveTestCamera::optionsFrom(parser.value(liveTestOption));
        if (!liveTest) {
            std::fprintf(stderr,
                         "wakeline: --live-test-camera takes WIDTHxHEIGHT[@FPS], not "
                         "\"%s\"\n",
                         qPrintable(parser.value(liveTestOption)));
            return 2;
        }
    }

    ProgramState state;
    state.place.folder =
        resolveProgramFolder(parser.value(programFolderOption), QApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QStringList failures = installBuiltInResources(state.place.folder);
    state.options.diagnostics = parser.isSet(diagnosticsOption);

    QtSettingsStore settings;
    QtFileDialog fileDialog;
    QtMessageBoxes messages;
    SystemClock clock;
    QtPictureSource pictures;
    QtKeyState keys;
    SdlJoystick joystick;
    QtHiResTimerFactory timers;
    QtVideoSources systemVideos(clock);
    std::optional<WithLiveTestCamera> withTestCamera;
    if (liveTest)
        withTestCamera.emplace(systemVideos, *liveTest, clock);
    VideoSources& videos =
        withTestCamera ? static_cast<VideoSources&>(*withTestCamera) : systemVideos;
    RecorderSettings recorderSettings;
    if (liveTest)
        recorderSettings.fps = liveTest->fps;
    const std::unique_ptr<PassRecorder> recorder = makeGstPassRecorder(recorderSettings);
    Platform platform{settings, fileDialog, messages, clock,  pictures,
                      keys,     joystick,   timers,   videos, recorder.get()};

    Screens screens(state, platform);
    StartScreen& startScreen = screens.startScreen();
    startScreen.startUp();
    startScreen.show();
    if (!failures.isEmpty())
        messages.warning(failures.join('\n'), QStringLiteral("Wakeline"));
    startScreen.checkInterruptedPasses();
    // The command line's video, else the one chosen last time; a failure is said once and
    // leaves the overlay card.
    std::optional<VideoChoice> choice = videoArguments.choice;
    if (liveTest && !choice)
        choice = VideoChoice::ofCamera(WithLiveTestCamera::name());
    screens.courseVideo().start(choice);
    return app.exec();
}
