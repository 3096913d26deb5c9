#pragma once
// The manual screen.

#include <QWidget>

class Screens;

class Manual : public QWidget
{
    Q_OBJECT
public:
    explicit Manual(Screens& screens);

private:
    Screens& screens;
};
