#pragma once
// The files a pass leaves in the run's results folder: the marker that stands while a recorded
// pass runs (so that the next start can tell a pass lost to a stopped program), and the day
// file of the passes measured on a video (VideoPasses). Nothing is written until the program
// folder is known (a relative results folder lies inside it).
//
// Every write can fail, and a failure never costs a pass: a marker's failure is told once the
// pass is over, never during it (a message box would take the keys from the operator), and
// once until a marker is written again; a video pass whose block could not be written goes on
// to the results, and its block is written with the next pass measured on a video.

#include "common/run_info.h"
#include "measure/pass_marker.h"
#include "measure/pass_record.h"

#include <QString>
#include <optional>

class Clock;

class PassFiles
{
public:
    explicit PassFiles(Clock& clock) : clock(clock) {}
    // The program ends with a pass running: the operator ended it, it was not lost.
    ~PassFiles() { marker.passOver(); }
    PassFiles(const PassFiles&) = delete;
    PassFiles& operator=(const PassFiles&) = delete;

    void keepIn(const QString& programFolder) { programFolder_ = programFolder; }

    // Each returns the message to show the operator now, if any.
    // A pass started; a monitored one (view-only) records nothing a stop could lose.
    std::optional<QString> passStarted(const RunInfo& run, bool viewOnly);
    // The pass ended, was aborted or given up.
    std::optional<QString> passOver();
    // A recorded pass on a video: where it lies on the video, with any block still unwritten.
    std::optional<QString> keepVideoPass(const RunInfo& run, const MediaPass& pass);

private:
    void markerFailed(const QString& message);

    Clock& clock;
    std::optional<QString> programFolder_;
    PassMarker marker;
    QString untoldMarkerFailure; // said when the pass is over
    bool markerFailureTold = false;
    // Blocks of the video passes file that could not be written yet: they go with the next.
    QString unwrittenVideoPasses;
};
