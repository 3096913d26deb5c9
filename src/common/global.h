#pragma once
// Program-wide state shared by the screens: the calibration, the transform's shared
// operands, the grid slots and the last pass. One instance, created in main() and handed
// to every screen. Field names are the program's own names for these values.

#include "measure/pass_record.h"

#include <QString>
#include <array>

// The solve's work matrix: rows 1..8 and columns 1..9 carry the augmented system; column 9
// of rows 1..8 holds c1..c8 after a solve or a load.
using GridMatrix = std::array<std::array<double, 41>, 11>;
// Grid slot table: slots 1..3, cells 3..31 (see the setup file).
using GridSlots = std::array<std::array<double, 41>, 4>;

struct Global
{
    // Set once at start.
    QString programFolder;
    QString screenWidthPixels; // decimal text of the screen width in pixels

    // Course transform: coefficients in grid_matrix column 9, and the shared operands.
    GridMatrix grid_matrix{};
    double screen_x = 0.0;
    double screen_y = 0.0;
    double course_x = 0.0;
    double course_y = 0.0;
    double transform_den = 0.0;

    // Maps (screen_x, screen_y) to (course_x, course_y) with the current coefficients.
    // Returns false, leaving course_x/course_y unchanged, when the denominator is zero.
    bool screen_to_course();
    // Maps (course_x, course_y) to (screen_x, screen_y); false on a zero denominator.
    bool course_to_screen();

    // Reference points, index 1 upper right, 2 lower right, 3 upper left, 4 lower left.
    std::array<double, 31> buoy_screen_x{};
    std::array<double, 31> buoy_screen_y{};
    std::array<double, 31> buoy_survey_x{};
    std::array<double, 31> buoy_survey_y{};
    // point_x[k], point_y[k]: the copies point_x1..point_x4 / point_y1..point_y4.
    std::array<double, 5> point_x{};
    std::array<double, 5> point_y{};
    // Corner marks in twips.
    double ul_screen_x = 0.0, ul_screen_y = 0.0;
    double ur_screen_x = 0.0, ur_screen_y = 0.0;
    double ll_screen_x = 0.0, ll_screen_y = 0.0;
    double lr_screen_x = 0.0, lr_screen_y = 0.0;
    double jump_survey_x = 0.0, jump_survey_y = 0.0;
    double slot_jump_x = 0.0, slot_jump_y = 0.0;
    double click_x = 0.0, click_y = 0.0;
    double cross_radius = 0.0;
    int setup_ok = 0;
    double front_ratio = 0.0;
    double back_ratio = 0.0;
    double jump_distance = 0.0;
    int cross_size = 90; // Setup_Cross_size.Value, read by the measurement screen's marks

    // Grid slots.
    GridSlots grid_slots{};
    std::array<QString, 4> grid_desc1;
    std::array<QString, 4> grid_desc2;
    std::array<bool, 4> grid_loaded{}; // grid1_loaded .. grid3_loaded at index 1..3
    int grid_number = 1;
    int grid_count = 1;

    // The pass.
    PassRecord pass;
};
