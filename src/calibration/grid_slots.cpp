#include "calibration/grid_slots.h"

#include "common/number_forms.h"

#include <algorithm>

namespace {
size_t validSlot(int slot)
{
    return size_t(std::clamp(slot, 1, 3));
}
} // namespace

SetupFileData slotData(const Global& g, int slot)
{
    const auto& cells = g.grid_slots[validSlot(slot)];
    SetupFileData d;
    d.savedPath = g.grid_desc1[validSlot(slot)];
    d.description = g.grid_desc2[validSlot(slot)];
    for (size_t k = 1; k <= 4; ++k) {
        const size_t c = 4 * (k - 1) + 3;
        d.points[k - 1] = {{cells[c], cells[c + 1]}, {cells[c + 2], cells[c + 3]}};
    }
    for (size_t k = 1; k <= 8; ++k)
        d.transform.c[k] = cells[kSlotFirstCoefficientCell + k - 1];
    d.jump = {cells[kSlotJumpCell], cells[kSlotJumpCell + 1]};
    for (size_t i = 0; i < 3; ++i)
        d.trailer[i] = cells[kSlotTrailerCell + i];
    return d;
}

void storeInSlot(Global& g, int slot, const SetupFileData& d)
{
    auto& cells = g.grid_slots[validSlot(slot)];
    for (size_t k = 1; k <= 4; ++k) {
        const size_t c = 4 * (k - 1) + 3;
        const ReferencePoint& p = d.points[k - 1];
        cells[c] = p.screen.x;
        cells[c + 1] = p.screen.y;
        cells[c + 2] = p.survey.x;
        cells[c + 3] = p.survey.y;
    }
    for (size_t k = 1; k <= 8; ++k)
        cells[kSlotFirstCoefficientCell + k - 1] = d.transform.c[k];
    cells[kSlotJumpCell] = d.jump.x;
    cells[kSlotJumpCell + 1] = d.jump.y;
    for (size_t i = 0; i < 3; ++i)
        cells[kSlotTrailerCell + i] = d.trailer[i];
}

SetupFileData workingData(const Global& g)
{
    SetupFileData d;
    for (size_t k = 1; k <= 4; ++k)
        d.points[k - 1] = {{g.buoy_screen_x[k], g.buoy_screen_y[k]},
                           {g.buoy_survey_x[k], g.buoy_survey_y[k]}};
    d.transform = CourseTransform::fromMatrix(g.grid_matrix);
    d.jump = {g.jump_survey_x, g.jump_survey_y};
    d.trailer = {10.0, 2.0, double(g.grid_number)};
    return d;
}

void applyToWorkingState(Global& g, const SetupFileData& d)
{
    for (size_t k = 1; k <= 4; ++k) {
        g.buoy_screen_x[k] = d.points[k - 1].screen.x;
        g.buoy_screen_y[k] = d.points[k - 1].screen.y;
        g.buoy_survey_x[k] = d.points[k - 1].survey.x;
        g.buoy_survey_y[k] = d.points[k - 1].survey.y;
    }
    cornerMarksFromPoints(g);
    d.transform.toMatrix(g.grid_matrix);
    g.slot_jump_x = g.jump_survey_x = d.jump.x;
    g.slot_jump_y = g.jump_survey_y = d.jump.y;
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

bool allSlotsLoaded(const Global& g)
{
    for (int s = 1; s <= std::clamp(g.grid_count, 1, 3); ++s)
        if (!g.grid_loaded[size_t(s)])
            return false;
    return true;
}

bool currentSlotComplete(const Global& g)
{
    return currentSlotHoldsCalibration(g) && allSlotsLoaded(g);
}

bool currentSlotHoldsCalibration(const Global& g)
{
    return g.grid_loaded[validSlot(g.grid_number)];
}

QString nothingToSaveMessage(int slot)
{
    return QStringLiteral("%1 holds no calibration, so nothing has been saved. Load a setup "
                          "file or mark the four buoys and press Complete first.")
        .arg(gridCaption(slot));
}

void applyLoadedSetup(Global& g, const SetupFileData& data, const QString& path)
{
    g.grid_count = 1;
    g.grid_number = 1;
    SetupFileData stored = data;
    stored.savedPath = path;
    storeInSlot(g, 1, stored);
    g.grid_desc1[1] = path;
    g.grid_desc2[1] = data.description;
    applyToWorkingState(g, data);
    g.grid_loaded[1] = true;
    if (allSlotsLoaded(g))
        g.setup_ok = 1;
}

void storeSavedSetup(Global& g, const SetupFileData& data, const QString& path)
{
    const int slot = int(validSlot(g.grid_number));
    g.grid_desc1[size_t(slot)] = path;
    g.grid_desc2[size_t(slot)] = data.description;
    storeInSlot(g, slot, data);
}

QString gridCaption(int slot)
{
    return QStringLiteral("Grid %1").arg(validSlot(slot));
}

QString nextGridCaption(Global& g, const QString& caption)
{
    g.grid_number = caption == gridCaption(1) ? 2 : 1;
    return gridCaption(g.grid_number);
}

void restoreSlot(Global& g, int slot)
{
    g.grid_number = int(validSlot(slot));
    applyToWorkingState(g, slotData(g, slot));
}

CoordinateTexts slotBoxTexts(const Global& g, int slot)
{
    CoordinateTexts texts = boxTextsFor(slotData(g, slot));
    if (!g.grid_loaded[validSlot(slot)]) {
        for (Buoy b : kBuoyVisitOrder)
            texts[b].screenX = texts[b].screenY = kUnmarkedText;
    }
    return texts;
}

bool selectSlot(Global& g, int slot)
{
    restoreSlot(g, slot);
    const bool complete = currentSlotComplete(g);
    g.setup_ok = complete ? 1 : 0;
    return complete;
}
