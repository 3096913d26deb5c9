#include "app/run_particulars.h"

namespace {
bool inRange(int index, size_t size)
{
    return index >= 0 && index < int(size);
}

QString RunInfo::*nameField(NameList list)
{
    switch (list) {
    case NameList::Drivers:
        return &RunInfo::driver;
    case NameList::Skiers:
        return &RunInfo::skier;
    case NameList::Boats:
        return &RunInfo::boatMaker;
    case NameList::Models:
        break;
    }
    return &RunInfo::boatModel;
}
} // namespace

QString& nameOf(RunInfo& run, NameList list)
{
    return run.*nameField(list);
}

const QString& nameOf(const RunInfo& run, NameList list)
{
    return run.*nameField(list);
}

void RunParticulars::set(const RunInfo& info, const std::array<int, 4>& namePositions)
{
    if (info == info_ && namePositions == namePositions_)
        return;
    info_ = info;
    namePositions_ = namePositions;
    Q_EMIT changed();
}

void RunParticulars::setEvent(Event event)
{
    RunInfo next = info_;
    next.event = event;
    set(next, namePositions_);
}

void RunParticulars::setDirection(Direction direction)
{
    RunInfo next = info_;
    next.direction = direction;
    set(next, namePositions_);
}

void RunParticulars::setSlalomSpeed(int index)
{
    if (!inRange(index, kSlalomSpeeds.size()))
        return;
    RunInfo next = info_;
    next.slalomSpeed = index;
    set(next, namePositions_);
}

void RunParticulars::setJumpSpeed(int index)
{
    if (!inRange(index, kJumpSpeeds.size()))
        return;
    RunInfo next = info_;
    next.jumpSpeed = index;
    set(next, namePositions_);
}

void RunParticulars::setLineLength(int index)
{
    if (!inRange(index, kLineLengths.size()))
        return;
    RunInfo next = info_;
    next.lineLength = index;
    set(next, namePositions_);
}

void RunParticulars::setBoatNumber(const QString& text)
{
    RunInfo next = info_;
    next.boatNumber = text;
    set(next, namePositions_);
}

void RunParticulars::pickName(NameList list, int position, const QString& name)
{
    RunInfo next = info_;
    nameOf(next, list) = name;
    std::array<int, 4> positions = namePositions_;
    positions[size_t(list)] = position;
    set(next, positions);
}
