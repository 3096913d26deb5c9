#pragma once
// The grid slots (three stored calibrations) and the moves between a slot, a setup file
// and the working calibration.

#include "calibration/buoy_marking.h"
#include "calibration/setup_file.h"
#include "common/global.h"

// Cells of a slot: point k (1..4) at 4(k-1)+3..+6 (screen x, screen y, survey x, survey y),
// c1..c8 at 19..26, the jump point at 27 and 28, the three last file values at 29..31.
inline constexpr size_t kSlotFirstCoefficientCell = 19;
inline constexpr size_t kSlotJumpCell = 27;
inline constexpr size_t kSlotTrailerCell = 29;

// A slot's content as a setup file would hold it.
SetupFileData slotData(const Global& g, int slot);
void storeInSlot(Global& g, int slot, const SetupFileData& data);
// The working calibration (reference points, coefficients, jump point) as a setup file
// would hold it; trailer 10, 2 and the current slot number.
SetupFileData workingData(const Global& g);

// Makes data the working calibration: reference points, corner marks, coefficients,
// jump point (slot_jump_x/y and jump_survey_x/y).
void applyToWorkingState(Global& g, const SetupFileData& data);

// The box texts that show data: marks and survey values in the Str form.
CoordinateTexts boxTextsFor(const SetupFileData& data);

// True when every slot from 1 to grid_count holds a calibration.
bool allSlotsLoaded(const Global& g);
// True when the current slot holds a solved calibration and so does every slot up to
// grid_count: the only state in which the working calibration is complete.
bool currentSlotComplete(const Global& g);

// A setup file read from path becomes slot 1 and the working calibration; grid_count and
// grid_number become 1, the slot is marked loaded, and setup_ok is set.
void applyLoadedSetup(Global& g, const SetupFileData& data, const QString& path);

// Saving: the working calibration with the given description goes into the current slot.
void storeSavedSetup(Global& g, const SetupFileData& data, const QString& path);

// The grid selector's caption for a slot: "Grid 1", "Grid 2".
QString gridCaption(int slot);
// The grid selector: "Grid 1" <-> "Grid 2". Returns the new caption; grid_number follows.
QString nextGridCaption(Global& g, const QString& caption);
// Makes the current slot the working calibration (Exit and grid selection).
void restoreSlot(Global& g, int slot);

// What the boxes show for a slot. An empty slot has no marks: its screen boxes read "auto",
// as before the first mark, so the lock and "Complete" treat its buoys as unmarked.
CoordinateTexts slotBoxTexts(const Global& g, int slot);
// Grid selection, once the boxes show the slot: the slot becomes the working calibration,
// complete (setup_ok) only when currentSlotComplete. An empty slot's zero coefficients are
// no calibration. Returns whether it is complete.
bool selectSlot(Global& g, int slot);

// Saving writes the working calibration; without a solved calibration in the current slot
// that would be zero coefficients over a good file.
bool currentSlotHoldsCalibration(const Global& g);
QString nothingToSaveMessage(int slot);
