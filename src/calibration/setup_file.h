#pragma once
// The ".ipt" setup file: 19 lines holding a calibration (the four reference points, the
// coefficients, the jump reference point and a description). The reader checks the whole
// file before anything is applied, so a bad file never leaves half a calibration behind.

#include "calibration/course_transform.h"
#include "common/text_file.h"

#include <QString>
#include <array>
#include <optional>

inline constexpr int kSetupFileLines = 19;
inline const QString kSetupFirstLinePrefix = QStringLiteral("Initialization Points for file: ");

struct SetupFileData
{
    QString savedPath;   // line 1 after its prefix: where the file was saved
    QString description; // line 2
    std::array<ReferencePoint, 4>
        points{}; // point order: upper right, lower right, upper left, lower left
    CourseTransform transform;
    Point2 jump;
    // Lines 17 to 19: 10, 2 and the slot that was current when saving. Kept, never used.
    std::array<double, 3> trailer{10.0, 2.0, 1.0};

    bool operator==(const SetupFileData&) const = default;
};

// What was wrong with a file: the line (1..19; 0 for the file as a whole) and why.
struct SetupFileProblem
{
    int line = 0;
    QString reason;
};

struct SetupFileRead
{
    std::optional<SetupFileData> data;
    SetupFileProblem problem; // set when there is no data
};

// The file's text: 19 lines, each ended by CR LF. Line breaks inside the path or the
// description are written as blanks, so the file always keeps its 19 lines.
QString setupFileText(const SetupFileData& data);
// Reads a setup file's text; never throws, never loops longer than the text.
SetupFileRead parseSetupFile(const QString& text);
// Reads and checks the file at path (UTF-8, or Latin-1 when not UTF-8).
SetupFileRead readSetupFile(const QString& path);
// Replaces the file atomically: a failed save leaves the old file as it was.
WriteResult writeSetupFile(const QString& path, const SetupFileData& data);
// The operator's message for a file that cannot be loaded.
QString setupFileProblemMessage(const QString& path, const SetupFileProblem& problem);
