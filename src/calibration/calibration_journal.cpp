#include "calibration/calibration_journal.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"

QString journalBlock(const QDateTime& now, const QString& description1, const QString& description2,
                     int gridNumber, const CoordinateTexts& t, JournalForm form)
{
    const QString unit =
        form == JournalForm::Twips ? QStringLiteral("Twips") : QStringLiteral("Pixels");
    QStringList lines;
    lines << dateText(now) + ' ' + timeText(now) + QStringLiteral(" New Set-up now in place")
          << description1 << description2 << QStringLiteral("Grid Number: ") + printForm(gridNumber)
          << QStringLiteral(" ") << coordinateLines(t, unit);
    return lines.join(QLatin1String(kCrLf)) + QLatin1String(kCrLf);
}
