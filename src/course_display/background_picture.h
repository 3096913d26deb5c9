#pragma once
// The still picture behind the calibration screen: where the chooser starts, what it
// offers, and what the operator is told when it cannot start.

#include "platform/file_dialog.h"

#include <QString>
#include <variant>

inline constexpr const char* kPictureFolderName = "pictures";
// The chooser's filters, PNG added after the historical list so that the fourth entry
// (BMP) is still the one preselected.
inline constexpr const char* kPictureFilter =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|"
    "Jump Picture Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|"
    "Jump Picture Files (*.png)|*.png|";
inline constexpr int kPictureFilterIndex = 4;
inline constexpr const char* kInvalidPicturePathMessage =
    "Invalid path, change in configuration screen";
inline constexpr const char* kNoClipboardPictureMessage =
    "The clipboard holds no picture; the background picture is unchanged.";

// The "pictures" folder in the program folder.
QString pictureFolder(const QString& programFolder);

// Either the chooser to open, or the warning to show instead (the folder could not be made
// or entered).
using PictureLoadStart = std::variant<FileDialogRequest, QString>;

// "Load &Picture": makes the picture folder when it is missing (a fresh program folder),
// then asks for a picture starting there.
PictureLoadStart startPictureLoad(const QString& programFolder);
