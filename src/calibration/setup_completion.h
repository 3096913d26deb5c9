#pragma once
// "Complete": checks that every coordinate is entered, solves the transform from the marks
// and the survey boxes, and stores the result in slot 1.

#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/calibration_checks.h"
#include "calibration/grid_slots.h"

#include <QString>

inline const QString kNotAllParametersMessage =
    QStringLiteral("Warning - Not all parameters have been set up on grid");
inline const QString kNoUniqueSolutionMessage =
    QStringLiteral("No Unique Solution - Re-enter data");
inline const QString kErrorMessageTitle = QStringLiteral("Error Message");

struct CompletionResult
{
    bool ok = false;
    QString message; // the operator's warning when not ok
};

// Solves from the marks and the survey boxes (read by their leading number, and kept even
// when the solve fails). A calibration the checks of calibration_checks.h refuse is not
// taken. A solved calibration goes into slot 1, which becomes the current one, and is
// complete when one slot is all there is. A failed completion leaves the coefficients in
// use, the slots and completeness as they were.
CompletionResult completeSetup(Calibration& calibration, GridSlots& slots,
                               const CoordinateTexts& texts, const QString& description1,
                               const QString& description2);

// The operator's warning for a refused "Complete": marks on one point or one line keep the
// screen's own "No Unique Solution" message; the other faults say what is wrong.
QString completionProblemMessage(const CalibrationProblem& problem);
