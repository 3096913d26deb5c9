#include "recording/recorded_pass_log.h"

#include "common/date_forms.h"
#include "common/text_file.h"

namespace {

QString seconds(qint64 us)
{
    return QString::number(double(us) / 1e6, 'f', 3);
}

QString twips(double v)
{
    return QString::number(v, 'f', 2);
}

} // namespace

QString recordedPassBlock(const QDateTime& when, const RecordedPass& pass)
{
    const QString end = QString::fromLatin1(kCrLf);
    QString block =
        QStringLiteral("Recorded pass ") + dateText(when) + QLatin1Char(' ') + timeText(when) + end;
    block += QStringLiteral("Video file: ") + pass.videoFile + end;
    block += QStringLiteral("Start (P0): ") + seconds(pass.startUs) + QStringLiteral(" s") + end;
    block += QStringLiteral("Samples: ") + QString::number(pass.samples.size()) + end;
    block += QStringLiteral("Sample  Frame (s)  Line x  Line y (twips)") + end;
    for (size_t k = 0; k < pass.samples.size(); ++k) {
        const RecordedSample& s = pass.samples[k];
        block += QString::number(k) + QStringLiteral("  ") + seconds(s.frameUs) +
                 QStringLiteral("  ") + twips(s.lineX) + QStringLiteral("  ") + twips(s.lineY) +
                 end;
    }
    return block + end;
}
