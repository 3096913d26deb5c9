#pragma once
// Where the program runs, recorded once at start: the program folder (name lists, standard
// setup files, state pictures; the working folder) and the width of the screen it shows on.

#include <QString>

struct ProgramPlace
{
    QString folder;
    int screenWidthPixels = 0; // 0 until the start screen has looked at the display
};
