#pragma once
// The measurement screen.

#include <QMainWindow>

class Screens;

class Measure : public QMainWindow
{
    Q_OBJECT
public:
    explicit Measure(Screens& screens);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Screens& screens;
};
