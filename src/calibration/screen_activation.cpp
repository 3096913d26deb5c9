#include "calibration/screen_activation.h"

#include "common/number_forms.h"
#include "common/paths.h"
#include "common/text_file.h"

std::array<Point2, 4> standardSurvey(Event event)
{
    const double width = event == Event::Jump ? 4.0 : 2.5;
    const double length = event == Event::Jump ? -280.0 : -259.0;
    return {Point2{0.0, 0.0}, Point2{0.0, length}, Point2{width, 0.0}, Point2{width, length}};
}

std::vector<BoxWrite> surveyDefaults(Event event, const QString& ulSurveyXText)
{
    const bool jump = event == Event::Jump;
    const double width = jump ? 4.0 : 2.5;
    if (leadingNumber(ulSurveyXText) == width)
        return {};
    const QString x = jump ? QStringLiteral("4") : QStringLiteral("2.5");
    const QString y = jump ? QStringLiteral("-280") : QStringLiteral("-259");
    return {{{BoxKind::SurveyX, Buoy::UpperLeft}, x},
            {{BoxKind::SurveyX, Buoy::LowerLeft}, x},
            {{BoxKind::SurveyY, Buoy::LowerLeft}, y},
            {{BoxKind::SurveyY, Buoy::LowerRight}, y}};
}

QStringList appendSessionHeaders(const QString& resultsFolder, const QString& programFolder,
                                 const QDateTime& now)
{
    QStringList failures;
    const std::array<std::pair<QString, QString>, 2> lines{
        {{resultLogName(now), resultLogHeader(now)},
         {databaseLogName(now), databaseLogHeader(now)}}};
    for (const auto& [name, line] : lines) {
        const WriteResult r = appendText(resultsFilePath(resultsFolder, name, programFolder),
                                         line + QLatin1String(kCrLf));
        if (!r)
            failures << r.message;
    }
    return failures;
}
