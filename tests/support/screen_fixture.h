#pragma once
// A started program on the offscreen platform: a temporary program folder, the fakes, the
// program-wide state and the screens, with the start screen loaded.

#include "app/ui/form1.h"
#include "app/ui/program_state.h"
#include "app/ui/screens.h"
#include "fakes/fake_platform.h"
#include "support/kept_files.h"

#include <QDir>
#include <QTemporaryDir>

struct StartedProgram
{
    QTemporaryDir folder;
    FakePlatform fake;
    ProgramState state;
    Screens screens{state, fake.platform};

    StartedProgram() { state.place.folder = folder.path(); }
    ~StartedProgram() { keepTestFiles(fake, {{folder.path(), "program"}}); }
    // Runs the start-up sequence; a "Default" results folder exists unless told otherwise.
    Form1& start(bool withDefaultFolder = true)
    {
        if (withDefaultFolder)
            QDir(folder.path()).mkdir(QStringLiteral("Default"));
        Form1& f = screens.form1();
        f.startUp();
        f.show();
        return f;
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

template <typename T> T* child(QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QString::fromLatin1(name));
}
