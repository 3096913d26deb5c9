#include "support/kept_files.h"

#include "fakes/fake_services.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Copies of the built-in pictures and videos: the program never writes them.
bool builtInCopy(const QString& relative)
{
    return relative.startsWith(QLatin1String("pictures/")) ||
           relative.startsWith(QLatin1String("videos/"));
}

QByteArray withLabels(QByteArray bytes, const std::vector<KeptFolder>& folders)
{
    for (const KeptFolder& f : folders)
        if (!f.path.isEmpty())
            bytes.replace(f.path.toUtf8(), "<" + f.label.toUtf8() + ">");
    return bytes;
}

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile out(path);
    if (out.open(QIODevice::WriteOnly))
        out.write(bytes);
}

} // namespace

void keepTestFiles(const FakeServices& fake, const std::vector<KeptFolder>& folders)
{
    const QString root = qEnvironmentVariable("WAKELINE_KEEP_TEST_FILES");
    if (root.isEmpty())
        return;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!test)
        return;
    QString name =
        QString::fromUtf8(test->test_suite_name()) + '.' + QString::fromUtf8(test->name());
    const QDir target(QDir(root).filePath(name.replace('/', '_')));

    for (const KeptFolder& f : folders) {
        if (f.path.isEmpty())
            continue;
        const QDir source(f.path);
        QDirIterator it(f.path, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = source.relativeFilePath(file);
            if (builtInCopy(relative))
                continue;
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly))
                continue;
            write(target.filePath(f.label + '/' + relative), withLabels(in.readAll(), folders));
        }
    }

    QString seen;
    for (const ShownMessage& m : fake.messages.shown)
        seen += QStringLiteral("message %1 [%2]: %3\n").arg(int(m.icon)).arg(m.title, m.text);
    for (const QString& q : fake.messages.questions)
        seen += QStringLiteral("question: %1\n").arg(q);
    for (const QString& p : fake.messages.prompts)
        seen += QStringLiteral("prompt: %1\n").arg(p);
    for (const FileDialogRequest& r : fake.fileDialog.requests)
        seen += QStringLiteral("dialog %1 (%2, %3, saving %4): %5\n")
                    .arg(r.title, r.filter)
                    .arg(r.filterIndex)
                    .arg(int(r.forSaving))
                    .arg(r.folder);
    for (auto it = fake.settings.values.cbegin(); it != fake.settings.values.cend(); ++it)
        seen += QStringLiteral("setting %1 = %2\n").arg(it.key(), it.value());
    write(target.filePath(QStringLiteral("platform.txt")), withLabels(seen.toUtf8(), folders));
}
