// The files a stopped program leaves in the results folder, on arbitrary bytes: a pending
// database line or a pass marker that reads back is one the program could have written, and
// writes back to the same.
#include "common/text_file.h"
#include "measure/pass_marker.h"
#include "results/pending_database_line.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeText(bytes);
    if (const PendingLineRead read = parsePendingLine(text); read.pending) {
        const PendingLine& p = *read.pending;
        if (p.line.split('|').size() != 22 || p.logName.contains('/') || p.logName.contains('\\') ||
            !p.measured.isValid())
            __builtin_trap();
        const PendingLineRead again = parsePendingLine(pendingLineText(p));
        if (!again.pending || again.pending->line != p.line ||
            again.pending->logName != p.logName || again.pending->measured != p.measured)
            __builtin_trap();
    } else if (read.problem.isEmpty()) {
        __builtin_trap();
    }
    if (const std::optional<PassMarkerInfo> marker = readPassMarker(text)) {
        const std::optional<PassMarkerInfo> again = readPassMarker(passMarkerText(*marker));
        if (!again || again->started != marker->started || again->skier != marker->skier ||
            again->event != marker->event || again->speed != marker->speed)
            __builtin_trap();
    }
    return 0;
}
