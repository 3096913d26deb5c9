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
        round3Str(s.MeanFitDeviation),
        round3Str(s.MaxFitDeviation),
        round3Str(in.samples.MeanAbsDeviation),
        strForm(in.samples.MaxAbsDeviation),
        databaseField(in.split),
        databaseField(in.full),
        strForm(s.LeftPercent),
        strForm(s.CenterPercent),
        strForm(s.RightPercent),
        format0_00(s.MeanDeviation),
        format0_00(s.StartDeviation),
        format0_00(s.ExitDeviation),
        format0_00(s.TotalDeviation),
        databaseField(in.comment),
    };
    return fields.join('|');
}
