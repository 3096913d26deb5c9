#include "measure/video_pass_log.h"

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
    // The line's columns only when every sample has its line: a pass is reviewed with the line
    // where it was held, or with none.
    const bool withLine = pass.sampleLines.size() == pass.sampleFramesUs.size();
    block += withLine ? QStringLiteral("Sample  Frame (s)  Line x  Line y (twips)") + end
                      : QStringLiteral("Sample  Frame (s)") + end;
    for (size_t k = 0; k < pass.sampleFramesUs.size(); ++k) {
        block += QString::number(k) + QStringLiteral("  ") + seconds(pass.sampleFramesUs[k]);
        if (withLine)
            block += QStringLiteral("  ") + twips(pass.sampleLines[k].x) + QStringLiteral("  ") +
                     twips(pass.sampleLines[k].y);
        block += end;
    }
    return block + end;
}
