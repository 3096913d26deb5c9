#include "support/screen_fixture.h"

#include "app/program_folder.h"
#include "platform/gst/gst_pass_recorder.h"
#include "support/sample_pass.h"
#include "support/start_screen_driver.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

StartedProgram::StartedProgram(RealServices real)
    : platform{real.settings ? static_cast<SettingsStore&>(realSettings.emplace()) : fake.settings,
               fake.fileDialog,
               real.messages ? static_cast<MessageBoxes&>(realMessages.emplace()) : fake.messages,
               real.media ? static_cast<Clock&>(realClock.emplace()) : fake.clock,
               fake.pictures,
               real.keys ? static_cast<KeyState&>(realKeys.emplace()) : fake.keys,
               fake.joystick,
               real.media ? static_cast<HiResTimerFactory&>(realTimers.emplace()) : fake.timers,
               !real.media ? static_cast<VideoSources&>(fake.videos)
               : !real.liveTestCamera
                   ? static_cast<VideoSources&>(realVideos.emplace(*realClock))
                   : liveTestCameras.emplace(realVideos.emplace(*realClock),
                                             LiveTestSource::Options{}, *realClock),
               real.recorder ? (realRecorder = makeGstPassRecorder()).get()
                             : static_cast<PassRecorder*>(&fake.recorder)}
{
    state.place.folder = folder.path();
}

StartedProgram::~StartedProgram()
{
    std::vector<KeptFolder> kept{{folder.path(), "program"}, {results.path(), "results"}};
    for (const auto& [dir, label] : moreFolders)
        kept.push_back({dir->path(), label});
    keepTestFiles(fake, kept);
}

StartedProgram::Cleanup::Cleanup() : startFolder(QDir::currentPath()) {}

StartedProgram::Cleanup::~Cleanup()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Start-up moves into the program folder, which goes with the test.
    QDir::setCurrent(startFolder);
}

QString StartedProgram::newFolder(const QString& label)
{
    moreFolders.emplace_back(std::make_unique<QTemporaryDir>(), label);
    return moreFolders.back().first->path();
}

StartScreen& StartedProgram::start(bool withDefaultFolder)
{
    if (withDefaultFolder)
        QDir(folder.path()).mkdir(QStringLiteral("Default"));
    StartScreen& f = screens.startScreen();
    f.startUp();
    f.show();
    f.checkInterruptedPasses();
    return f;
}

void StartedProgram::installResources()
{
    EXPECT_EQ(installBuiltInResources(folder.path()), QStringList());
}

void StartedProgram::chooseResultsFolder(const QString& chosen)
{
    StartScreenDriver(screens.startScreen())
        .replaceText(StartScreenDriver::Field::ResultsFolder,
                     chosen.isEmpty() ? results.path() : chosen);
}

void StartedProgram::measurePass(int tenths)
{
    recordSamplePass(state.pass, tenths);
}

ResultsScreenDriver StartedProgram::showResults()
{
    screens.openResults();
    return ResultsScreenDriver(screens.resultsScreen());
}
