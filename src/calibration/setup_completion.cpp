#include "calibration/setup_completion.h"

#include "calibration/grid_slots.h"
#include "common/number_forms.h"

CompletionResult completeSetup(Calibration& calibration, GridSlots& slots,
                               const CoordinateTexts& texts, const QString& description1,
                               const QString& description2)
{
    for (Buoy b : kBuoyVisitOrder)
        if (texts[b].screenX == kUnmarkedText || texts[b].screenY == kUnmarkedText)
            return {false, kNotAllParametersMessage};
    for (Buoy b : kBuoyVisitOrder)
        if (texts[b].surveyX == kNoSurveyText || texts[b].surveyY == kNoSurveyText)
            return {false, kNotAllParametersMessage};

    for (Buoy b : kBuoyVisitOrder)
        calibration.surveyPoint(b) = {leadingNumber(texts[b].surveyX),
                                      leadingNumber(texts[b].surveyY)};
    const CheckedSolve solved = solveChecked(calibration.referencePoints());
    if (!solved.transform)
        return {false, completionProblemMessage(*solved.problem)};
    calibration.transform = *solved.transform;

    slots.current = 1;
    SetupFileData slot = workingData(calibration, slots.current);
    slot.savedPath = description1;
    slot.description = description2;
    slot.trailer = {10.0, 2.0, 5.0};
    slots.slot(1) = slot;
    if (slots.count == 1)
        calibration.complete = true;
    return {true, QString()};
}

QString completionProblemMessage(const CalibrationProblem& problem)
{
    switch (problem.fault) {
    case CalibrationFault::MarksCoincide:
    case CalibrationFault::MarksInLine:
    case CalibrationFault::NoUniqueSolution:
        // What the screen has always said when marks on one point or one line left the
        // solve without a pivot; marks a click cannot tell from those are the same fault.
        return kNoUniqueSolutionMessage;
    case CalibrationFault::MarkOutOfReach:
    case CalibrationFault::SurveyOutOfReach:
    case CalibrationFault::TransformUnusable:
        break;
    }
    QString reason = problem.reason;
    if (!reason.isEmpty())
        reason[0] = reason[0].toUpper();
    return QStringLiteral("Warning - ") + reason +
           QStringLiteral(". Re-enter data: the calibration in use has not been changed.");
}
