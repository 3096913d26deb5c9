// The setup file reader on arbitrary bytes, decoded as a file on disk would be.
#include "calibration/calibration_checks.h"
#include "calibration/setup_file.h"
#include "common/text_file.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SetupFileRead read = parseSetupFile(decodeText(bytes));
    if (read.data) {
        // A file that loads must write back to a file that loads to the same values.
        const SetupFileRead again = parseSetupFile(setupFileText(*read.data));
        if (!again.data)
            __builtin_trap();
        for (size_t k = 1; k <= 8; ++k) {
            const double a = read.data->transform.c[k];
            const double b = again.data->transform.c[k];
            if (!(a == b || (std::isnan(a) && std::isnan(b))))
                __builtin_trap();
        }
        // The load's checks take any file that reads: a refusal says why, and what is loaded
        // maps every mark to within a centimetre of its survey point.
        const SetupCheck checked = checkSetup(*read.data);
        if (!checked.data) {
            if (checked.problem.reason.isEmpty())
                __builtin_trap();
        } else if (!(largestMarkMiss(checked.data->points, checked.data->transform).metres <=
                     kMarkOnSurveyMetres)) {
            __builtin_trap();
        }
    } else if (read.problem.reason.isEmpty()) {
        __builtin_trap(); // a refusal always says why
    }
    return 0;
}
