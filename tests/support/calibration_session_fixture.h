#pragma once
// A calibration session over state owners of its own, without widgets: temporary program and
// results folders (the program folder with the built-in files, as the first start copies
// them), the fake clock, and the session entered as the screen is entered. What it says goes
// to the fake message boxes and what it announces is recorded; when it goes, its folders are
// kept for comparing two builds (support/kept_files.h) and the working folder is back where
// the test started.

#include "app/program_folder.h"
#include "calibration/calibration_session.h"
#include "fakes/fake_services.h"
#include "support/kept_files.h"
#include "support/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class CalibrationSessionTest : public testing::Test
{
protected:
    // The display the screen tests run on: the perspective check measures against it.
    static constexpr int kScreenWidth = 1024;

    CalibrationSessionTest()
    {
        EXPECT_EQ(installBuiltInResources(programFolder), QStringList());
        run.resultsFolder = results.path();
        QObject::connect(&session, &CalibrationSession::message,
                         [this](const QString& text, const QString& title, MessageIcon icon) {
                             fake.messages.show(text, title, icon);
                         });
        QObject::connect(&session, &CalibrationSession::completeChanged,
                         [this](bool complete) { shownComplete.push_back(complete); });
        QObject::connect(&session, &CalibrationSession::marksDrawn,
                         [this](const OverlayShapes& shapes) { marksDrawn.push_back(shapes); });
        QObject::connect(&session, &CalibrationSession::drawingCleared,
                         [this] { ++drawingClears; });
        session.activate();
    }
    ~CalibrationSessionTest() override
    {
        keepTestFiles(fake, {{folder.path(), "program"}, {results.path(), "results"}});
        QDir::setCurrent(startFolder);
    }

    QString programFile(const QString& name) const { return QDir(programFolder).filePath(name); }
    QString resultFile(const QString& name) const { return results.filePath(name); }

    // Loading as the screen loads: the chooser's request, then the chosen file.
    bool load(const QString& path, int pictureWidth = kScreenWidth)
    {
        const auto request = session.startLoad();
        EXPECT_TRUE(request);
        return request && session.loadSetup(path, pictureWidth);
    }
    bool loadStandard(const QString& name = QStringLiteral("SlalomOK.ipt"))
    {
        return load(programFile(name));
    }
    // Saving as the screen saves: refused before any chooser, or the chosen file written.
    bool save(const QString& path, const QString& description)
    {
        if (!session.startSave())
            return false;
        session.saveSetup(path, description);
        return true;
    }
    // A click at a picture pixel with the buoy selected: 15 twips to the pixel.
    void mark(std::optional<Buoy> buoy, int x, int y)
    {
        session.markAt(buoy, {x * 15.0, y * 15.0});
    }
    // The four buoys of a plausible slalom picture, clicked.
    void markFour()
    {
        mark(Buoy::UpperRight, 420, 250);
        mark(Buoy::LowerRight, 560, 520);
        mark(Buoy::UpperLeft, 360, 250);
        mark(Buoy::LowerLeft, 300, 520);
    }
    // A box typed over and the edit finished (Enter or the focus gone).
    void type(CoordinateBox box, const QString& text)
    {
        session.editBox(box, text);
        session.finishTypedMark(box);
    }

    QStringList journalLines() const
    {
        QFile f(resultFile(QStringLiteral("results_file.txt")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    static QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    const QString startFolder = QDir::currentPath();
    QTemporaryDir folder;  // the program folder
    QTemporaryDir results; // the results folder
    const QString programFolder = folder.path();
    FakeServices fake;
    Calibration calibration;
    GridSlots slots;
    DisplaySettings display;
    RunInfo run;
    CalibrationSession session{{calibration, slots, display, run, fake.clock, programFolder}};

    std::vector<bool> shownComplete; // each change of the smiley, in order
    std::vector<OverlayShapes> marksDrawn;
    int drawingClears = 0;
};
