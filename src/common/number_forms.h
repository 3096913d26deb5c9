#pragma once
// The number forms the program reads and writes. Reports, logs and setup files rely on
// these exact texts, so every writer goes through here.

#include <QString>

// Str form: leading blank for non-negative values, "-" otherwise, no zero before the
// point below 1, no trailing zeros, up to 15 significant digits (" .05", "-.12", " 0").
QString strForm(double v);
// Print form: the Str form followed by one blank.
QString printForm(double v);
// Round half up to n decimals: Int(v * 10^n + 0.5) / 10^n, Int rounding down.
double roundHalfUp(double v, int decimals);
// Str form of the value rounded half up to 3 decimals.
QString round3Str(double v);
// "000.0": at least three digits before the point, one after (45.3 -> "045.3").
QString format000_0(double v);
// "0.00": at least one digit before the point, exactly two after (-0.05, 0.00, 1.20).
QString format0_00(double v);
// The setup file's number form: general form with a leading blank for non-negative
// values, exponent form for very small or large magnitudes, and one trailing blank.
// Reads back to exactly the same double.
QString setupNumber(double v);
// Shortest text that reads back to the same double (no leading or trailing blank).
QString shortestRoundTrip(double v);
// Leading-number rule for text typed into boxes and fields read from files: blanks are
// skipped, then the longest prefix of sign, digits and one point is taken; none gives 0.
double leadingNumber(const QString& text);
// Integer conversion of a real that rounds halves to even.
long long roundHalfEven(double v);
