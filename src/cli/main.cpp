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
    CliCommand{"analyse", "RESULTS.txt [--now YYYY-MM-DDTHH:MM:SS] [--db]",
               "      Re-analyses a saved results file and prints its pass report, or with --db\n"
               "      its database line (UTF-8, CR LF line ends). A file whose samples are not\n"
               "      the whole pass (cut off, a line missing, repeated or damaged) is refused.",
               runAnalyse},
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
