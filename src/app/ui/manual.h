#pragma once
// The manual screen: the operator's manual in a scrollable box, open beside the start
// screen (not modal). "Return" only hides it, so it comes back as it was left.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QRect;
class QScreen;

class Manual : public QWidget
{
    Q_OBJECT
public:
    // First placed beside the start screen's frame, on the screen it is shown on (none: where
    // the window system puts it).
    Manual(const QRect& startFrame, const QScreen* screen);

private:
    QPlainTextEdit* manualEdit = nullptr;
    QPushButton* returnButton = nullptr;
};
