#pragma once
// The results screen.

#include <QMainWindow>

class QLabel;
class Screens;

class Results : public QMainWindow
{
    Q_OBJECT
public:
    explicit Results(Screens& screens);

    // Loading the screen after a pass (or with no pass measured).
    void Form_Load();

private:
    Screens& screens;
    QLabel* arrived = nullptr;
};
