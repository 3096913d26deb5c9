#pragma once
// Which picture lies under the calibration and measurement screens: the overlay card's
// (the screens stay magenta and the card keys its own picture into them), a camera, or a
// video file; and how the choice is kept between runs in the settings store.

#include <QString>

class SettingsStore;

struct VideoChoice
{
    enum class Kind { OverlayCard, Camera, File };
    Kind kind = Kind::OverlayCard;
    QString camera; // the camera's description; empty for the system's default camera
    QString file;   // the video file's path

    static VideoChoice overlayCard() { return {}; }
    static VideoChoice ofCamera(const QString& description)
    {
        return {Kind::Camera, description, {}};
    }
    static VideoChoice ofFile(const QString& path) { return {Kind::File, {}, path}; }
    bool operator==(const VideoChoice&) const = default;
};

// The choice kept from the last run; the overlay card when none was kept or what was kept
// cannot be read (an unknown kind, a file choice without a path).
VideoChoice rememberedVideoChoice(const SettingsStore& settings);
// Keeps the choice for the next run. False, with the operator's message in *error, when the
// store could not be written.
bool rememberVideoChoice(SettingsStore& settings, const VideoChoice& choice, QString* error);
