#pragma once
// Records the live picture under the measurement screen to one video file per pass. It runs
// while a live source is there, keeping the last seconds encoded in memory, so that a pass's
// file starts before "Start Pass"; after the pass it goes on a little, then finishes the file.
// A recording that fails never holds up or costs the pass: the pass goes on, the file is
// removed, and the outcome says once what was not recorded and why.
//
// Called on the user-interface thread only; encoding and writing run on threads of their own.
// The outcome handler runs on the user-interface thread from the event loop, never inside a
// call made on the recorder.

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

// One picture to record: rows of 32-bit pixels, bytes blue, green, red, unused (Qt's RGB32
// on this little-endian machine), `bytesPerLine` apart. `owner` keeps the pixels alive and
// unchanged until the encoder lets go of it: handing a frame over copies no pixel.
struct RecorderFrame
{
    int width = 0;
    int height = 0;
    qsizetype bytesPerLine = 0;
    const uchar* pixels = nullptr;
    std::shared_ptr<const void> owner;
};

// What became of one pass's file.
struct RecordingOutcome
{
    QString path;
    bool recorded = false;
    // Why the pass was not recorded, for the operator; empty when it was.
    QString message;
    int frames = 0;         // frames in the file
    qint64 lastFrameUs = 0; // media time of its last frame
    // Frames that came while the pass's file was written but were not recorded, because the
    // encoder had fallen behind. Their moments show the frame before.
    int droppedFrames = 0;
};

enum class RecorderState {
    Waiting,    // keeping the last seconds, no file open
    Recording,  // writing a pass's file (the pass, then the seconds after it)
    Unavailable // cannot record at all: message() says why
};

class PassRecorder
{
public:
    virtual ~PassRecorder() = default;

    // A frame the screen received, captured at captureUs (microseconds on the clock the
    // pass's times are given on). Never blocks: when the encoder has fallen behind the frame
    // is dropped and counted.
    virtual void feed(const RecorderFrame& frame, qint64 captureUs) = 0;
    // A pass started at passStartUs: its file at `path` holds the frames from at least 2 s
    // before it (as far as the picture goes back). Called again with the same path while the
    // file is being written (the pass restarted), the file goes on; with another path, the
    // open file is finished first.
    virtual void startPassRecording(const QString& path, qint64 passStartUs) = 0;
    // The pass ended (or was aborted) at endUs: the file takes the frames up to at least 1 s
    // after it, then is finished and the outcome handler called.
    virtual void passEnded(qint64 endUs) = 0;
    // Media time in the current pass's file of the moment captureUs (a frame's capture time
    // gives that frame's time in the file); none when no file is being made for the pass.
    virtual std::optional<qint64> mediaTimeUs(qint64 captureUs) const = 0;
    virtual RecorderState state() const = 0;
    // Why the recorder is unavailable; empty otherwise.
    virtual QString message() const = 0;
    virtual void setOutcomeHandler(std::function<void(const RecordingOutcome&)> handler) = 0;
};
