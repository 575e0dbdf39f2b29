#pragma once
// The shot sprite: a light arrow pointing up, 10 x 15 logical pixels, on a
// transparent background. At a device-pixel ratio of 1 it is the hand-set
// pixel pattern; above 1 the same shape is drawn as outlines at device
// pixels, so it stays sharp rather than a blown-up bitmap.

#include <QImage>

QImage MakeArrowSprite(qreal Ratio = 1);
