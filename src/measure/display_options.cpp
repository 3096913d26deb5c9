#include "measure/display_options.h"

#include "common/number_forms.h"

#include <QRegularExpression>
#include <cmath>

Rgb lineColourRgb(LineColour colour)
{
    switch (colour) {
    case LineColour::White:
        return kWhite;
    case LineColour::Black:
        return kBlack;
    case LineColour::Yellow:
        return Rgb{255, 255, 0};
    }
    return kWhite;
}

std::optional<Rgb> boundaryColourRgb(BoundaryColour colour)
{
    switch (colour) {
    case BoundaryColour::White:
        return kWhite;
    case BoundaryColour::Black:
        return kBlack;
    case BoundaryColour::Yellow:
        return Rgb{255, 255, 0};
    case BoundaryColour::Red:
        return kRed;
    case BoundaryColour::Blue:
        return kBlue;
    case BoundaryColour::RedGreen:
    case BoundaryColour::BlackYellow:
        return std::nullopt;
    }
    return std::nullopt;
}

bool isBoundaryScheme(BoundaryColour colour)
{
    return !boundaryColourRgb(colour).has_value();
}

std::optional<double> valueWhileTyping(const QString& text, const RangeRule& rule)
{
    // Only a plain decimal number is taken, read the way finishing reads it. A general
    // number reader also takes "nan", "inf" and exponents: NaN passes every range check
    // and has no integer line width.
    static const QRegularExpression plainNumber(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    const QString t = text.trimmed();
    if (!plainNumber.match(t).hasMatch())
        return std::nullopt;
    const double v = leadingNumber(t);
    if (!std::isfinite(v) || v < rule.low || v > rule.high)
        return std::nullopt;
    return v;
}

FinishedEntry finishEntry(const QString& text, const RangeRule& rule)
{
    double v = leadingNumber(text);
    if (!std::isfinite(v))
        v = 0.0; // counts as no number
    if (v < rule.low)
        return {QString::fromLatin1(rule.lowText), rule.low};
    if (v > rule.high)
        return {QString::fromLatin1(rule.highText), rule.high};
    return {std::nullopt, v};
}
