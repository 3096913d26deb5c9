#pragma once
// The frames of a video file decoded by GStreamer (uridecodebin ! videoconvert ! GRAY8 !
// appsink, not synchronised to a clock), timed as the screens' Qt player times them.

#include "platform/video_frames.h"

// Opens `path`; none, with the reason naming the file in *error, when it holds no video
// GStreamer can decode. With fromUs past the first seconds the reader seeks, to a second
// before it: a correction late in a pass does not wait for every frame before it to decode.
std::unique_ptr<FrameReader> openGstFrameReader(const QString& path, QString* error,
                                                qint64 fromUs = 0);

// The opener of one file's readers, for the tracking engine.
FrameReaderOpener gstFrameReaderOpener(const QString& path);
