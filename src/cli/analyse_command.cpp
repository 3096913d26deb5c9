// wakeline-cli analyse: re-checks a saved results file.

#include "cli/commands.h"
#include "common/text_file.h"
#include "results/analyse_file.h"
#include "results/results_file.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

int runAnalyse(const QStringList& args, CliStreams& io)
{
    QString path;
    QDateTime now = QDateTime::currentDateTime();
    bool database = false;
    bool buoys = false;
    BuoyOptions buoyOptions;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--db")) {
            database = true;
        } else if (a == QLatin1String("--buoys")) {
            buoys = true;
        } else if (a == QLatin1String("--csv")) {
            buoyOptions.csv = true;
        } else if (a == QLatin1String("--rules")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                io.err << "analyse: --rules needs a rule set file\n";
                return 2;
            }
            buoyOptions.rulesPath = args[++i];
        } else if (a == QLatin1String("--now")) {
            if (i + 1 >= args.size()) {
                io.err << "analyse: --now needs a value YYYY-MM-DDTHH:MM:SS\n";
                return 2;
            }
            now = QDateTime::fromString(args[++i], Qt::ISODate);
            if (!now.isValid()) {
                io.err << "analyse: --now \"" << args[i]
                       << "\" is not a date and time YYYY-MM-DDTHH:MM:SS\n";
                return 2;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            io.err << "analyse: unknown option \"" << a << "\"\n";
            return 2;
        } else if (path.isEmpty()) {
            path = a;
        } else {
            io.err << "analyse: one results file only (\"" << a << "\" is extra)\n";
            return 2;
        }
    }
    if (path.isEmpty()) {
        io.err << "analyse: no results file given\n";
        return 2;
    }
    if (!buoys && (buoyOptions.csv || !buoyOptions.rulesPath.isEmpty())) {
        io.err << "analyse: --csv and --rules go with --buoys\n";
        return 2;
    }
    if (buoys && database) {
        io.err << "analyse: --buoys and --db are two outputs; choose one\n";
        return 2;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo(path).size() > kResultsFileMaxBytes) {
        io.err << shown << ": the file is larger than a results file can be\n";
        return 2;
    }
    const std::optional<QString> text = readTextFile(path, kResultsFileMaxBytes);
    if (!text) {
        io.err << shown << ": cannot be read\n";
        return 2;
    }
    if (buoys)
        return printBuoyFigures(shown, *text, buoyOptions, io);
    const FileAnalysis result = analyseResultsFile(
        *text, now, database ? AnalysisOutput::DatabaseLine : AnalysisOutput::Report);
    if (!result.ok) {
        io.err << shown << ", line " << result.line << ": " << result.reason << "\n";
        return 2;
    }
    for (const QString& note : result.notes)
        io.err << shown << ": note: " << note << "\n";
    // The report's own CR LF line ends are kept, so the output compares with saved files.
    io.out << (database ? result.databaseLine + QString::fromLatin1(kCrLf) : result.report);
    return 0;
}
