// Benchmark, not a test: the optimal encoder against a greedy longest-match
// encoder of the same format (output size and time), and the decoder's time,
// on the default artwork, a few made-up pictures and any BMP files named.
#include <stdio.h>

#include <chrono>
#include <string>
#include <vector>

#include "setup/graphics/lzwgfx.h"
#include "tools/bmp_file.h"
#include "tools/lzwgfx_encoder.h"

namespace {

struct Picture {
    std::string name;
    std::vector<uint8_t> bytes;
};

// A small fixed pseudo-random sequence, so every run measures the same pictures.
uint32_t Noise(uint32_t x, uint32_t y)
{
    uint32_t v = x * 73856093u ^ y * 19349663u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ v >> 15;
}

std::vector<Picture> MadeUpPictures()
{
    std::vector<Picture> pictures;
    pictures.push_back({"default artwork 488x325x24", DrawDefaultArtwork()});
    pictures.push_back({"gradient with noise 488x325x24", BuildBmp(24, 488, 325, {}, [](uint32_t x, uint32_t y) {
                            uint32_t n = Noise(x, y) % 9;
                            return (x * 255 / 487 + n / 3) << 16 | (y * 255 / 324) << 8 | (128 + n);
                        })});
    std::vector<uint32_t> grey(256);
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
    pictures.push_back({"rings 640x480x8", BuildBmp(8, 640, 480, grey, [](uint32_t x, uint32_t y) {
                            int dx = int(x) - 320, dy = int(y) - 240;
                            return uint32_t(dx * dx + dy * dy) / 97 % 256;
                        })});
    std::vector<uint32_t> vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    pictures.push_back({"diagonal bands 640x480x4", BuildBmp(4, 640, 480, vga, [](uint32_t x, uint32_t y) {
                            return (x + 2 * y) / 24 % 16;
                        })});
    pictures.push_back({"sparse noise 640x480x1", BuildBmp(1, 640, 480, {0x000000, 0xFFFFFF}, [](uint32_t x, uint32_t y) {
                            return Noise(x, y) % 23 == 0 ? 1u : 0u;
                        })});
    return pictures;
}

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class F>
double Time(F f)
{
    auto start = std::chrono::steady_clock::now();
    f();
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<Picture> pictures = MadeUpPictures();
    for (int i = 1; i < argc; ++i) {
        Picture p{argv[i], {}};
        std::string error;
        if (!ReadWholeFile(argv[i], &p.bytes, &error)) {
            fprintf(stderr, "lzwgfx_bench: %s\n", error.c_str());
            return 1;
        }
        pictures.push_back(p);
    }

    printf("%-32s %9s | %9s %9s | %9s %9s | %7s | %10s\n", "picture", "bytes", "optimal", "ms", "greedy", "ms",
           "saved", "decode ms");
    for (const Picture& p : pictures) {
        std::vector<uint8_t> optimal, greedy;
        double optimalMs = Time([&] { optimal = EncodeLzwgfx(p.bytes.data(), p.bytes.size(), ParseMode::kOptimal); });
        double greedyMs = Time([&] { greedy = EncodeLzwgfx(p.bytes.data(), p.bytes.size(), ParseMode::kGreedy); });

        // Decode the optimal stream repeatedly for a stable figure per decode.
        std::vector<uint8_t> decoded(p.bytes.size());
        int runs = 0;
        bool same = true;
        double total = 0;
        while (total < 300 || runs < 5) {
            total += Time([&] {
                DecodeLzwgfxStream(optimal.data() + kLzwgfxHeaderSize, optimal.size() - kLzwgfxHeaderSize,
                                   decoded.data(), decoded.size(), nullptr);
            });
            same = same && decoded == p.bytes;
            ++runs;
        }
        double saved = 100.0 * (double(greedy.size()) - double(optimal.size())) / double(greedy.size());
        printf("%-32s %9zu | %9zu %9.1f | %9zu %9.1f | %6.2f%% | %10.3f%s\n", p.name.c_str(), p.bytes.size(),
               optimal.size(), optimalMs, greedy.size(), greedyMs, saved, total / runs, same ? "" : "  DECODE MISMATCH");
    }
    return 0;
}
