#pragma once
// A video file's pictures for work on them (tracking), decoded one after another as fast as
// the decoder goes, not at the playback rate, with the media times the screens' player gives
// the same frames. Grey, one byte a pixel: what the image work needs, a third of the bytes.

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct GreyFrame
{
    qint64 startUs = 0;    // media time the frame starts, on the player's position clock
    qint64 durationUs = 0; // media time it covers
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rows of `width` bytes, top row first, no padding

    std::uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

class FrameReader
{
public:
    virtual ~FrameReader() = default;
    // The next frame in media order; none at the end of the video or on a failure, which
    // error() then names (empty at a normal end).
    virtual std::optional<GreyFrame> next() = 0;
    virtual QString error() const = 0;
    // The video's length on the same clock as the frames' times; 0 when not known.
    virtual qint64 durationUs() const { return 0; }
};

// Opens the frames of one video, the first one handed out being the frame that holds fromUs
// or one before it (a reader may start early, never late: the caller passes over what it does
// not need); none, with the reason in *error (naming the file), when the file cannot be
// decoded. Each call gives a reader of its own, which may be used on another thread than the
// one that opened it.
using FrameReaderOpener =
    std::function<std::unique_ptr<FrameReader>(qint64 fromUs, QString* error)>;
