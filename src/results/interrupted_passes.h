#pragma once
// At start: what a program stopped during a pass, or with a pass on the results screen, left
// in the results folder. A pass stopped while it was measured is lost: the operator is told
// in one line and its marker goes. A pass stopped on the results screen left its database
// line in a pending file: the operator is offered to write it now or keep it for later.

#include "results/pending_database_line.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct PendingPass
{
    QString path; // the pending file
    PendingLine pending;
    // For the operator: "the pass that ended at 17:32:42 (Ann, Slalom 58 km/h, boat 1)".
    QString which;
};

struct InterruptedPasses
{
    // One line each for the operator: lost passes, pending files that cannot be read (left
    // where they are), lines found already written.
    QStringList notices;
    // Lines to offer.
    std::vector<PendingPass> pending;
    // Something to show at all.
    bool any() const { return !notices.isEmpty() || !pending.empty(); }
};

// Looks through the results folder; the markers of lost passes are removed as they are read,
// a pending file whose line the log already holds too. `now` tells whether a date is today.
InterruptedPasses findInterruptedPasses(const QString& folder, const QDateTime& now);

// The one message for the operator. With pending lines it asks: Yes writes them now, No keeps
// them.
QString interruptedPassesMessage(const InterruptedPasses& found);

// "Yes": every pending line into its day's log. The operator's message for the lines that
// could not be written (they stay pending), empty when all were.
QString writePendingPasses(const std::vector<PendingPass>& pending);
