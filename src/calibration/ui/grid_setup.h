#pragma once
// The calibration screen.

#include <QMainWindow>

class Screens;

class Grid_Setup : public QMainWindow
{
    Q_OBJECT
public:
    explicit Grid_Setup(Screens& screens);

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void gridExit_Click();

private:
    Screens& screens;
};
