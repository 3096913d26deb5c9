#include "results/interrupted_passes.h"

#include "common/date_forms.h"
#include "measure/pass_marker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// "14:05:09", or "12-06-2026 14:05:09" when it was not today.
QString when(const QDateTime& t, const QDateTime& now)
{
    return t.date() == now.date() ? timeText(t) : dateText(t) + ' ' + timeText(t);
}

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString lostPassNotice(const QString& path, const QDateTime& now)
{
    const std::optional<QString> text = readTextFile(path, 64 * 1024);
    const std::optional<PassMarkerInfo> info = text ? readPassMarker(*text) : std::nullopt;
    QString notice;
    if (info) {
        // A pass measured with no skier picked names none.
        QString which = info->event;
        if (!info->speed.isEmpty())
            which += ' ' + info->speed;
        if (!info->skier.trimmed().isEmpty())
            which = info->skier + QStringLiteral(", ") + which;
        notice = QStringLiteral("The pass started at %1 (%2) was lost because Wakeline stopped "
                                "during it.")
                     .arg(when(info->started, now), which);
    } else {
        notice = QStringLiteral("A pass was lost because Wakeline stopped during it (its marker "
                                "file %1 does not say which).")
                     .arg(nativePath(path));
    }
    // Told once: the marker has done its work.
    QFile f(path);
    if (!f.remove() && f.exists())
        notice += QStringLiteral(" The file %1 could not be removed (%2): this is said again at "
                                 "the next start.")
                      .arg(nativePath(path), f.errorString());
    return notice;
}

QString which(const PendingLine& p, const QDateTime& now)
{
    const QStringList f = p.line.split('|');
    QString event = f[3] == QStringLiteral("J") ? QStringLiteral("Jump") : QStringLiteral("Slalom");
    if (!f[6].trimmed().isEmpty())
        event += ' ' + f[6].trimmed() + QStringLiteral(" km/h");
    QStringList parts{event};
    if (!f[5].trimmed().isEmpty())
        parts.prepend(f[5]);
    if (!f[0].trimmed().isEmpty())
        parts << QStringLiteral("boat ") + f[0];
    return QStringLiteral("the pass that ended at %1 (%2)")
        .arg(when(p.measured, now), parts.join(QStringLiteral(", ")));
}

} // namespace

InterruptedPasses findInterruptedPasses(const QString& folder, const QDateTime& now)
{
    InterruptedPasses found;
    for (const QString& path : passMarkerFiles(folder))
        found.notices << lostPassNotice(path, now);
    for (const QString& path : pendingLineFiles(folder)) {
        const PendingLineRead read = readPendingLine(path);
        if (!read.pending) {
            found.notices << QStringLiteral(
                                 "The file %1 should hold the database line of a pass, but %2. "
                                 "It is left where it is and named again at each start until "
                                 "you remove it.")
                                 .arg(nativePath(path), read.problem);
            continue;
        }
        const QString logPath = QFileInfo(path).dir().filePath(read.pending->logName);
        if (logHoldsLine(logPath, read.pending->line)) {
            // Wakeline stopped between appending the line and removing its pending file.
            const Recovery r = recoverPendingLine(path, *read.pending);
            QString notice = QStringLiteral("The database line of the pass that ended at %1 "
                                            "was already in %2: it was not written again.")
                                 .arg(when(read.pending->measured, now), read.pending->logName);
            if (!r.written)
                notice += ' ' + r.written.message;
            found.notices << notice;
            continue;
        }
        found.pending.push_back({path, *read.pending, which(*read.pending, now)});
    }
    return found;
}

QString interruptedPassesMessage(const InterruptedPasses& found)
{
    QStringList parts;
    if (!found.notices.isEmpty())
        parts << found.notices.join(QStringLiteral("\n\n"));
    if (found.pending.size() == 1) {
        const PendingPass& p = found.pending[0];
        parts << QStringLiteral("The database line of %1 was not written, because Wakeline "
                                "stopped while the pass was on the results screen.")
                     .arg(p.which);
        parts << QStringLiteral("Write it to %1 now?\nYes: write it now. No: keep it; it is "
                                "offered again at the next start.")
                     .arg(p.pending.logName);
    } else if (!found.pending.empty()) {
        QStringList passes;
        for (const PendingPass& p : found.pending)
            passes << QStringLiteral("    %1, for %2").arg(p.which, p.pending.logName);
        parts << QStringLiteral("The database lines of these passes were not written, because "
                                "Wakeline stopped while each was on the results screen:\n") +
                     passes.join('\n');
        parts << QStringLiteral("Write them to their days' database logs now?\nYes: write them "
                                "now. No: keep them; they are offered again at the next start.");
    }
    return parts.join(QStringLiteral("\n\n"));
}

QString writePendingPasses(const std::vector<PendingPass>& pending)
{
    QStringList failures;
    for (const PendingPass& p : pending) {
        const Recovery r = recoverPendingLine(p.path, p.pending);
        if (!r.written)
            failures << r.written.message;
    }
    if (failures.isEmpty())
        return QString();
    return failures.join('\n') +
           QStringLiteral("\n\nA line that was not written stays pending and is offered again at "
                          "the next start.");
}
