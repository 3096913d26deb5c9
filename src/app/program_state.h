#pragma once
// The program's state, in its owners. One instance, created in main(); the screens get the
// owners they need from it.

#include "app/name_list_items.h"
#include "app/program_options.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "calibration/calibration.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "measure/pass_record.h"

struct ProgramState
{
    ProgramPlace place;
    ProgramOptions options;
    RunParticulars run;
    NameListItems names;
    Calibration calibration;
    GridSlots gridSlots;
    DisplaySettings display;
    PassRecord pass;
};
