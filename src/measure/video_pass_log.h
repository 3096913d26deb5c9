#pragma once
// The day file of the passes measured on a video, "VideoPasses" + MM + DD + ".txt" in the
// results folder: for each pass the video, where on it the pass started and the frame each
// sample was taken on, so that a person can find the pass on its recording and measure it
// again on the same frames. The other result files are unchanged by it.

#include "measure/pass_record.h"

#include <QDateTime>
#include <QString>

// "VideoPasses" + MM + DD + ".txt"
QString videoPassesFileName(const QDateTime& now);

// One block for the file, CR LF line ends, an empty line after it:
//   Video pass 12-07-2026 14:05:09
//   Video file: /home/judge/videos/slalom_pass_58kmh.webm
//   Start (P0): 1.000 s
//   Samples: 162
//   Sample  Frame (s)  Line x  Line y (twips)
//   0  1.000  4512.00  3600.25
//   1  1.080  4518.50  3590.00
//   ...
// A pass measured from a track has "Track file: <path>" after the video file's line.
// Media times in seconds with three decimals, twips with two, a point whatever the locale.
// A pass without the line at every sample is written in the older form, without the line's
// columns ("Sample  Frame (s)").
QString videoPassBlock(const QDateTime& when, const MediaPass& pass);
