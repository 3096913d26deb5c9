#pragma once
// The track file: a small text file beside the results, so that a tracked pass can be
// reviewed, corrected and measured again with its video. CR LF line ends, numbers with a
// point whatever the locale, written through a save file so a failed write keeps the old one.
//
//   Wakeline track 1
//   Video: slalom_pass_58kmh.webm
//   Setup: SlalomOK.ipt
//   Event: slalom
//   Direction: toward
//   Speed: 58
//   Pass tenths: 161
//   Start us: 1000000
//   frame_us,duration_us,u_px,v_px,confidence,set_by,stop
//   1000000,40000,433.309,34.5,1,operator,
//   1040000,40000,434.61,35.204,0.991,track,
//   ...
//   1480000,40000,441.8,39.1,0.612,track,confidence
//
// One line per frame from the pass's first: the frame's media time and length in whole
// microseconds (the player's), the point in picture pixels, the confidence from 0 to 1,
// who set the point ("operator" or "track") and, on the frame where the engine stopped, why
// ("confidence", "sideways", "outside", "pace"). Values are written in the fewest digits that read
// back to the same number. A later version of the program reads version 1 as it is; a file
// of a later version is refused, not misread.

#include "common/text_file.h"
#include "tracking/track.h"

#include <QString>
#include <optional>

inline constexpr int kTrackFileVersion = 1;
// A pass of 21 s at 60 frames a second is under 1300 lines of 60 bytes.
inline constexpr qint64 kTrackFileMaxBytes = 4 * 1024 * 1024;
inline const QString kTrackFileSuffix = QStringLiteral(".track.txt");

QString trackFileText(const Track& track);
WriteResult writeTrackFile(const QString& path, const Track& track);

struct TrackFileRead
{
    std::optional<Track> track;
    int line = 0;  // where it went wrong (1-based; 0 for the file as a whole)
    QString field; // the field's name, empty for a whole line
    QString reason;
    // "line 12, field u_px: ..." for the operator.
    QString problem() const;
};

TrackFileRead parseTrackFile(const QString& text);
TrackFileRead readTrackFile(const QString& path);
