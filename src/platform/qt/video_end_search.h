#pragma once
// Finds the last frame of a recording whose pictures stop before the length its container
// states (a file cut short by a full card, a copy that broke off). The player is asked for the
// frame at one instant at a time: it either shows a frame there (the instant is held) or
// meets the end of the stream (it is not). Halving the frames in between finds the last one
// in about log2(frames) probes, each a seek that decodes from the key frame before it, instead
// of decoding the whole file.
//
// Frames are numbered from 0. A frame the player shows is proof that it exists, whatever probe
// it answers; an end met is only as good as the probe it is taken for. So a frame beyond a
// probe that met the end overrules that end, and an end below a frame already seen is
// ignored: the result never claims a frame that was not shown. (Ends and frames can come out
// of order: the player may run on into the end after showing the frame a probe asked for.)

#include <QtGlobal>
#include <optional>

class VideoEndSearch
{
public:
    // Frame `held` was shown; the probe at frame `missing` (> held) met the end; no frame lies
    // at or beyond `limit` (the container's length).
    VideoEndSearch(qint64 held, qint64 missing, qint64 limit);

    // The frame to ask for next; none once the last frame is known.
    std::optional<qint64> nextProbe() const;
    // The player showed this frame.
    void shown(qint64 frame);
    // The probe at this frame met the end of the stream without a frame.
    void endMet(qint64 frame);

    // The last frame shown so far: the file's last frame once nextProbe() is empty.
    qint64 lastFrame() const { return held_; }

private:
    qint64 held_;
    qint64 missing_;
    qint64 limit_;
};
