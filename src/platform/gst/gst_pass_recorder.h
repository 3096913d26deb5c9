#pragma once
// The pass recorder on GStreamer: the frames go through appsrc, videoconvert and an encoder
// to an app sink on GStreamer's streaming thread; the encoded frames wait in a pre-roll ring;
// a worker thread writes a pass's file (Matroska) from there, finishes it and watches both
// pipelines for errors.

#include "platform/pass_recorder.h"

#include <QString>
#include <memory>
#include <optional>

enum class RecordingCodec {
    H264,  // x264enc, ultrafast, zero latency: the program's choice
    Vp8,   // vp8enc in real-time mode
    Mjpeg, // jpegenc: every frame a key frame
};

struct RecorderSettings
{
    RecordingCodec codec = RecordingCodec::H264;
    // The live source's nominal rate: one key frame a second, the encoder's rate control and
    // the file's stated frame length. The frames' own capture times are what the file holds.
    int fps = 30;
};

// "h264", "vp8", "mjpeg"; none for another name.
std::optional<RecordingCodec> recordingCodecNamed(const QString& name);

// Always a recorder: when GStreamer lacks what the codec needs, one that is Unavailable and
// says which package to install.
std::unique_ptr<PassRecorder> makeGstPassRecorder(const RecorderSettings& settings = {});
