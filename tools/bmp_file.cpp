// Whole-file input and output and the picture check of the tools.
#include "tools/bmp_file.h"

#include <stdio.h>

#include "setup/graphics/dib.h"
#include "setup/graphics/lzwgfx.h"

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        *error = path + ": cannot be opened";
        return false;
    }
    bytes->clear();
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes->insert(bytes->end(), buffer, buffer + n);
    bool ok = !ferror(f);
    fclose(f);
    if (!ok) *error = path + ": cannot be read";
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        *error = path + ": cannot be created";
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) *error = path + ": cannot be written";
    return ok;
}

std::string CheckMenuPicture(const std::vector<uint8_t>& file)
{
    if (file.size() < kBmpFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') return "not a BMP file";
    NormalizedDib dib;
    const uint8_t* pixels = nullptr;
    DibStatus status =
        ReadDibHeaderStatus(file.data() + kBmpFileHeaderSize, file.size() - kBmpFileHeaderSize, &dib, &pixels);
    if (status != kDibOk) return DibStatusText(status);
    // The menu takes the pixel bits to follow the colour table directly.
    uint32_t offset = ReadLittleEndian32(file.data() + 10);
    size_t expected = size_t(pixels - file.data());
    if (offset != expected)
        return "the pixel bits do not follow the colour table directly (offset " + std::to_string(offset) +
               ", expected " + std::to_string(expected) + ")";
    return "";
}

std::string DescribePicture(const std::vector<uint8_t>& file)
{
    std::string problem = CheckMenuPicture(file);
    if (!problem.empty()) return "not a picture the menu shows: " + problem;
    NormalizedDib dib;
    const uint8_t* pixels = nullptr;
    ReadDibHeader(file.data() + kBmpFileHeaderSize, file.size() - kBmpFileHeaderSize, &dib, &pixels);
    std::string text = std::to_string(dib.header.width) + " x " + std::to_string(dib.header.height) + ", " +
                       std::to_string(DibBits(dib.header)) + " bits per pixel";
    if (dib.header.clrUsed) text += ", " + std::to_string(dib.header.clrUsed) + " colours";
    return text;
}
