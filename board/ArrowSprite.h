#pragma once
// The shot sprite: a light arrow pointing up, 10 x 15 pixels, on a
// transparent background.

#include <QImage>

QImage MakeArrowSprite();
