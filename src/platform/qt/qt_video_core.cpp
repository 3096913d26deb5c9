#include "platform/qt/qt_video_core.h"

#include <QVideoFrame>

QImage paintableImage(const QVideoFrame& frame)
{
    QImage image = frame.toImage();
    if (image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    return image;
}

void release(QObject* owner, std::initializer_list<QObject*> objects)
{
    for (QObject* o : objects) {
        if (!o)
            continue;
        o->disconnect(owner);
        o->setParent(nullptr);
        o->deleteLater();
    }
}
