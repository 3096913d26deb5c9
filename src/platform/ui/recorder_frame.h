#pragma once
// A screen's picture as the recorder takes it: the image itself is shared, not copied, unless
// it is in a form the recorder does not read (then converted once).

#include "platform/pass_recorder.h"

#include <QImage>
#include <memory>

inline RecorderFrame recorderFrame(const QImage& image)
{
    const QImage::Format f = image.format();
    const bool readable = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                          f == QImage::Format_ARGB32_Premultiplied;
    auto shared = std::make_shared<const QImage>(
        readable ? image : image.convertToFormat(QImage::Format_RGB32));
    RecorderFrame frame;
    frame.width = shared->width();
    frame.height = shared->height();
    frame.bytesPerLine = shared->bytesPerLine();
    frame.pixels = shared->constBits();
    frame.owner = std::move(shared);
    return frame;
}
