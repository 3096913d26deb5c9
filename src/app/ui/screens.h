#pragma once
// The program's screens: each exists at most once and is created on first use. Screens
// builds each with the state owners and platform services it needs, and is the navigator
// between them: no screen holds another. It also holds what lies under the calibration and
// measurement screens (the still picture and the video), one for both; main() starts the
// video with the command line's choice.

#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/navigator.h"

#include <QObject>
#include <QWidget>
#include <memory>

struct ProgramState;
struct Platform;
class StartScreen;
class CalibrationScreen;
class CalibrationSession;
class CourseDisplaySession;
class MeasureModel;
class MeasureScreen;
struct TrackingServices;
class PassRecording;
class ResultsScreen;
class ResultsSession;
class Manual;

class Screens : public QObject, public Navigator
{
    Q_OBJECT
public:
    Screens(ProgramState& state, Platform& platform);
    ~Screens() override;

    ProgramState& state() { return state_; }
    Platform& platform() { return platform_; }
    // The still picture behind the calibration and measurement screens.
    CoursePicture& coursePicture() { return coursePicture_; }
    // The overlay card, camera or video file under both screens (and the still picture).
    CourseVideo& courseVideo() { return courseVideo_; }

    StartScreen& startScreen();
    CalibrationScreen& calibrationScreen();
    MeasureScreen& measureScreen();
    ResultsScreen& resultsScreen();
    Manual& manual();
    // Made with the measurement screen; null before it.
    PassRecording* passRecording() const { return passRecording_.get(); }
    bool hasCalibrationScreen() const { return calibrationScreen_ != nullptr; }
    bool hasResults() const { return results_ != nullptr; }
    bool hasManual() const { return manual_ != nullptr; }

    // Navigator
    void showStart() override;
    void openCalibration() override;
    void openMeasurement() override;
    void prepareMeasurement() override;
    void openManual() override;
    void openResults() override;
    void closeResults() override;
    void openReview(const ReviewedPass& pass) override;
    void endProgram() override;

Q_SIGNALS:
    void programEnded();

private:
    // Shows a screen and gives it the keyboard, as moving to a screen does.
    static void bringUp(QWidget& screen);

    ProgramState& state_;
    Platform& platform_;
    CoursePicture coursePicture_;
    // Before the screens, so that it outlives every screen that follows it.
    CourseVideo courseVideo_;
    std::unique_ptr<StartScreen> startScreen_;
    // The calibration screen's sessions, made with it and outliving it.
    std::unique_ptr<CalibrationSession> calibrationSession_;
    std::unique_ptr<CourseDisplaySession> courseDisplaySession_;
    std::unique_ptr<CalibrationScreen> calibrationScreen_;
    // Before its screen, which holds it.
    std::unique_ptr<MeasureModel> measureModel_;
    std::unique_ptr<PassRecording> passRecording_;
    std::unique_ptr<MeasureScreen> measureScreen_;
    std::unique_ptr<TrackingServices> tracking_;
    // The session before its screen: the screen goes first.
    std::unique_ptr<ResultsSession> resultsSession_;
    std::unique_ptr<ResultsScreen> results_;
    std::unique_ptr<Manual> manual_;
    bool ending_ = false;
};
