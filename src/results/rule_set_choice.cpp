#include "results/rule_set_choice.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

RuleSetSource builtInDefault()
{
    return {QString::fromLatin1(kDefaultRuleSetFile),
            QStringLiteral(":/program/%1/%2")
                .arg(QLatin1String(kRuleSetFolder), QLatin1String(kDefaultRuleSetFile)),
            true};
}

} // namespace

std::vector<RuleSetSource> ruleSetSources(const QString& rulesFolder)
{
    std::vector<RuleSetSource> out;
    const QFileInfoList files =
        QDir(rulesFolder)
            .entryInfoList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files)
        out.push_back({file.fileName(), file.filePath(), false});
    const bool hasDefault = std::any_of(out.begin(), out.end(), [](const RuleSetSource& s) {
        return s.fileName == QLatin1String(kDefaultRuleSetFile);
    });
    if (!hasDefault)
        out.push_back(builtInDefault());
    return out;
}

RuleSetInForce ruleSetInForce(const QString& rulesFolder, const QString& remembered)
{
    const std::vector<RuleSetSource> sources = ruleSetSources(rulesFolder);
    auto find = [&sources](const QString& name) {
        return std::find_if(sources.begin(), sources.end(),
                            [&name](const RuleSetSource& s) { return s.fileName == name; });
    };
    RuleSetInForce out;
    QStringList problems;
    QString failedPath;
    if (!remembered.isEmpty()) {
        const auto chosen = find(remembered);
        if (chosen == sources.end()) {
            problems << QStringLiteral("The rule set file \"%1\" chosen before is no longer in "
                                       "the rules folder.")
                            .arg(remembered);
        } else {
            const RuleSetRead read = readRuleSetFile(chosen->path);
            if (read.ruleSet) {
                out.rules = *read.ruleSet;
                out.source = *chosen;
                return out;
            }
            problems << read.message;
            failedPath = chosen->path;
        }
    }
    // The default is always among the sources, the program's own copy at worst.
    for (const RuleSetSource& source :
         {*find(QString::fromLatin1(kDefaultRuleSetFile)), builtInDefault()}) {
        if (source.path == failedPath)
            continue;
        const RuleSetRead read = readRuleSetFile(source.path);
        if (!read.ruleSet) {
            problems << read.message;
            continue;
        }
        out.rules = *read.ruleSet;
        out.source = source;
        if (!problems.isEmpty())
            problems << QStringLiteral("The figures are stated under \"%1\" (%2).")
                            .arg(out.rules.name, source.fileName);
        out.note = problems.join(QLatin1Char(' '));
        return out;
    }
    out.rules.name = QStringLiteral("none (no rule set file could be read)");
    out.note = problems.join(QLatin1Char(' '));
    return out;
}
