#include "picture/ui/video_menu.h"

#include "picture/ui/course_video.h"
#include "platform/file_dialog.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* namedAction(QAction* action, const char* name)
{
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

VideoMenu::VideoMenu(QMenuBar* bar, CourseVideo& video, FileDialog& dialog,
                     const QString& programFolder)
    : QObject(bar), video(video), dialog(dialog), programFolder(programFolder)
{
    mnuVideo = bar->addMenu(QStringLiteral("&Video"));
    mnuVideo->setObjectName(QStringLiteral("mnuVideo"));
    mnuOverlayCard = namedAction(mnuVideo->addAction(QStringLiteral("Overlay card (magenta)")),
                                 "mnuOverlayCard");
    mnuCamera = mnuVideo->addMenu(QStringLiteral("Camera"));
    mnuCamera->setObjectName(QStringLiteral("mnuCamera"));
    mnuVideoFile =
        namedAction(mnuVideo->addAction(QStringLiteral("Video &File...")), "mnuVideoFile");
    for (QAction* a : {mnuOverlayCard, mnuCamera->menuAction(), mnuVideoFile})
        a->setCheckable(true);

    connect(mnuOverlayCard, &QAction::triggered, this, [this] {
        this->video.choose(VideoChoice::overlayCard());
        showChoice();
    });
    connect(mnuVideoFile, &QAction::triggered, this, &VideoMenu::chooseFile);
    connect(mnuCamera, &QMenu::aboutToShow, this, &VideoMenu::listCameras);
    connect(&video, &CourseVideo::choiceChanged, this, &VideoMenu::showChoice);
    // The cameras are listed when the submenu opens (asking the system takes a while).
    showChoice();
}

QString VideoMenu::fileFilter()
{
    const QString types =
        QStringLiteral("*.mp4;*.webm;*.avi;*.mkv;*.mov;*.m4v;*.mpg;*.mpeg;*.mts;*.wmv;*.ogv");
    return QStringLiteral("Video Files (%1)|%1|All Files (*.*)|*.*|").arg(types);
}

void VideoMenu::chooseFile()
{
    // Triggering flips the check; it shows what is in use, not what was asked for.
    showChoice();
    const QDir folder(programFolder);
    FileDialogRequest request;
    request.title = QStringLiteral("Video File");
    request.filter = fileFilter();
    request.filterIndex = 1;
    request.folder = folder.exists(QStringLiteral("videos"))
                         ? folder.filePath(QStringLiteral("videos"))
                         : folder.path();
    if (const std::optional<QString> path = dialog.choose(request))
        video.choose(VideoChoice::ofFile(*path));
}

void VideoMenu::listCameras()
{
    mnuCamera->clear();
    const QStringList cameras = video.cameras();
    if (cameras.isEmpty()) {
        QAction* none =
            namedAction(mnuCamera->addAction(QStringLiteral("No camera found")), "mnuNoCamera");
        none->setEnabled(false);
        return;
    }
    const VideoChoice& inUse = video.choice();
    for (qsizetype i = 0; i < cameras.size(); ++i) {
        QAction* a = mnuCamera->addAction(cameras[i]);
        a->setCheckable(true);
        // An empty name is the default camera, listed first.
        a->setChecked(inUse.kind == VideoChoice::Kind::Camera &&
                      (inUse.camera == cameras[i] || (inUse.camera.isEmpty() && i == 0)));
        connect(a, &QAction::triggered, this, [this, name = cameras[i]] {
            video.choose(VideoChoice::ofCamera(name));
            showChoice();
        });
    }
}

void VideoMenu::showChoice()
{
    const VideoChoice::Kind kind = video.choice().kind;
    mnuOverlayCard->setChecked(kind == VideoChoice::Kind::OverlayCard);
    mnuCamera->menuAction()->setChecked(kind == VideoChoice::Kind::Camera);
    mnuVideoFile->setChecked(kind == VideoChoice::Kind::File);
}
