#pragma once
// Finding the pylon in a decoded grey frame, to check a rendered video against the camera.

#include "camera_model/camera_model.h"
#include "camera_model/tow_boat.h"

#include <QtGlobal>
#include <optional>

// How far the pylon in a grey picture stands from where the camera puts its axis, in pixels
// (positive: to the right), measured on the rows where it stands out against the water
// behind it: between the windshield and its top. None when those rows are out of the picture
// or show no dark post.
std::optional<double> pylonOffset(const uchar* grey, int stride, int width, int height,
                                  const PinholeCamera& camera, const BoatPose& boat);
