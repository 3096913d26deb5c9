#include "platform/qt/qt_video_source.h"

#include "platform/qt/qt_camera_source.h"
#include "platform/qt/qt_video_file.h"

#include <QCameraDevice>
#include <QMediaDevices>

QStringList QtVideoSources::cameras() const
{
    QStringList names;
    const QCameraDevice fallback = QMediaDevices::defaultVideoInput();
    if (!fallback.isNull())
        names << fallback.description();
    for (const QCameraDevice& d : QMediaDevices::videoInputs())
        if (d != fallback)
            names << d.description();
    return names;
}

std::unique_ptr<VideoSource> QtVideoSources::openCamera(const QString& description)
{
    return std::make_unique<QtCameraSource>(description, clock);
}

std::unique_ptr<VideoFile> QtVideoSources::openFile(const QString& path)
{
    return std::make_unique<QtVideoFile>(path, clock, endProbeLimitMs);
}
