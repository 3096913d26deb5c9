#pragma once
// The course display's rules on the calibration screen, without its widgets: "Draw Buoys"
// and "Show Course" need a complete calibration, the accuracy check with its day report, and
// where a background picture comes from. It reads the calibration screen's session (the
// calibration, the boxes and setup lines as shown, the run's results folder, the clock) and,
// like it, tells the operator everything through message().

#include "course_display/accuracy_check.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"

#include <QObject>
#include <QString>
#include <optional>

class CalibrationSession;

class CourseDisplaySession : public QObject
{
    Q_OBJECT
public:
    explicit CourseDisplaySession(const CalibrationSession& calibration, QObject* parent = nullptr);

    // "Draw Buoys" and "Show Course" draw only over a complete calibration; otherwise the
    // operator is told to look for the smiley. True when they may draw.
    bool courseDrawingAllowed();

    // The accuracy check of the calibration in use, its indicators shown as the display
    // chooses: announces the result first (the indicators stand whatever happens to the
    // report), then appends the day's report and says what went wrong.
    void checkAccuracy(AccuracyDisplay display);

    // "Load Picture": the chooser's request, starting in the picture folder (made when
    // missing); none when that folder cannot be used (said).
    std::optional<FileDialogRequest> startPictureLoad();
    // A picture pasted from the clipboard is taken when there is one; otherwise the operator
    // is told and the background stays. True when it is taken.
    bool takePastedPicture(bool clipboardHoldsPicture);

Q_SIGNALS:
    void accuracyChecked(const AccuracyCheckResult& result);
    void message(const QString& text, const QString& title, MessageIcon icon);

private:
    const CalibrationSession& calibration;
};
