#include "course_display/background_picture.h"

#include <QDir>
#include <QFileInfo>

QString pictureFolder(const QString& programFolder)
{
    return QDir(programFolder).filePath(QLatin1String(kPictureFolderName));
}

PictureLoadStart startPictureLoad(const QString& programFolder)
{
    const QString folder = pictureFolder(programFolder);
    if (programFolder.isEmpty() || !QDir().mkpath(folder))
        return QString::fromLatin1(kInvalidPicturePathMessage);
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return QString::fromLatin1(kInvalidPicturePathMessage);
    FileDialogRequest request;
    request.title = QStringLiteral("Load Picture");
    request.filter = QString::fromLatin1(kPictureFilter);
    request.filterIndex = kPictureFilterIndex;
    request.folder = folder;
    return request;
}
