// The results file reader on arbitrary bytes, for both events.
#include "common/text_file.h"
#include "results/results_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeText(bytes);
    for (Event event : {Event::Slalom, Event::Jump}) {
        const ResultsFileRead read = readResultsFile(text, event);
        if (read.deviations.size() != read.positions.size() ||
            read.deviations.size() > size_t(kMaxReadSamples))
            __builtin_trap();
        if (read.status == ReadStatus::Ok && read.deviations.empty())
            __builtin_trap();
        if (read.shownLines.size() > kMaxShownLines + 1)
            __builtin_trap();
    }
    return 0;
}
