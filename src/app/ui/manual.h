#pragma once
// The manual screen: the operator's manual in a scrollable box, open beside the start
// screen (not modal). "Return" only hides it, so it comes back as it was left.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class Screens;

class Manual : public QWidget
{
    Q_OBJECT
public:
    explicit Manual(Screens& screens);

private Q_SLOTS:
    void Command1_Click();

private:
    Screens& screens;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
};
