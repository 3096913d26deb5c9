// The leading-number rule on arbitrary text: always a finite value or zero, never a crash.
#include "common/number_forms.h"
#include "common/text_file.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const double v = leadingNumber(decodeText(bytes));
    if (std::isnan(v))
        __builtin_trap();
    // The number forms must take whatever the rule gives.
    (void)strForm(v);
    (void)setupNumber(v);
    return 0;
}
