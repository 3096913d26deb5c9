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
    const std::optional<CourseTransform> solved =
        solveCourseTransform(calibration.referencePoints());
    if (!solved)
        return {false, kNoUniqueSolutionMessage};
    calibration.transform = *solved;

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
