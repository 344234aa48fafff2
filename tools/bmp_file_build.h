// BuildBmp, declared in bmp_file.h.
#pragma once

inline void PutBmp32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k) out[at + k] = uint8_t(v >> (8 * k));
}

template <class PixelFunction>
std::vector<uint8_t> BuildBmp(unsigned bits, uint32_t width, uint32_t height, const std::vector<uint32_t>& colors,
                              PixelFunction pixel)
{
    uint32_t stride = uint32_t((uint64_t(bits) * width + 31) / 32 * 4);
    size_t table = bits == 24 ? 0 : 4 * colors.size();
    size_t offset = 14 + 40 + table;
    std::vector<uint8_t> out(offset + size_t(stride) * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutBmp32(out, 2, uint32_t(out.size()));
    PutBmp32(out, 10, uint32_t(offset));
    PutBmp32(out, 14, 40);
    PutBmp32(out, 18, width);
    PutBmp32(out, 22, height);
    out[26] = 1;
    out[28] = uint8_t(bits);
    PutBmp32(out, 34, uint32_t(size_t(stride) * height));
    PutBmp32(out, 38, 2834);
    PutBmp32(out, 42, 2834);
    PutBmp32(out, 46, bits == 24 ? 0 : uint32_t(colors.size()));
    for (size_t i = 0; i < colors.size() && bits != 24; ++i) {
        out[54 + 4 * i] = uint8_t(colors[i]);
        out[54 + 4 * i + 1] = uint8_t(colors[i] >> 8);
        out[54 + 4 * i + 2] = uint8_t(colors[i] >> 16);
    }
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = out.data() + offset + size_t(height - 1 - y) * stride;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t v = pixel(x, y);
            switch (bits) {
            case 1: row[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t(x % 2 ? v & 0xF : (v & 0xF) << 4); break;
            case 8: row[x] = uint8_t(v); break;
            default:
                row[3 * x] = uint8_t(v);
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v >> 16);
            }
        }
    }
    return out;
}
