#pragma once
// A pinhole camera looking at a course, as described by resources/camera/*.json (see the
// README there). Used to make the standard setup files and to render course pictures that
// match them.
//
// Course frame: metres; x across the course, y along it, z up, the water at z = 0. As the
// camera sees the course, x grows to the left and y grows away from the camera (the far
// gates are at y = 0, the near gates at y = -259 for slalom, -280 for jump).
// Picture frame: pixels; u to the right, v downward, (0, 0) the top left corner of the
// picture. A mouse click on pixel column i, row j is reported as (15 i, 15 j) twips, so
// pixel (i, j) of a rendered picture shows the ray through (u, v) = (i, j).

#include <QString>
#include <map>
#include <optional>

struct CourseVector
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct PicturePoint
{
    double u = 0.0;
    double v = 0.0;
};

struct PinholeCamera
{
    CourseVector position;   // the lens centre, course metres (z = height above the water)
    double headingDeg = 0.0; // optical axis turned from +y toward +x, degrees
    double tiltDeg = 0.0;    // optical axis below the horizontal, degrees
    double focalLengthPx = 1000.0;
    PicturePoint principalPoint{512.0, 384.0};

    // Unit vectors of the camera: forward along the optical axis, right and down in the picture.
    CourseVector forward() const;
    CourseVector right() const;
    CourseVector down() const;
    // Where a course point appears in the picture; none when it is not in front of the lens.
    std::optional<PicturePoint> project(const CourseVector& point) const;
    // The ray through a picture point (a direction from the lens centre, not normalised).
    CourseVector rayThrough(const PicturePoint& p) const;
    // The same with forward(), right() and down() given, for a renderer that traces millions of
    // rays through one camera.
    CourseVector rayThrough(const PicturePoint& p, const CourseVector& f, const CourseVector& r,
                            const CourseVector& d) const;
};

struct CameraDescription
{
    int widthPx = 1024;
    int heightPx = 768;
    std::map<QString, PinholeCamera> cameras; // by course: "slalom", "jump"
};

// The same camera for a picture of another size: the focal length and the principal point's
// offset from the picture centre scale by the factor that keeps the whole original view in the
// new picture (a wider picture sees more at the sides, a taller one more above and below).
PinholeCamera scaledCamera(const PinholeCamera& camera, int fromWidth, int fromHeight, int toWidth,
                           int toHeight);

// Reads the JSON description; none, with the reason in *error, when it is not usable.
std::optional<CameraDescription> loadCameraDescription(const QString& path, QString* error);
