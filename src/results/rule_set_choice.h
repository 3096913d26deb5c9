#pragma once
// Which rule set the results screen states its figures under: one of the files in the
// program folder's "rules" folder, the one the operator chose last (remembered by its file
// name), and the newer preset when that one is gone or no longer reads.

#include "results/rule_set.h"

#include <QString>
#include <vector>

// The preset in force when the operator has chosen none.
inline constexpr const char* kDefaultRuleSetFile = "2024-largest-25cm.txt";

struct RuleSetSource
{
    QString fileName; // what the operator sees and what is remembered
    QString path;
    bool builtIn = false; // the program's own copy, not a file in the rules folder
    bool operator==(const RuleSetSource&) const = default;
};

// The rule files ("*.txt") in the folder in name order, then the program's own copy of the
// default preset when the folder has no file of that name, so that there is always one.
std::vector<RuleSetSource> ruleSetSources(const QString& rulesFolder);

struct RuleSetInForce
{
    RuleSet rules;
    RuleSetSource source;
    QString note; // for the operator: why the remembered file is not in force; else empty
};

// The remembered file when it is among the sources and reads; otherwise the default preset
// (the folder's, or the program's own copy when the folder's does not read either).
RuleSetInForce ruleSetInForce(const QString& rulesFolder, const QString& remembered);
