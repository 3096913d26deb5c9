#pragma once
// Program-wide state shared by the screens, in its owners. One instance, created in main()
// and handed to every screen.

#include "app/program_place.h"
#include "calibration/calibration.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "measure/pass_record.h"

struct Global
{
    ProgramPlace place;
    Calibration calibration;
    GridSlots gridSlots;
    DisplaySettings display;
    PassRecord pass;
};
