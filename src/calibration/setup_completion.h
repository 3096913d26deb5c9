#pragma once
// "Complete": checks that every coordinate is entered, solves the transform from the marks
// and the survey boxes, and stores the result in slot 1.

#include "calibration/buoy_marking.h"
#include "common/global.h"

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

// A failed completion leaves the coefficients in use and setup_ok as they were: the solve
// runs on a copy of the work matrix, which replaces it only when the solve succeeds.
CompletionResult completeSetup(Global& g, const CoordinateTexts& texts, const QString& description1,
                               const QString& description2);
