#pragma once
// The "&Video" menu of a screen's menu bar, choosing what lies under the screens:
// "Overlay card (magenta)", "Camera" (a submenu listing the system's cameras each time it
// opens, or one disabled "No camera found" entry) and "Video &File..." (the file dialog,
// starting in the program folder's "videos" folder). The choice in use is checked. Every
// screen's menu acts on the one shared CourseVideo.
//
// How a screen uses it:
//   new VideoMenu(menuBar(), courseVideo, platform.fileDialog, programFolder);

#include <QObject>
#include <QString>

class CourseVideo;
class FileDialog;
class QAction;
class QMenu;
class QMenuBar;

class VideoMenu : public QObject
{
    Q_OBJECT
public:
    // Added at the end of the bar; owned by it.
    VideoMenu(QMenuBar* bar, CourseVideo& video, FileDialog& dialog, const QString& programFolder);

    QMenu* menu() const { return mnuVideo; }
    QMenu* cameraMenu() const { return mnuCamera; }
    // The filter list of the file dialog: the common video types, then all files.
    static QString fileFilter();

private:
    void chooseFile();
    void listCameras();
    void showChoice();

    CourseVideo& video;
    FileDialog& dialog;
    QString programFolder;
    QMenu* mnuVideo = nullptr;
    QAction* mnuOverlayCard = nullptr;
    QMenu* mnuCamera = nullptr;
    QAction* mnuVideoFile = nullptr;
};
