#include "calibration/setup_completion.h"

#include "calibration/grid_slots.h"
#include "common/number_forms.h"

CompletionResult completeSetup(Global& g, const CoordinateTexts& texts, const QString& description1,
                               const QString& description2)
{
    for (Buoy b : {Buoy::UpperLeft, Buoy::UpperRight, Buoy::LowerLeft, Buoy::LowerRight})
        if (texts[b].screenX == kUnmarkedText || texts[b].screenY == kUnmarkedText)
            return {false, kNotAllParametersMessage};
    for (Buoy b : {Buoy::UpperLeft, Buoy::UpperRight, Buoy::LowerLeft, Buoy::LowerRight})
        if (texts[b].surveyX == kNoSurveyText || texts[b].surveyY == kNoSurveyText)
            return {false, kNotAllParametersMessage};

    std::array<ReferencePoint, 4> points{};
    for (size_t k = 1; k <= 4; ++k) {
        const BuoyTexts& t = texts[buoyAtPoint(int(k))];
        g.buoy_survey_x[k] = leadingNumber(t.surveyX);
        g.buoy_survey_y[k] = leadingNumber(t.surveyY);
        points[k - 1] = {{g.buoy_screen_x[k], g.buoy_screen_y[k]},
                         {g.buoy_survey_x[k], g.buoy_survey_y[k]}};
    }
    GridMatrix scratch = g.grid_matrix;
    if (!solveCourseTransform(points, scratch))
        return {false, kNoUniqueSolutionMessage};
    g.grid_matrix = scratch;

    g.grid_loaded[1] = true;
    g.grid_number = 1;
    g.grid_desc1[1] = description1;
    g.grid_desc2[1] = description2;
    SetupFileData slot = workingData(g);
    slot.trailer = {10.0, 2.0, 5.0};
    slot.jump = {g.slot_jump_x, g.slot_jump_y};
    storeInSlot(g, 1, slot);
    if (g.grid_count == 1)
        g.setup_ok = 1;
    return {true, QString()};
}
