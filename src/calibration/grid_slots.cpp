#include "calibration/grid_slots.h"

#include "common/number_forms.h"

#include <algorithm>

namespace {
int validSlot(int slot)
{
    return std::clamp(slot, 1, 3);
}
} // namespace

std::optional<SetupFileData>& GridSlots::slot(int number)
{
    return slots[size_t(validSlot(number) - 1)];
}

const std::optional<SetupFileData>& GridSlots::slot(int number) const
{
    return slots[size_t(validSlot(number) - 1)];
}

SetupFileData slotData(const GridSlots& slots, int slot)
{
    if (const auto& stored = slots.slot(slot))
        return *stored;
    SetupFileData empty;
    empty.trailer = {};
    return empty;
}

SetupFileData workingData(const Calibration& calibration, int currentSlot)
{
    SetupFileData d;
    d.points = calibration.referencePoints();
    d.transform = calibration.transform;
    d.jump = calibration.jumpPoint;
    d.trailer = {10.0, 2.0, double(currentSlot)};
    return d;
}

void applyToWorkingState(Calibration& calibration, const SetupFileData& d)
{
    calibration.setReferencePoints(d.points);
    calibration.transform = d.transform;
    calibration.jumpPoint = d.jump;
}

CoordinateTexts boxTextsFor(const SetupFileData& d)
{
    CoordinateTexts t;
    for (size_t k = 1; k <= 4; ++k) {
        BuoyTexts& b = t[buoyAtPoint(int(k))];
        const ReferencePoint& p = d.points[k - 1];
        b = {strForm(p.screen.x), strForm(p.screen.y), strForm(p.survey.x), strForm(p.survey.y)};
    }
    t.jumpX = strForm(d.jump.x);
    t.jumpY = strForm(d.jump.y);
    return t;
}

bool allSlotsLoaded(const GridSlots& slots)
{
    for (int s = 1; s <= std::clamp(slots.count, 1, 3); ++s)
        if (!slots.slot(s))
            return false;
    return true;
}

bool currentSlotComplete(const GridSlots& slots)
{
    return currentSlotHoldsCalibration(slots) && allSlotsLoaded(slots);
}

bool currentSlotHoldsCalibration(const GridSlots& slots)
{
    return slots.slot(slots.current).has_value();
}

QString nothingToSaveMessage(int slot)
{
    return QStringLiteral("%1 holds no calibration, so nothing has been saved. Load a setup "
                          "file or mark the four buoys and press Complete first.")
        .arg(gridCaption(slot));
}

void applyLoadedSetup(Calibration& calibration, GridSlots& slots, const SetupFileData& data,
                      const QString& path)
{
    slots.count = 1;
    slots.current = 1;
    SetupFileData stored = data;
    stored.savedPath = path;
    slots.slot(1) = stored;
    applyToWorkingState(calibration, data);
    if (allSlotsLoaded(slots))
        calibration.complete = true;
}

void storeSavedSetup(GridSlots& slots, const SetupFileData& data, const QString& path)
{
    SetupFileData stored = data;
    stored.savedPath = path;
    slots.slot(slots.current) = stored;
}

QString gridCaption(int slot)
{
    return QStringLiteral("Grid %1").arg(validSlot(slot));
}

int selectNextGrid(GridSlots& slots)
{
    slots.current = slots.current == 1 ? 2 : 1;
    return slots.current;
}

void restoreSlot(Calibration& calibration, GridSlots& slots, int slot)
{
    slots.current = validSlot(slot);
    applyToWorkingState(calibration, slotData(slots, slot));
}

CoordinateTexts slotBoxTexts(const GridSlots& slots, int slot)
{
    CoordinateTexts texts = boxTextsFor(slotData(slots, slot));
    if (!slots.slot(slot)) {
        for (Buoy b : kBuoyVisitOrder)
            texts[b].screenX = texts[b].screenY = kUnmarkedText;
    }
    return texts;
}

bool selectSlot(Calibration& calibration, GridSlots& slots, int slot)
{
    restoreSlot(calibration, slots, slot);
    const bool complete = currentSlotComplete(slots);
    calibration.complete = complete;
    return complete;
}
