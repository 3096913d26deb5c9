#pragma once
// Pictures from files and the clipboard (screens only: the image type is QtGui's).

#include <QImage>
#include <QString>

class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // A null image when the file cannot be read as a picture.
    virtual QImage load(const QString& path) = 0;
    // A null image when the clipboard holds no picture.
    virtual QImage clipboardImage() = 0;
};
