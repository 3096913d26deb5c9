// The rule set reader on arbitrary bytes: a set it accepts is within its bounds, writes back
// to the same set and gives figures for a pass: a header and the gate and six buoy rows.
#include "common/text_file.h"
#include "results/buoy_figures_text.h"
#include "results/rule_set.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RuleSetRead read = parseRuleSet(decodeText(bytes), QStringLiteral("fuzz.txt"));
    if (!read.ruleSet) {
        if (read.message.isEmpty())
            __builtin_trap();
        return 0;
    }
    const RuleSet& r = *read.ruleSet;
    for (const WindowSpan& w : {r.buoyWindow, r.zoneWindow, r.gateWindow})
        if (!(w.start <= w.end))
            __builtin_trap();
    if (r.name.isEmpty() || r.minimumSamples < 1)
        __builtin_trap();
    if (parseRuleSet(ruleSetText(r), QStringLiteral("again.txt")).ruleSet != read.ruleSet)
        __builtin_trap();
    const std::vector<double> pass(162, 0.1);
    const BuoyFigures f = computeBuoyFigures(pass, 161, Direction::Away, r);
    if (!f.ok || buoyFiguresCsv(f).count(QLatin1String("\r\n")) != 8)
        __builtin_trap();
    return 0;
}
