#pragma once
// The four reference points of a solve as text, one "sx sy X Y" line per point (screen
// twips, survey metres) in the order upper right, lower right, upper left, lower left:
// the input of wakeline-cli's solve. Any bytes at all may arrive here, so parsing is strict,
// bounded and never throws.

#include "calibration/course_transform.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// Longer input is refused unread: four lines of numbers never come near it.
inline constexpr qsizetype kMaxSolveInputBytes = 64 * 1024;

struct SolveInput
{
    bool ok = false;
    std::array<ReferencePoint, 4> points{};
    // When not ok: the 1-based line and field of the fault (0 when it is not about one) and
    // a one-line message naming them.
    int line = 0;
    int field = 0;
    QString message;
};

// Fields are separated by blanks or tabs, or by commas as in a setup file's point lines.
// Blank lines after the fourth line are ignored; any other blank or extra line is an error.
SolveInput parseSolveInput(const QByteArray& bytes);

// One number: optional sign, digits with at most one point, optional exponent ("E-03").
// No value, and the reason ("is not a number", "is out of range"), for anything else,
// including inf and NaN.
struct NumberField
{
    std::optional<double> value;
    QString reason;
};
NumberField parseNumberField(QStringView text);

// The text of a field as shown in a message: quoted, control characters replaced, long
// texts cut.
QString quotedField(QStringView text);
