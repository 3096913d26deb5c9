#include "cli/setup_commands.h"

#include "calibration/calibration_checks.h"
#include "calibration/setup_file.h"
#include "common/number_forms.h"

#include <QDir>
#include <cmath>

namespace {

const char* const kPointNames[] = {"upper right", "lower right", "upper left", "lower left"};

void reportProblem(const QString& path, const SetupFileProblem& problem, CliStreams& io)
{
    io.err << QDir::toNativeSeparators(path);
    if (problem.line > 0)
        io.err << ": line " << problem.line;
    io.err << ": " << problem.reason << "\n";
}

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// FILE A B: reads the file and the two numbers, then maps them one way or the other.
int mapPoint(const QStringList& args, CliStreams& io, const char* command, bool toCourse)
{
    if (args.size() != 3) {
        io.err << "usage: wakeline-cli " << command << " FILE.ipt " << (toCourse ? "SX SY" : "X Y")
               << "\n";
        return 2;
    }
    const auto a = number(args[1]);
    const auto b = number(args[2]);
    if (!a || !b) {
        io.err << command << ": \"" << (a ? args[2] : args[1]) << "\" is not a number\n";
        return 2;
    }
    const auto data = readSetupOrReport(args[0], io);
    if (!data)
        return 2;
    const auto mapped =
        toCourse ? data->transform.toCourse({*a, *b}) : data->transform.toScreen({*a, *b});
    if (!mapped) {
        io.err << command << ": the point lies on the picture's horizon (zero denominator)\n";
        return 1;
    }
    io.out << shortestRoundTrip(mapped->point.x) << " " << shortestRoundTrip(mapped->point.y)
           << "\n";
    return 0;
}

int runToCourse(const QStringList& args, CliStreams& io)
{
    return mapPoint(args, io, "to-course", true);
}

int runToScreen(const QStringList& args, CliStreams& io)
{
    return mapPoint(args, io, "to-screen", false);
}

int runCheck(const QStringList& args, CliStreams& io)
{
    if (args.size() != 1) {
        io.err << "usage: wakeline-cli check FILE.ipt\n";
        return 2;
    }
    const auto data = readSetupOrReport(args[0], io);
    if (!data)
        return 2;
    io.out << "file: " << QDir::toNativeSeparators(args[0]) << "\n";
    io.out << "description: " << data->description << "\n";
    double largest = 0.0;
    int worst = 1;
    bool unmapped = false;
    for (size_t k = 0; k < 4; ++k) {
        const ReferencePoint& p = data->points[k];
        io.out << "point " << k + 1 << " (" << kPointNames[k] << "): screen "
               << shortestRoundTrip(p.screen.x) << " " << shortestRoundTrip(p.screen.y)
               << "  survey " << shortestRoundTrip(p.survey.x) << " "
               << shortestRoundTrip(p.survey.y) << "\n";
        const auto mapped = data->transform.toCourse(p.screen);
        if (!mapped) {
            unmapped = true;
            continue;
        }
        const double d = std::hypot(mapped->point.x - p.survey.x, mapped->point.y - p.survey.y);
        if (!(d <= largest)) {
            largest = d;
            worst = int(k) + 1;
        }
    }
    for (size_t k = 1; k <= 8; ++k)
        io.out << "c" << k << ": " << shortestRoundTrip(data->transform.c[k]) << "\n";
    io.out << "jump: " << shortestRoundTrip(data->jump.x) << " " << shortestRoundTrip(data->jump.y)
           << "\n";
    if (unmapped)
        io.out << "largest distance: a mark lies on the picture's horizon (zero denominator)\n";
    else
        io.out << "largest distance: " << shortestRoundTrip(largest) << " m (point " << worst
               << ")\n";
    // The calibration screen's verdict on the same file.
    const SetupCheck checked = checkSetup(*data);
    if (!checked.data) {
        reportProblem(args[0], checked.problem, io);
        return 2;
    }
    if (checked.replaced) {
        io.out << "the calibration screen solves the coefficients again from the marks:\n";
        for (size_t k = 1; k <= 8; ++k)
            io.out << "solved c" << k << ": " << shortestRoundTrip(checked.data->transform.c[k])
                   << "\n";
        return 1;
    }
    return 0;
}

} // namespace

const CliCommand kToCourseCommand{
    "to-course", "FILE.ipt SX SY",
    "      Maps the screen point (SX, SY) in twips to the course through the file's\n"
    "      coefficients; prints the course x and y in metres.",
    runToCourse};
const CliCommand kToScreenCommand{
    "to-screen", "FILE.ipt X Y",
    "      Maps the course point (X, Y) in metres to the screen through the file's\n"
    "      coefficients; prints the screen x and y in twips.",
    runToScreen};
const CliCommand kCheckCommand{
    "check", "FILE.ipt",
    "      Reads a setup file; prints its four points, coefficients and jump point, and the\n"
    "      largest distance in metres between a survey point and its mark mapped through\n"
    "      the coefficients. Exit 0 when the calibration screen loads the file as it is;\n"
    "      1 when it loads it only after solving the coefficients again from the marks\n"
    "      (a mark more than 1 cm off; the solved ones are printed); 2 when it refuses the\n"
    "      file: malformed, or a calibration that cannot be (marks beyond any picture or on\n"
    "      one point or line, survey values beyond any course, no usable transform). The\n"
    "      file, line and reason of a refusal go to stderr.",
    runCheck};

std::optional<SetupFileData> readSetupOrReport(const QString& path, CliStreams& io)
{
    const SetupFileRead read = readSetupFile(path);
    if (read.data)
        return read.data;
    reportProblem(path, read.problem, io);
    return std::nullopt;
}

std::optional<SetupFileData> loadSetupOrReport(const QString& path, CliStreams& io)
{
    const auto data = readSetupOrReport(path, io);
    if (!data)
        return std::nullopt;
    const SetupCheck checked = checkSetup(*data);
    if (!checked.data)
        reportProblem(path, checked.problem, io);
    else if (checked.replaced)
        io.err << QDir::toNativeSeparators(path)
               << ": note: " << coefficientsSolvedAgainMessage(path, *checked.replaced) << "\n";
    return checked.data;
}
