#include "measure/video_pass_log.h"

#include "common/date_forms.h"
#include "common/text_file.h"

namespace {

QString seconds(qint64 us)
{
    return QString::number(double(us) / 1e6, 'f', 3);
}

} // namespace

QString videoPassesFileName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("VideoPasses"), now);
}

QString videoPassBlock(const QDateTime& when, const MediaPass& pass)
{
    const QString end = QString::fromLatin1(kCrLf);
    QString block =
        QStringLiteral("Video pass ") + dateText(when) + QLatin1Char(' ') + timeText(when) + end;
    block += QStringLiteral("Video file: ") + pass.videoFile + end;
    if (!pass.trackFile.isEmpty())
        block += QStringLiteral("Track file: ") + pass.trackFile + end;
    block += QStringLiteral("Start (P0): ") + seconds(pass.startUs) + QStringLiteral(" s") + end;
    block += QStringLiteral("Samples: ") + QString::number(pass.sampleFramesUs.size()) + end;
    block += QStringLiteral("Sample  Frame (s)") + end;
    for (size_t k = 0; k < pass.sampleFramesUs.size(); ++k)
        block += QString::number(k) + QStringLiteral("  ") + seconds(pass.sampleFramesUs[k]) + end;
    return block + end;
}
