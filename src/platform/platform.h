#pragma once
// The platform services a screen may use, handed to the screens as one bundle.

class SettingsStore;
class FileDialog;
class MessageBoxes;
class Clock;
class PictureSource;
class KeyState;
class Joystick;
class HiResTimerFactory;
class VideoSources;
class PassRecorder;

struct Platform
{
    SettingsStore& settings;
    FileDialog& fileDialog;
    MessageBoxes& messages;
    Clock& clock;
    PictureSource& pictures;
    KeyState& keys;
    Joystick& joystick;
    HiResTimerFactory& timers;
    // Cameras and video files for the picture under the screens.
    VideoSources& videos;
    // Records the live picture of each pass; none: passes are not recorded.
    PassRecorder* recorder = nullptr;
};
