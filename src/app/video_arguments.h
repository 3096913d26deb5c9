#pragma once
// The video options of the command line: `--video FILE` and `--camera [NAME]` (NAME left out:
// the system's default camera). The camera's name is optional, which QCommandLineParser
// cannot express, so these are taken out of the arguments before it sees them.
//
// How main() uses it:
//   const VideoArguments video = takeVideoArguments(app.arguments(), QDir::currentPath());
//   parser.process(video.remaining);        // the other options, as before
//   if (!video.error.isEmpty()) { report it and stop, as for any bad option }
//   courseVideo.start(video.choice);        // else the remembered choice
// The parser may still list both options for --help; they never reach it.

#include "app/video_choice.h"

#include <QStringList>
#include <optional>

struct VideoArguments
{
    std::optional<VideoChoice> choice; // none when neither option was given
    QStringList remaining;             // every other argument, in order (the program first)
    QString error;                     // the operator's message when the options were misused
};

// Accepts `--video FILE`, `--video=FILE`, `--camera`, `--camera NAME` (a next argument not
// starting with "-") and `--camera=NAME`; the last of repeated options wins; "--" ends the
// options. A relative FILE is taken from `workingFolder` (the folder the program was started
// in: the program moves to its own folder later). Both options together, or --video without
// a file, is an error.
VideoArguments takeVideoArguments(const QStringList& arguments, const QString& workingFolder);
