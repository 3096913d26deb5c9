#pragma once
// The pass recording on the measurement screen: the frames of a live picture under it go to
// the recording as they come, and the screen's "Video" menu gets "Record Live Passes", a
// check kept in the settings store (on unless turned off). What was not recorded is said in a
// message box once the pass is over.

class CourseVideo;
class MessageBoxes;
class PassRecording;
class QMainWindow;
class SettingsStore;

void attachPassRecording(QMainWindow& screen, CourseVideo& video, PassRecording& recording,
                         SettingsStore& settings, MessageBoxes& messages);
