#pragma once
// Setup files whose calibration cannot be, and files whose coefficients do not belong to
// their marks: the shipped SlalomOK.ipt with some of its lines replaced. The calibration,
// screen and command-line tests each take them through their own door.

#include "support/paths.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>
#include <utility>
#include <vector>

struct AlteredSetup
{
    const char* name;
    std::vector<std::pair<int, const char*>> lines; // 1-based line, its new text
    // Refused: the line the refusal names (0: none). Solved again: the point (1..4) its
    // coefficients put farthest off.
    int where;
    const char* reasonPart; // a piece of the reason
};

inline void PrintTo(const AlteredSetup& s, std::ostream* os)
{
    *os << s.name;
}

inline std::string alteredName(const testing::TestParamInfo<AlteredSetup>& info)
{
    return info.param.name;
}

// SlalomOK.ipt's marks: upper right (8085, 1815), lower right (12315, 9780), upper left
// (5190, 1815), lower left (6945, 9780); lines 3 to 6.
inline const std::vector<AlteredSetup>& impossibleSetups()
{
    static const std::vector<AlteredSetup> cases{
        {"MarkAt1e308", {{6, " 1E+308 , 9780 , 2.5 ,-259 "}}, 6, "lower left buoy's mark"},
        {"MarkBeyondAnyPicture", {{3, " 8085 ,-250000 , 0 , 0 "}}, 3, "upper right buoy's mark"},
        {"SurveyAt1e300", {{5, " 5190 , 1815 , 1E+300 , 0 "}}, 5, "upper left buoy's survey"},
        {"TwoMarksAtOnePoint",
         {{6, " 12315 , 9780 , 2.5 ,-259 "}},
         0,
         "lower right and lower left"},
        {"AllMarksAtOnePoint",
         {{4, " 8085 , 1815 , 0 ,-259 "},
          {5, " 8085 , 1815 , 2.5 , 0 "},
          {6, " 8085 , 1815 , 2.5 ,-259 "}},
         0,
         "all four buoys are marked at one point"},
        {"ThreeMarksInLine",
         {{6, " 6945 , 1815 , 2.5 ,-259 "}},
         0,
         "upper right, upper left and lower left buoys are marked on one line"},
        // A tenth of a twip off the line through two marks 2895 twips apart.
        {"ThreeMarksNearlyInLine",
         {{6, " 6945 , 1815.1 , 2.5 ,-259 "}},
         0,
         "upper right, upper left and lower left buoys are marked on one line"},
        {"FourMarksInLine",
         {{3, " 1000 , 1000 , 0 , 0 "},
          {4, " 2000 , 2000 , 0 ,-259 "},
          {5, " 3000 , 3000 , 2.5 , 0 "},
          {6, " 4000 , 4000 , 2.5 ,-259 "}},
         0,
         "all four buoys are marked on one line"},
        // The upper gate's two buoys surveyed at one place: the coefficients do not fit
        // either, and the marks solve to nothing.
        {"TwoSurveyPointsAtOnePlace", {{5, " 5190 , 1815 , 0 , 0 "}}, 0, "no unique solution"},
        // The lower gate's survey positions swapped: a transform exists, but its horizon
        // runs between the gates.
        {"LowerGateSurveySwapped",
         {{4, " 12315 , 9780 , 2.5 ,-259 "}, {6, " 6945 , 9780 , 0 ,-259 "}},
         0,
         "horizon between the marks"},
    };
    return cases;
}

// Files the screen loads once their coefficients are solved again.
inline const std::vector<AlteredSetup>& misfitCoefficientSetups()
{
    static const std::vector<AlteredSetup> cases{
        // JumpOK.ipt's marks over the slalom gates, with SlalomOK's coefficients: the upper
        // right mark lands 13.9 m from its buoy.
        {"OtherMarks",
         {{3, " 8850 , 1590 , 0 , 0 "},
          {4, " 14040 , 9900 , 0 ,-259 "},
          {5, " 4395 , 1590 , 2.5 , 0 "},
          {6, " 5445 , 9900 , 2.5 ,-259 "}},
         1,
         "upper right"},
        // c4 = 0 and c5 so near -1/1815 that 1 + c5 * 1815 is exactly zero: both upper marks
        // are on the coefficients' horizon.
        {"MarksOnTheHorizon", {{10, " 0 "}, {11, "-5.509641873278238E-04 "}}, 1, "horizon"},
        // No coefficients at all (a singular transform): every mark lands on the origin.
        {"ZeroCoefficients",
         {{7, " 0 "},
          {8, " 0 "},
          {9, " 0 "},
          {10, " 0 "},
          {11, " 0 "},
          {12, " 0 "},
          {13, " 0 "},
          {14, " 0 "}},
         4,
         "lower left"},
    };
    return cases;
}

inline QString standardSlalomText()
{
    QFile f(sourcePath(QStringLiteral("resources/program/SlalomOK.ipt")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromLatin1(f.readAll());
}

inline QByteArray alteredSetupBytes(const AlteredSetup& setup)
{
    QStringList lines = standardSlalomText().split(QStringLiteral("\r\n"));
    for (const auto& [line, text] : setup.lines)
        lines[line - 1] = QString::fromLatin1(text);
    return lines.join(QStringLiteral("\r\n")).toLatin1();
}
