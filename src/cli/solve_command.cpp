// wakeline-cli solve: the course transform from four reference points, or one point mapped
// through it.

#include "calibration/course_transform.h"
#include "calibration/solve_input.h"
#include "cli/commands.h"
#include "common/number_forms.h"

#include <QIODevice>

const char kSolveUsage[] = "[--to-course SX SY | --to-screen X Y] < POINTS";
const char kSolveSummary[] =
    "      Solves the course transform from four reference points on standard input, one\n"
    "      line each in the order upper right, lower right, upper left, lower left buoy:\n"
    "      \"sx sy X Y\" (screen twips, survey metres), separated by blanks or tabs, or by\n"
    "      commas as in a setup file's point lines. Blank lines after the fourth line are\n"
    "      ignored; any other blank or extra line is an error.\n"
    "      Prints c1 to c8, one per line, in the setup file's number form.\n"
    "      --to-course SX SY  prints instead the course point (metres) of screen point SX SY\n"
    "      --to-screen X Y    prints instead the screen point (twips) of course point X Y\n"
    "      A point is printed as two numbers separated by one blank, each in the shortest\n"
    "      form that reads back to the same double.\n"
    "      Exit status: 0 done; 1 no unique solution, or the point has no image (zero\n"
    "      denominator); 2 malformed input (the message names the line and field) or bad\n"
    "      arguments.";

namespace {

enum class Mapping { None, ToCourse, ToScreen };

struct SolveArgs
{
    bool help = false;
    Mapping mapping = Mapping::None;
    Point2 point;
    QString error; // for the operator; empty when the arguments are usable
};

SolveArgs parseArgs(const QStringList& args)
{
    SolveArgs r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            r.help = true;
            return r;
        }
        const bool toCourse = a == QLatin1String("--to-course");
        if (!toCourse && a != QLatin1String("--to-screen")) {
            r.error = QStringLiteral("unknown argument %1").arg(quotedField(a));
            return r;
        }
        if (r.mapping != Mapping::None) {
            r.error =
                QStringLiteral("%1: only one of --to-course and --to-screen may be given").arg(a);
            return r;
        }
        r.mapping = toCourse ? Mapping::ToCourse : Mapping::ToScreen;
        const std::array<const char*, 2> names =
            toCourse ? std::array{"SX", "SY"} : std::array{"X", "Y"};
        std::array<double, 2> values{};
        for (size_t k = 0; k < 2; ++k) {
            if (++i >= args.size()) {
                r.error = QStringLiteral("%1: %2 is missing").arg(a, QLatin1String(names[k]));
                return r;
            }
            const NumberField n = parseNumberField(args[i]);
            if (!n.value) {
                r.error = QStringLiteral("%1 %2: %3 %4")
                              .arg(a, QLatin1String(names[k]), quotedField(args[i]), n.reason);
                return r;
            }
            values[k] = *n.value;
        }
        r.point = {values[0], values[1]};
    }
    return r;
}

// Standard input up to one byte past the limit, so that the parser can refuse it whole.
QByteArray readInput(QTextStream& in)
{
    constexpr qint64 kWanted = kMaxSolveInputBytes + 1;
    QIODevice* device = in.device();
    if (!device)
        return in.read(kWanted).toUtf8();
    QByteArray bytes;
    while (bytes.size() < kWanted) {
        const QByteArray chunk = device->read(kWanted - bytes.size());
        if (chunk.isEmpty() && !device->waitForReadyRead(-1))
            break;
        bytes += chunk;
    }
    return bytes;
}

} // namespace

int runSolve(const QStringList& args, CliStreams& io)
{
    const SolveArgs a = parseArgs(args);
    if (a.help) {
        io.out << "Usage: wakeline-cli solve " << kSolveUsage << "\n" << kSolveSummary << "\n";
        return 0;
    }
    if (!a.error.isEmpty()) {
        io.err << a.error << "\n";
        return 2;
    }
    const SolveInput input = parseSolveInput(readInput(io.in));
    if (!input.ok) {
        io.err << input.message << "\n";
        return 2;
    }
    const auto transform = solveCourseTransform(input.points);
    if (!transform) {
        io.err << "No Unique Solution - Re-enter data\n";
        return 1;
    }
    if (a.mapping == Mapping::None) {
        for (size_t k = 1; k <= 8; ++k)
            io.out << setupNumber(transform->c[k]) << "\n";
        return 0;
    }
    const bool toCourse = a.mapping == Mapping::ToCourse;
    const auto mapped = toCourse ? transform->toCourse(a.point) : transform->toScreen(a.point);
    if (!mapped) {
        io.err << (toCourse ? "The screen point lies on the picture's horizon: it has no course "
                              "position (zero denominator)\n"
                            : "The course point has no screen position (zero denominator)\n");
        return 1;
    }
    io.out << shortestRoundTrip(mapped->point.x) << " " << shortestRoundTrip(mapped->point.y)
           << "\n";
    return 0;
}
