#pragma once
// The program's screens: each exists at most once and is created on first use. Screens
// reach one another only through here and the public operations each screen offers.

#include "app/ui/course_picture.h"

#include <QObject>
#include <QWidget>
#include <memory>

struct Global;
struct Platform;
class Form1;
class Grid_Setup;
class Measure;
class Results;
class Manual;

class Screens : public QObject
{
    Q_OBJECT
public:
    Screens(Global& global, Platform& platform);
    ~Screens() override;

    Global& global() { return global_; }
    Platform& platform() { return platform_; }
    // The picture behind the calibration and measurement screens.
    CoursePicture& coursePicture() { return coursePicture_; }

    Form1& form1();
    Grid_Setup& gridSetup();
    Measure& measure();
    Results& results();
    Manual& manual();
    bool hasGridSetup() const { return gridSetup_ != nullptr; }
    bool hasResults() const { return results_ != nullptr; }
    bool hasManual() const { return manual_ != nullptr; }
    // The results screen is unloaded when it is left; the next pass creates it anew.
    void unloadResults();

    // Shows a screen and gives it the keyboard, as moving to a screen does.
    static void bringUp(QWidget& screen);

    // Ends the program at once: every screen closes, nothing is saved or asked.
    void endProgram();

Q_SIGNALS:
    void programEnded();

private:
    Global& global_;
    Platform& platform_;
    CoursePicture coursePicture_;
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<Grid_Setup> gridSetup_;
    std::unique_ptr<Measure> measure_;
    std::unique_ptr<Results> results_;
    std::unique_ptr<Manual> manual_;
    bool ending_ = false;
};
