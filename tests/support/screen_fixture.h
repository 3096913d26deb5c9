#pragma once
// A started program on the offscreen platform: temporary program and results folders, the
// fakes (or, where a test asks, the real key state, message boxes, settings store, or clock,
// timers and video player), the program's state owners and its screens. When it goes, its folders
// are kept for comparing two builds (support/kept_files.h), the screens' deferred deletions run and
// the working folder is back where the test started. Screen tests build on it, as a member or as a
// base.

#include "app/program_state.h"
#include "app/ui/screens.h"
#include "app/ui/start_screen.h"
#include "fakes/fake_platform.h"
#include "platform/qt/live_test_source.h"
#include "platform/qt/qt_hires_timer.h"
#include "platform/qt/qt_key_state.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "support/kept_files.h"
#include "support/measure_screen_driver.h"
#include "support/results_screen_driver.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The real services a test takes instead of fakes: the arrow keys from key events, message
// boxes that are windows of their own, the settings file, and the wall clock with its timers
// and the video player (a video file plays in real time).
struct RealServices
{
    bool keys = false;
    bool messages = false;
    bool settings = false;
    bool media = false;
    // The pass recorder on GStreamer.
    bool recorder = false;
    // With media: the live test source (320 x 240, 30 frames a second) as the first camera.
    bool liveTestCamera = false;
};

struct StartedProgram
{
    explicit StartedProgram(RealServices real = {});
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // Runs the start-up sequence, shows the start screen and looks for interrupted passes, as
    // main() does; a "Default" results folder exists unless told otherwise.
    StartScreen& start(bool withDefaultFolder = true);
    // The built-in setup files, pictures and "Default" folder, as the first start copies them.
    void installResources();
    // The start screen's "Data Path for Results": the test's own results folder unless told.
    void chooseResultsFolder(const QString& folder = QString());
    // A slalom pass of `tenths` tenths as the measurement screen leaves it: deviations of
    // up to 0.18 m to either side, summarised, measured.
    void measurePass(int tenths);
    // The results screen loaded with the pass and shown, as the end of a pass shows it.
    ResultsScreenDriver showResults();
    QString path(const QString& name) const { return folder.filePath(name); }
    // The measurement screen (made on first use), driven as an operator does.
    MeasureScreenDriver measureDriver() { return MeasureScreenDriver(screens.measureScreen()); }
    // One more temporary folder, kept under `label` with the others.
    QString newFolder(const QString& label);

    QTemporaryDir folder;  // the program folder
    QTemporaryDir results; // a results folder, for chooseResultsFolder()
    FakePlatform fake;
    std::optional<QtKeyState> realKeys;
    std::optional<QtMessageBoxes> realMessages;
    std::optional<QtSettingsStore> realSettings;
    std::optional<SystemClock> realClock;
    std::optional<QtHiResTimerFactory> realTimers;
    std::optional<QtVideoSources> realVideos;
    std::optional<WithLiveTestCamera> liveTestCameras;
    std::unique_ptr<PassRecorder> realRecorder;
    Platform platform;
    ProgramState state;

private:
    std::vector<std::pair<std::unique_ptr<QTemporaryDir>, QString>> moreFolders;

    // Runs once the screens are gone.
    struct Cleanup
    {
        Cleanup();
        ~Cleanup();
        QString startFolder;
    } cleanup;

public:
    Screens screens{state, platform};
};

template <typename T> T* child(QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QString::fromLatin1(name));
}
