// wakeline-cli accuracy: the accuracy check of a setup file as the calibration screen would
// run it right after loading the file.

#include "calibration/geometry_checks.h"
#include "calibration/grid_slots.h"
#include "cli/commands.h"
#include "cli/setup_commands.h"
#include "course_display/accuracy_check.h"

#include <QDateTime>

namespace {

struct AccuracyArgs
{
    QString path;
    AccuracyDisplay display = AccuracyDisplay::Detail;
    QDateTime now = QDateTime::currentDateTime();
    int screenWidth = 0; // pixels, as the start screen records it; 0: unknown
};

// Reads the arguments; the message for standard error when they are wrong.
std::optional<QString> parse(const QStringList& args, AccuracyArgs& out)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue = a == QLatin1String("--display") || a == QLatin1String("--now") ||
                                a == QLatin1String("--screen-width");
        if (takesValue && i + 1 >= args.size())
            return QStringLiteral("accuracy: %1 needs a value").arg(a);
        if (a == QLatin1String("--display")) {
            const auto display = accuracyDisplayFromName(args[++i]);
            if (!display)
                return QStringLiteral("accuracy: --display \"%1\" is not homlvl, distance or "
                                      "detail")
                    .arg(args[i]);
            out.display = *display;
        } else if (a == QLatin1String("--now")) {
            out.now = QDateTime::fromString(args[++i], Qt::ISODate);
            if (!out.now.isValid())
                return QStringLiteral("accuracy: --now \"%1\" is not a date and time "
                                      "YYYY-MM-DDTHH:MM:SS")
                    .arg(args[i]);
        } else if (a == QLatin1String("--screen-width")) {
            const QString width = args[++i];
            bool ok = false;
            out.screenWidth = width.toInt(&ok);
            if (out.screenWidth <= 0 || !ok)
                return QStringLiteral("accuracy: --screen-width \"%1\" is not a number of pixels")
                    .arg(width);
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("accuracy: unknown option \"%1\"").arg(a);
        } else if (out.path.isEmpty()) {
            out.path = a;
        } else {
            return QStringLiteral("accuracy: one setup file only (\"%1\" is extra)").arg(a);
        }
    }
    if (out.path.isEmpty())
        return QStringLiteral("accuracy: no setup file given");
    return std::nullopt;
}

int runAccuracy(const QStringList& args, CliStreams& io)
{
    AccuracyArgs a;
    if (const auto problem = parse(args, a)) {
        io.err << *problem << "\n";
        return 2;
    }
    const auto data = loadSetupOrReport(a.path, io);
    if (!data)
        return 2;
    // The state a load leaves: the file is slot 1 and the working calibration, the boxes
    // show its values, the descriptions its path and its description line.
    Calibration calibration;
    GridSlots slots;
    applyLoadedSetup(calibration, slots, *data, a.path);
    const CoordinateTexts texts = boxTextsFor(*data);
    checkPerspective(calibration, a.screenWidth, texts);
    const AccuracyCheckResult result = runAccuracyCheck(accuracyInputFrom(
        calibration, slots.current, texts, a.path, data->description, a.display, a.now));
    for (const QString& line : accuracyIndicatorListing(result))
        io.out << line << "\n";
    // The report keeps its own CR LF line ends, so it compares with the day's file.
    io.out << result.reportText;
    if (result.unplaced > 0) {
        io.err << unplacedPointsMessage(result.unplaced) << "\n";
        return 1;
    }
    return 0;
}

} // namespace

const CliCommand kAccuracyCommand{
    "accuracy",
    "FILE.ipt [--display homlvl|distance|detail] [--now YYYY-MM-DDTHH:MM:SS] "
    "[--screen-width PIXELS]",
    "      Runs the accuracy check on a setup file as the calibration screen does after\n"
    "      loading it: prints the 42 indicators in index order (index, course x, course y,\n"
    "      screen x, screen y, text; tab-separated), then the lines the day's accuracy\n"
    "      report would get. The ratios need the screen width (0 without it). Exit 2 on a\n"
    "      file the calibration screen refuses (file, line and reason on stderr).",
    runAccuracy};
