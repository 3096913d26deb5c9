#pragma once
// A recorded pass for tests that start after one: a slalom pass of `tenths` tenths as the
// measurement screen leaves it, with deviations of up to 0.18 m to either side, summarised.

#include "measure/pass_record.h"
#include "results/pass_report.h"

inline void recordSamplePass(PassRecord& pass, int tenths)
{
    for (int i = 0; i <= tenths; ++i)
        pass.samples.deviations[size_t(i)] = ((i * 7) % 19 - 9) / 50.0;
    summariseSamples(pass.samples, tenths + 1);
    pass.tenths = tenths;
    pass.measured = true;
}
