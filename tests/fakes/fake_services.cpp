#include "fakes/fake_services.h"

#include <stdexcept>

namespace {
// Takes the next scripted answer; an empty script or a std::nullopt entry means cancel.
std::optional<QString> takeAnswer(std::deque<std::optional<QString>>& answers)
{
    if (answers.empty())
        return std::nullopt;
    const bool cancel = !answers.front().has_value();
    const QString text = cancel ? QString() : *answers.front();
    answers.pop_front();
    if (cancel)
        return std::nullopt;
    return text;
}

QString settingsPath(const QString& a, const QString& s, const QString& k)
{
    return a + "/" + s + "/" + k;
}
} // namespace

std::optional<QString> FakeSettingsStore::value(const QString& application, const QString& section,
                                                const QString& key) const
{
    const auto it = values.find(settingsPath(application, section, key));
    if (it == values.end())
        return std::nullopt;
    return *it;
}

bool FakeSettingsStore::setValue(const QString& application, const QString& section,
                                 const QString& key, const QString& value, QString* error)
{
    ++writes;
    if (failWrites) {
        if (error)
            *error = QStringLiteral("the settings store is read-only");
        return false;
    }
    values[settingsPath(application, section, key)] = value;
    return true;
}

std::optional<QString> FakeFileDialog::choose(const FileDialogRequest& request)
{
    requests.push_back(request);
    return takeAnswer(answers);
}

void FakeMessageBoxes::show(const QString& text, const QString& title, MessageIcon icon)
{
    shown.push_back({text, title, icon});
}

bool FakeMessageBoxes::askYesNo(const QString& text, const QString&)
{
    questions.push_back(text);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeMessageBoxes::input(const QString& prompt, const QString&,
                                               const QString&)
{
    prompts.push_back(prompt);
    return takeAnswer(inputs);
}

FakeHiResTimer& FakeHiResTimerFactory::timer(const QString& role) const
{
    FakeHiResTimer* found = nullptr;
    for (FakeHiResTimer* t : timers) {
        if (t->role != role)
            continue;
        if (found)
            throw std::logic_error("two live timers for the role " + role.toStdString());
        found = t;
    }
    if (!found)
        throw std::logic_error("no live timer for the role " + role.toStdString());
    return *found;
}
