#pragma once
// Where a live pass lies on its recording, for the day's "VideoPasses" file beside the blocks
// of passes measured on a video file: the recording, the media time of Start Pass, and for
// each sample the frame it was taken on and where the line stood, so that the pass can be
// looked at again frame by frame with the line as it was held, and measured again.

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <vector>

struct RecordedSample
{
    qint64 frameUs = 0; // media time in the recording of the frame the sample was taken on
    double lineX = 0.0; // the measurement line's x, picture twips
    double lineY = 0.0; // the height it was read at (the boat marker's y), picture twips
};

struct RecordedPass
{
    QString videoFile;
    qint64 startUs = 0; // P0: media time in the recording of Start Pass
    std::vector<RecordedSample> samples;
};

// One block, CR LF line ends, an empty line after it; marked as a recording by its first
// line, and otherwise read as a video pass's block is, with the line's place added:
//   Recorded pass 12-07-2026 14:05:09
//   Video file: /home/judge/results/Pass 12-07-2026 14-05-09 Ann 3.mkv
//   Start (P0): 2.345 s
//   Samples: 162
//   Sample  Frame (s)  Line x  Line y (twips)
//   0  2.333  4512.00  3600.25
//   ...
// Media times in seconds with three decimals (the recording's own resolution), twips with
// two, a point whatever the locale.
QString recordedPassBlock(const QDateTime& when, const RecordedPass& pass);
