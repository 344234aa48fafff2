// Nearest-neighbour scaling of a bottom-up picture into another of the same
// pixel format, with Bresenham stepping over rows and columns.
#pragma once

#include <stdint.h>

#include "setup/graphics/dib.h"

// Scales the source rectangle (inclusive corners, rows counted from the top)
// onto the destination rectangle. Writes that would fall outside the
// destination picture are dropped; the scale stays that of the rectangles.
// Draws nothing when a corner is negative, a source corner lies outside the
// source, or the destination has fewer bits per pixel than the source.
void ScalePicture(int dx0, int dy0, int dx1, int dy1, uint32_t destinationWidth, uint32_t destinationHeight,
                  unsigned destinationBits, uint8_t* destination, int sx0, int sy0, int sx1, int sy1,
                  uint32_t sourceWidth, uint32_t sourceHeight, unsigned sourceBits, const uint8_t* source,
                  const DibColor* sourceColors);

// Scales source columns sx0..sx1 of one row onto destination columns dx0..dx1;
// columns at or beyond `destinationWidth` are not written.
void ScalePictureRow(int dx0, int dx1, uint32_t destinationWidth, unsigned destinationBits, uint8_t* destination,
                     int sx0, int sx1, unsigned sourceBits, const uint8_t* source, const DibColor* sourceColors);
