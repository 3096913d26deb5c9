#pragma once
// The results screen.

#include <QMainWindow>

class Screens;

class Results : public QMainWindow
{
    Q_OBJECT
public:
    explicit Results(Screens& screens);

private:
    Screens& screens;
};
