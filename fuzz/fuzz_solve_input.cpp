// wakeline-cli solve's input parser on arbitrary bytes.
#include "calibration/solve_input.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)parseSolveInput(bytes);
    return 0;
}
