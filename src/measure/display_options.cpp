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

void DisplayOptions::setLineColour(LineColour colour)
{
    const Rgb c = lineColourRgb(colour);
    for (LineRecord* l : {&lines.measureLine, &lines.measureLineColumn2, &lines.boatMarker,
                          &lines.leftEdge, &lines.rightEdge})
        l->colour = c;
}

void DisplayOptions::setLineStyle(LineStyle style)
{
    lines.measureLine.style = style;
    lines.measureLineColumn2.style = style;
}

void DisplayOptions::setBoundaryColour(BoundaryColour colour)
{
    boundaryColour_ = colour;
    if (const auto single = boundaryColourRgb(colour)) {
        lines.leftBoundary.colour = *single;
        lines.rightBoundary.colour = *single;
        view.redGreenLegendVisible = false;
        view.blackYellowLegendVisible = false;
    } else {
        view.redGreenLegendVisible = colour == BoundaryColour::RedGreen;
        view.blackYellowLegendVisible = colour == BoundaryColour::BlackYellow;
    }
}

void DisplayOptions::setThinLine(bool thin)
{
    lines.measureLineColumn2.visible = !thin;
    lines.leftEdge.width = thin ? 1 : 2;
    lines.rightEdge.width = thin ? 1 : 2;
}

void DisplayOptions::setStatusHidden(bool hidden)
{
    statusHidden_ = hidden;
    view.timeLabelVisible = !hidden;
    view.doneVisible = !hidden;
}

void DisplayOptions::setViewOnly(bool viewOnly, Event event)
{
    viewOnly_ = viewOnly;
    const bool jump = event == Event::Jump;
    if (viewOnly) {
        view.lineLengthVisible = false;
        view.jumpPathsVisible = jump;
        view.jumpBoundaryVisible = jump;
    } else {
        view.lineLengthVisible = !jump;
        view.jumpPathsVisible = false;
        view.jumpBoundaryVisible = false;
    }
}

void DisplayOptions::setEdgeMarkers(bool on)
{
    lines.leftEdge.visible = on;
    lines.rightEdge.visible = on;
}

void DisplayOptions::setPathMarkers(bool on)
{
    lines.leftBoundary.visible = on;
    lines.rightBoundary.visible = on;
}

double DisplayOptions::boatWidth() const
{
    return leadingNumber(boatWidthText);
}

double DisplayOptions::jumpCentre() const
{
    return viewOnly_ ? jumpPathCentre(jumpPath_) : kJumpCentreLineX;
}

void DisplayOptions::applyBoundaryWidth(double value)
{
    view.styleLegendVisible = value == 1.0; // the dashed style only shows on one-pixel lines
    borderWidth_ = int(roundHalfEven(value));
    lines.leftBoundary.width = borderWidth_;
    lines.rightBoundary.width = borderWidth_;
}

bool DisplayOptions::boundaryWidthEdited(const QString& text)
{
    const auto v = valueWhileTyping(text, kBoundaryWidthRule);
    if (v)
        applyBoundaryWidth(*v);
    return v.has_value();
}

std::optional<QString> DisplayOptions::boundaryWidthFinished(const QString& text)
{
    const FinishedEntry e = finishEntry(text, kBoundaryWidthRule);
    applyBoundaryWidth(e.value);
    return e.replacement;
}

bool DisplayOptions::jumpBoundaryEdited(const QString& text)
{
    const auto v = valueWhileTyping(text, kJumpBoundaryRule);
    if (v)
        jumpBoundary_ = *v;
    return v.has_value();
}

std::optional<QString> DisplayOptions::jumpBoundaryFinished(const QString& text)
{
    const FinishedEntry e = finishEntry(text, kJumpBoundaryRule);
    jumpBoundary_ = e.value;
    return e.replacement;
}
