#pragma once
// Whether the pass the results screen shows can be looked at again on its video, and the
// pass as the review needs it: the pass just measured on a video file (its record knows the
// video), or a results file read back (its block is looked up in the day's "VideoPasses" file
// beside it, by the date and time of measurement). The review is offered only when the video
// file is there; otherwise the note says plainly why not.

#include "common/run_info.h"
#include "measure/pass_review.h"
#include "results/results_file.h"
#include "results/rule_set.h"

#include <QString>
#include <QStringList>
#include <optional>

struct PassRecord;

struct ReviewOffer
{
    std::optional<ReviewedPass> pass;
    QString note; // for the operator: why there is no review, or a block that was refused
};

// The pass just measured, in the run's direction; the slalom buoy windows under `rules`.
ReviewOffer reviewOfMeasuredPass(const PassRecord& pass, const RunInfo& run, const RuleSet& rules);

// A results file read back for `event`. The day file is looked for in each of `folders` in
// turn (the results file's own first).
ReviewOffer reviewOfResultsFile(const ResultsFileRead& read, Event event,
                                const QStringList& folders, const RuleSet& rules);
