#pragma once
// The measurement screen's display options: colours and looks of the line and the markers,
// what shows (status indicators, legends, the jump choices), monitoring only (view-only), and
// the range-checked entries (boundary mark width, jump boundary). None of them alters a
// measured value; the jump boundary and, when monitoring, the jump path set where the path
// limits are drawn.

#include "common/overlay.h"
#include "common/run_info.h"
#include "measure/line_record.h"
#include "measure/marker_geometry.h"
#include "measure/measure_tables.h"
#include "measure/measure_view.h"

#include <QString>
#include <optional>

enum class LineColour { White, Black, Yellow };
Rgb lineColourRgb(LineColour colour);
// The single colour of a boundary option; none for the two schemes.
std::optional<Rgb> boundaryColourRgb(BoundaryColour colour);
bool isBoundaryScheme(BoundaryColour colour);

// A number entry with a range. The range is enforced when the operator finishes editing
// (Enter or leaving the box), so that "0.5" can be typed through "0" and "0."; until then
// the last value in range stays in force.
struct RangeRule
{
    double low;
    double high;
    const char* lowText;
    const char* highText;
};
inline constexpr RangeRule kBoundaryWidthRule{1.0, 24.0, "1", "24"};
inline constexpr RangeRule kJumpBoundaryRule{0.2, 1.0, "0.2", "1.0"};

// While typing: the value when the whole text is a plain decimal number in range (sign,
// digits, one point), otherwise none; "nan", "inf" and the like never count.
std::optional<double> valueWhileTyping(const QString& text, const RangeRule& rule);

struct FinishedEntry
{
    std::optional<QString> replacement; // the text the box gets when it was out of range
    double value = 0.0;                 // in force from now on
};
// On finishing: out-of-range values (a text that is no number counts as 0) are replaced by
// the nearest limit.
FinishedEntry finishEntry(const QString& text, const RangeRule& rule);

// The options chosen on the screen, with what each does to the lines and the view. They last
// while the program runs; arming the screen for a pass does not reset them.
class DisplayOptions
{
public:
    DisplayOptions(MeasureLines& lines, MeasureView& view) : lines(lines), view(view) {}

    void setLineColour(LineColour colour);
    void setLineStyle(LineStyle style);
    // A single colour colours both boundary markers now; a scheme leaves that to each input
    // tick (mandatory and optional side apart) and shows its legend.
    void setBoundaryColour(BoundaryColour colour);
    void setThinLine(bool thin);
    // Hidden status indicators take the "Time" and "Done" labels with them.
    void setStatusHidden(bool hidden);
    void setViewOnly(bool viewOnly, Event event);
    void setEdgeMarkers(bool on);
    void setPathMarkers(bool on);
    void setJumpPath(JumpPath path) { jumpPath_ = path; }
    void setBoatWidthText(const QString& text) { boatWidthText = text; }
    // The range-checked entries: while typing (true when the text took effect), and when
    // editing finishes (the replacement text for the box when the entry was out of range).
    bool boundaryWidthEdited(const QString& text);
    std::optional<QString> boundaryWidthFinished(const QString& text);
    bool jumpBoundaryEdited(const QString& text);
    std::optional<QString> jumpBoundaryFinished(const QString& text);

    BoundaryColour boundaryColour() const { return boundaryColour_; }
    JumpPath jumpPath() const { return jumpPath_; }
    bool statusHidden() const { return statusHidden_; }
    bool viewOnly() const { return viewOnly_; }
    double boatWidth() const; // metres; a text that is no number counts as 0
    int borderWidth() const { return borderWidth_; }
    double jumpBoundary() const { return jumpBoundary_; }
    // The ideal path's course x in jump: the path choices only count when monitoring; a
    // measured jump pass is always judged against the split path.
    double jumpCentre() const;

private:
    void applyBoundaryWidth(double value);

    MeasureLines& lines;
    MeasureView& view;
    BoundaryColour boundaryColour_ = BoundaryColour::White;
    JumpPath jumpPath_ = JumpPath::Split;
    bool statusHidden_ = false;
    bool viewOnly_ = false;
    QString boatWidthText = QStringLiteral("2.2");
    int borderWidth_ = 1;
    double jumpBoundary_ = 0.5;
};
