#include "results/database_line.h"

#include "common/number_forms.h"

#include <QStringList>

QString databaseField(QString text)
{
    for (QChar& c : text)
        if (c == '|' || c == '\r' || c == '\n' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = ' ';
    return text;
}

QString databaseLine(const DatabaseLineInputs& in)
{
    const PassStatistics& s = in.statistics;
    const QStringList fields{
        databaseField(in.run.boatNumber),
        databaseField(in.run.boatMaker),
        databaseField(in.run.boatModel),
        in.run.event == Event::Slalom ? QStringLiteral("S") : QStringLiteral("J"),
        databaseField(in.run.driver),
        databaseField(in.run.skier),
        databaseField(in.speedText),
        databaseField(in.lineText),
        round3Str(s.meanFitDeviation),
        round3Str(s.maxFitDeviation),
        round3Str(in.samples.meanAbsDeviation),
        strForm(in.samples.maxAbsDeviation),
        databaseField(in.split),
        databaseField(in.full),
        strForm(s.leftPercent),
        strForm(s.centerPercent),
        strForm(s.rightPercent),
        format0_00(s.meanDeviation),
        format0_00(s.startDeviation),
        format0_00(s.exitDeviation),
        format0_00(s.totalDeviation),
        databaseField(in.comment),
    };
    return fields.join('|');
}
