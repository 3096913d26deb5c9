#include "course_display/course_display_session.h"

#include "calibration/calibration_session.h"
#include "course_display/background_picture.h"
#include "course_display/overlay_geometry.h"
#include "platform/clock.h"

#include <variant>

CourseDisplaySession::CourseDisplaySession(const CalibrationSession& calibration, QObject* parent)
    : QObject(parent), calibration(calibration)
{
}

bool CourseDisplaySession::courseDrawingAllowed()
{
    if (calibration.isComplete())
        return true;
    Q_EMIT message(QString::fromLatin1(kSetupNotOkMessage), QString(), MessageIcon::None);
    return false;
}

void CourseDisplaySession::checkAccuracy(AccuracyDisplay display)
{
    const QDateTime now = calibration.clock().now();
    const AccuracyCheckResult result = runAccuracyCheck(accuracyInputFrom(
        calibration.calibration(), calibration.gridSlots().current, calibration.boxes(),
        calibration.setupFile(), calibration.setupDescription(), display, now));
    Q_EMIT accuracyChecked(result);
    const QString path =
        accuracyReportPath(calibration.run().resultsFolder, now, calibration.programFolder());
    const WriteResult written = appendAccuracyReport(path, result);
    if (!written)
        Q_EMIT message(written.message, kGridSetupTitle, MessageIcon::Warning);
    if (result.unplaced > 0)
        Q_EMIT message(unplacedPointsMessage(result.unplaced), kGridSetupTitle,
                       MessageIcon::Warning);
}

std::optional<FileDialogRequest> CourseDisplaySession::startPictureLoad()
{
    const PictureLoadStart start = ::startPictureLoad(calibration.programFolder());
    if (const QString* warning = std::get_if<QString>(&start)) {
        Q_EMIT message(*warning, QString(), MessageIcon::Warning);
        return std::nullopt;
    }
    return std::get<FileDialogRequest>(start);
}

bool CourseDisplaySession::takePastedPicture(bool clipboardHoldsPicture)
{
    if (!clipboardHoldsPicture)
        Q_EMIT message(QString::fromLatin1(kNoClipboardPictureMessage), kGridSetupTitle,
                       MessageIcon::None);
    return clipboardHoldsPicture;
}
