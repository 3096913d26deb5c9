// The track file reader on arbitrary bytes, decoded as a file on disk would be.
#include "common/text_file.h"
#include "tracking/track_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TrackFileRead read = parseTrackFile(decodeText(bytes));
    if (read.track) {
        // A track that loads writes back to a file that loads to the same track.
        const TrackFileRead again = parseTrackFile(trackFileText(*read.track));
        if (!again.track || !(*again.track == *read.track))
            __builtin_trap();
    } else if (read.reason.isEmpty() || read.line < 0) {
        __builtin_trap(); // a refusal always says where and why
    }
    return 0;
}
