#pragma once
// The still picture of the course the operator put behind the calibration screen ("Setup
// Picture"). One per program, held by Screens and shown by the calibration and measurement
// screens alike, so a calibration can be checked on the measurement screen against it.

#include <QImage>
#include <QObject>

class CoursePicture : public QObject
{
    Q_OBJECT
public:
    const QImage& image() const { return picture; }
    // A null image clears the picture (the magenta key colour shows again).
    void setImage(const QImage& image);

Q_SIGNALS:
    void changed(const QImage& image);

private:
    QImage picture;
};
