#pragma once
// The grid slots (three stored calibrations) and the moves between a slot, a setup file
// and the working calibration.

#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/setup_file.h"

#include <array>
#include <optional>

// The stored calibrations, as their setup files would hold them (the saved path and the
// description with them), and which of them the screen shows.
struct GridSlots
{
    std::array<std::optional<SetupFileData>, 3> slots; // slots 1..3
    int current = 1;                                   // grid_number
    int count = 1; // grid_count: the slots that must hold a calibration for it to be complete

    std::optional<SetupFileData>& slot(int number);
    const std::optional<SetupFileData>& slot(int number) const;
    bool operator==(const GridSlots&) const = default;
};

// A slot's content as a setup file would hold it; an empty slot has zero marks, survey
// points, coefficients and jump point.
SetupFileData slotData(const GridSlots& slots, int slot);
// The working calibration (reference points, coefficients, jump point) as a setup file
// would hold it; trailer 10, 2 and the current slot number.
SetupFileData workingData(const Calibration& calibration, int currentSlot);

// Makes data the working calibration: reference points, coefficients, jump point.
void applyToWorkingState(Calibration& calibration, const SetupFileData& data);

// The box texts that show data: marks and survey values in the Str form.
CoordinateTexts boxTextsFor(const SetupFileData& data);

// True when every slot from 1 to count holds a calibration.
bool allSlotsLoaded(const GridSlots& slots);
// True when the current slot holds a solved calibration and so does every slot up to
// count: the only state in which the working calibration is complete.
bool currentSlotComplete(const GridSlots& slots);

// A setup file read from path becomes slot 1 and the working calibration; count and the
// current slot become 1, and the calibration is complete.
void applyLoadedSetup(Calibration& calibration, GridSlots& slots, const SetupFileData& data,
                      const QString& path);

// Saving: the working calibration with the given description goes into the current slot.
void storeSavedSetup(GridSlots& slots, const SetupFileData& data, const QString& path);

// The grid selector's caption for a slot: "Grid 1", "Grid 2".
QString gridCaption(int slot);
// The grid selector: Grid 1 <-> Grid 2. Returns the new current slot.
int selectNextGrid(GridSlots& slots);
// Makes the slot the current one and the working calibration (Exit and grid selection).
void restoreSlot(Calibration& calibration, GridSlots& slots, int slot);

// What the boxes show for a slot. An empty slot has no marks: its screen boxes read "auto",
// as before the first mark, so the lock and "Complete" treat its buoys as unmarked.
CoordinateTexts slotBoxTexts(const GridSlots& slots, int slot);
// Grid selection, once the boxes show the slot: the slot becomes the working calibration,
// complete only when currentSlotComplete. An empty slot's zero coefficients are no
// calibration. Returns whether it is complete.
bool selectSlot(Calibration& calibration, GridSlots& slots, int slot);

// Saving writes the working calibration; without a solved calibration in the current slot
// that would be zero coefficients over a good file.
bool currentSlotHoldsCalibration(const GridSlots& slots);
QString nothingToSaveMessage(int slot);
