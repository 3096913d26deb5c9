#pragma once
// The control column at the left edge of the calibration and measurement screens: one frame
// standing over the drawing surface, its controls in rows, with the same margins, gaps and
// small type on both screens, so the picture beside it starts at the same place on both.

#include <QString>
#include <initializer_list>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;
class QWidget;

class ControlColumn
{
public:
    // Spacing in pixels; the width is kControlColumnWidth (screen_layout.h).
    static constexpr int kMargin = 4;
    static constexpr int kColumnGap = 6; // between controls side by side
    static constexpr int kRowGap = 3;    // between the rows of a group
    static constexpr int kGroupGap = 2;  // between the groups of the column

    // The column's frame ("controlColumn") on `surface`, filled so the picture does not show
    // through between its controls.
    explicit ControlColumn(QWidget* surface);

    QFrame* frame() const { return frame_; }
    QVBoxLayout* layout() const { return layout_; }

    // Widgets side by side, by default pushed to the left by a stretch after them.
    QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretchAtEnd = true);
    // A grid for controls that line up in columns.
    QGridLayout* grid();
    // Controls are shown and hidden as the work goes on; nothing else in the column moves
    // when they are. Call once every control is in.
    void keepPlacesWhenHidden();

private:
    QFrame* frame_;
    QVBoxLayout* layout_;
};

// Secondary texts in smaller type, so that the whole column fits a 768-pixel screen.
void smallType(QWidget* widget);
