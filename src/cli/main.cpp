// wakeline-cli: the program's logic from the command line, for scripts and checks.

#include "cli/commands.h"
#include "cli/setup_commands.h"

#include <QCoreApplication>
#include <array>
#include <cstdio>

namespace {

// Command table; each command lives in its own file.
const CliCommand kCommands[] = {
    CliCommand{"solve", kSolveUsage, kSolveSummary, runSolve},
    kToCourseCommand,
    kToScreenCommand,
    kCheckCommand,
    kAccuracyCommand,
    CliCommand{"analyse",
               "RESULTS.txt [--now YYYY-MM-DDTHH:MM:SS] [--db]\n"
               "  analyse RESULTS.txt --buoys [--csv] [--rules FILE]",
               "      Re-analyses a saved results file and prints its pass report, or with --db\n"
               "      its database line (UTF-8, CR LF line ends). A file whose samples are not\n"
               "      the whole pass (cut off, a line missing, repeated or damaged) is refused.\n"
               "      --buoys prints the per-buoy figures of a slalom pass: at each boat guide\n"
               "      buoy the reading toward (+) or away from (-) its skier and the cumulative,\n"
               "      and the entrance gate's largest deviation (+ on the boat's right), each\n"
               "      against its tolerance. They come from the rule set in FILE or, without\n"
               "      --rules, from the built-in default, the newer preset\n"
               "      \"2024-largest-25cm.txt\"; every output names the rule set and its\n"
               "      figures (with --csv on standard error). --csv prints only the rows gate\n"
               "      and 1 to 6, columns window,start_m,end_m,samples,reading_m,cumulative_m,\n"
               "      limit_m,cumulative_limit_m,within: metres with 3 decimals, empty where a\n"
               "      figure does not exist; within is yes when every figure of the row is\n"
               "      within its tolerance, no when one is out. A pass that stopped early is\n"
               "      taken when its \"Frames Measured:\" line counts its samples; the windows\n"
               "      it did not reach have no reading. A jump pass has no buoy figures.",
               runAnalyse},
    CliCommand{"track",
               "VIDEO --setup FILE.ipt --start SECONDS --at U,V [--speed KMH]\n"
               "        [--direction toward|away] [--event slalom|jump] [--csv] [--results FILE]\n"
               "        [--track FILE] [--fix TIME=U,V ...] [--now YYYY-MM-DDTHH:MM:SS]\n"
               "  track VIDEO --setup FILE.ipt --load TRACK [--fix TIME=U,V ...] [...]",
               "      Measures a pass on a video file by tracking: the point given with --at on\n"
               "      the frame at --start (media seconds: the pass's first frame; U,V picture\n"
               "      pixels from the top-left corner, fractions allowed) is followed frame by\n"
               "      frame to the pass's last sample, and each sample is read on its frame as\n"
               "      a hand-held pass would read it. Prints the pass report, or with --csv per\n"
               "      sample sample,media_time_s,u,v,course_x_m,course_y_m,deviation_m,\n"
               "      confidence,set_by (media_time_s: the frame the sample is read on).\n"
               "      --results FILE writes the results file and the track beside it (FILE less\n"
               "      its suffix, plus .track.txt); --track FILE writes the track there.\n"
               "      Defaults: slalom, toward the camera, the event's first speed. Where the\n"
               "      engine cannot vouch for a frame (confidence below 0.82, the point moving\n"
               "      across the course faster than 3 m/s, or at the picture's edge) it exits 3\n"
               "      naming the frame and its media time: --fix TIME=U,V gives the point on\n"
               "      the frame holding TIME (repeatable). The engine also stops where the\n"
               "      point does not keep pace with the boat along the course. --load TRACK\n"
               "      measures a saved track with its video; with --fix it tracks again from\n"
               "      the earliest point given, keeping the frames before it. Bad video, setup\n"
               "      or arguments: exit 2.",
               runTrack},
};

void printHelp(QTextStream& out)
{
    out << "Usage: wakeline-cli COMMAND [ARGUMENTS]\n\n"
           "Runs Wakeline's own calculations without the screens.\n\nCommands:\n";
    for (const CliCommand& c : kCommands)
        out << "  " << c.name << " " << c.usage << "\n" << c.summary << "\n";
    out << "  --help\n      Shows this text.\n";
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Names read from 8-bit files are printed as UTF-8 whatever the locale, so that scripts
    // get the same bytes under C and under a UTF-8 locale.
    for (QTextStream* stream : {&out, &err})
        stream->setEncoding(QStringConverter::Utf8);
    CliStreams io{in, out, err};

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printHelp(out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            const int code = c.run(args, io);
            out.flush();
            err.flush();
            return code;
        }
    }
    err << "wakeline-cli: unknown command \"" << name << "\"; see wakeline-cli --help\n";
    return 2;
}
