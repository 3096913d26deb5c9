#include "calibration/calibration_journal.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"

QString journalBlock(const QDateTime& now, const QString& description1, const QString& description2,
                     int gridNumber, const CoordinateTexts& t, JournalForm form)
{
    const QString unit =
        form == JournalForm::Twips ? QStringLiteral("Twips") : QStringLiteral("Pixels");
    const QString gap = QStringLiteral("  ");
    QStringList lines;
    lines << dateText(now) + ' ' + timeText(now) + QStringLiteral(" New Set-up now in place")
          << description1 << description2 << QStringLiteral("Grid Number: ") + printForm(gridNumber)
          << QStringLiteral(" ");
    struct Row
    {
        const char* name;
        Buoy buoy;
    };
    for (const Row& r :
         {Row{"Upper Left", Buoy::UpperLeft}, Row{"Lower Left", Buoy::LowerLeft},
          Row{"Upper Right", Buoy::UpperRight}, Row{"Lower Right", Buoy::LowerRight}}) {
        const BuoyTexts& b = t[r.buoy];
        const QString name = QString::fromLatin1(r.name);
        lines << name + QStringLiteral(" X,Y ") + unit + QStringLiteral(": ") + b.screenX + gap +
                     b.screenY
              << name + QStringLiteral(" X,Y Survey: ") + b.surveyX + gap + b.surveyY
              << QStringLiteral(" ");
    }
    lines << QStringLiteral("Jump X,Y Survey: ") + t.jumpX + gap + t.jumpY << QStringLiteral(" ");
    return lines.join(QLatin1String(kCrLf)) + QLatin1String(kCrLf);
}
