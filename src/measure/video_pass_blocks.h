#pragma once
// Reading the day's "VideoPasses" file back: the blocks of passes measured on a video file
// ("Video pass ...") and of recorded live passes ("Recorded pass ..."), in the form with the
// line's columns and in the older one without them. A block that does not read whole is
// refused with the file's name and the line it broke on; the blocks around it still read.

#include "measure/pass_record.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct VideoPassBlock
{
    bool recorded = false; // a live pass's recording, not a video file measured
    QDateTime when;        // the block's first line: when the pass was measured
    int line = 0;          // 1-based line of the block's first line in the file
    QString videoFile;
    QString trackFile;                  // a pass measured from a track: its file
    qint64 startUs = 0;                 // P0
    std::vector<qint64> sampleFramesUs; // by sample index
    std::vector<HeldLine> sampleLines;  // by sample index; empty in the older form
};

struct VideoPassesRead
{
    std::vector<VideoPassBlock> blocks;
    QStringList refusals; // for the operator, one per block refused
};

// `fileName` only goes into the refusals.
VideoPassesRead readVideoPasses(const QString& text, const QString& fileName);

// The block of the pass measured at `measured` with `sampleCount` samples. The block is
// written as the pass ends and the report stamped as the results open, a moment later: the
// latest block at most a few seconds before the report, with as many samples.
std::optional<VideoPassBlock> findVideoPass(const std::vector<VideoPassBlock>& blocks,
                                            const QDateTime& measured, int sampleCount);
