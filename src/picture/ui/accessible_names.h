#pragma once
// Names controls for assistive technology (screen readers), from the captions the operator
// reads on the screen.

#include <QString>

class QLabel;
class QWidget;

// Gives a control its accessible name from its caption, without the "&" that marks an
// access key, and names the parts Qt builds inside it the same way: the text box of an
// editable drop-down, the list a drop-down opens, the scroll bars of a text or list box, the
// headers and corner button of a table.
void nameForAccess(QWidget* control, const QString& caption);
// The same, handing the control back, for use where it is made.
template <typename T> T* spokenAs(T* control, const QString& caption)
{
    nameForAccess(control, caption);
    return control;
}

// A caption label and the control it describes: the label becomes the control's buddy
// (its access key moves the focus there) and its text the control's accessible name.
void captionFor(QLabel* caption, QWidget* control);
