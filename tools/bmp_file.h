// Reading and writing whole files, and checking that a BMP file is one the
// disc menu can show.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// Empty when the file is a picture the menu handles, else why not.
std::string CheckMenuPicture(const std::vector<uint8_t>& file);

// A one-line description of the picture in a BMP file.
std::string DescribePicture(const std::vector<uint8_t>& file);

// A bottom-up BMP file with a 40-byte info header. `pixel(x, y)` (y from the
// top) gives a colour index for 1, 4 and 8 bits, or 0xRRGGBB for 24 bits.
template <class PixelFunction>
std::vector<uint8_t> BuildBmp(unsigned bits, uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                              PixelFunction pixel);

// The menu's default artwork: 488 × 325, 24 bits, a plain green field with a
// round badge in the upper left corner. The same bytes on every run.
std::vector<uint8_t> DrawDefaultArtwork();

#include "tools/bmp_file_build.h"
