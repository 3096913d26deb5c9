#pragma once
// The run particulars of the next pass, in one owner: the start screen writes them whenever
// one of its controls changes, the other screens read them when they need them. The results
// screen and a view-only pass write some of them back, and the start screen follows in its
// controls.

#include "app/start_up.h"
#include "common/run_info.h"

#include <QObject>
#include <array>

class RunParticulars : public QObject
{
    Q_OBJECT
public:
    const RunInfo& info() const { return info_; }
    // Where the list's name was picked among its items; -1 when it was typed (or none is).
    int namePosition(NameList list) const { return namePositions_[size_t(list)]; }

    // Everything at once, as the start screen's controls show it.
    void set(const RunInfo& info, const std::array<int, 4>& namePositions);

    // Jump also brings the direction toward the camera, on the start screen that follows.
    void setEvent(Event event);
    void setDirection(Direction direction);
    // An index into kSlalomSpeeds, kJumpSpeeds or kLineLengths; one out of range is ignored.
    void setSlalomSpeed(int index);
    void setJumpSpeed(int index);
    void setLineLength(int index);
    void setBoatNumber(const QString& text);
    // The name at `position` among the list's items, picked.
    void pickName(NameList list, int position, const QString& name);

Q_SIGNALS:
    void changed();

private:
    RunInfo info_;
    std::array<int, 4> namePositions_{-1, -1, -1, -1}; // by NameList
};

// The name field of a list in the run particulars: driver, skier, boat maker or boat model.
QString& nameOf(RunInfo& run, NameList list);
const QString& nameOf(const RunInfo& run, NameList list);
