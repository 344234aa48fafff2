// The LZWGFX decoder and the encoder tool's output.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host_tool.h"
#include "setup/graphics/dib.h"
#include "setup/graphics/lzwgfx.h"
#include "tools/bmp_file.h"
#include "tools/lzwgfx_encoder.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::string Decode(const Bytes& stream, size_t outputSize = 64, size_t* consumed = nullptr)
{
    std::string out(outputSize, '\0');
    size_t n = DecodeLzwgfxStream(stream.data(), stream.size(), reinterpret_cast<uint8_t*>(&out[0]), outputSize,
                                  consumed);
    out.resize(n);
    return out;
}

TEST(LzwgfxDecoder, ItemsLiteralsReferencesAndTheirLengths)
{
    const struct {
        const char* what;
        Bytes stream;
        std::string expected;
    } cases[] = {
        {"flag 0xFF: eight literals", {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, "abcdefgh"},
        {"flag 0x00: eight references of sixteen bytes",
         {0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, std::string(24, ' ')},
        {"length nibble 0: three bytes from the preset spaces", {0x00, 0x00, 0x00}, "   "},
        {"length nibble 0xF: eighteen bytes", {0x00, 0x00, 0x0F}, std::string(18, ' ')},
        // 'A' lands at 4078 (0xFEE); a reference there of 18 repeats it.
        {"overlapping copy repeats the byte just written", {0x01, 'A', 0xEE, 0xFF}, std::string(19, 'A')},
        // After 18 literals the write position is 0; 4094 (0xFFE) length 5 reads
        // 4094, 4095, 0, 1, 2, where 0, 1 and 2 were written by the copy itself.
        {"window positions wrap",
         {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0xFF, 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 0x03, 'q', 'r',
          0xFE, 0xF2},
         "abcdefghijklmnopqrqrqrq"},
        {"a stream ending right after a flag byte", {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x01}, "abcdefgh"},
        {"a stream ending inside a reference", {0x01, 'a', 0x00}, "a"},
        {"a stream ending before a literal", {0x01}, ""},
        {"an empty stream", {}, ""},
    };
    for (const auto& c : cases) {
        size_t consumed = 99;
        EXPECT_EQ(c.expected, Decode(c.stream, 64, &consumed)) << c.what;
        EXPECT_EQ(c.stream.size(), consumed) << c.what;
    }
}

TEST(LzwgfxDecoder, StopsAtTheDecodedSize)
{
    // 24 spaces are encoded; the output holds 10 and nothing past it is touched.
    Bytes stream = {0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    uint8_t out[16];
    memset(out, '#', sizeof out);
    EXPECT_EQ(10u, DecodeLzwgfxStream(stream.data(), stream.size(), out, 10, nullptr));
    EXPECT_EQ(std::string(10, ' ') + std::string(6, '#'), std::string(out, out + 16));
}

TEST(LzwgfxContainer, StreamLengthIsTheSmallerOfTheFieldAndTheRealSize)
{
    const struct {
        uint32_t field;
        size_t resourceSize;
        size_t expected;
    } cases[] = {{20, 20, 12}, {1000, 20, 12}, {16, 20, 8}, {8, 20, 0}, {3, 20, 0}, {0xFFFFFFFF, 9, 1}};
    for (const auto& c : cases) {
        Bytes resource(c.resourceSize, 0);
        for (int k = 0; k < 4; ++k) resource[k] = uint8_t(c.field >> (8 * k));
        size_t length = 77;
        EXPECT_TRUE(LzwgfxStreamLength(resource.data(), resource.size(), &length)) << c.field;
        EXPECT_EQ(c.expected, length) << c.field << " in " << c.resourceSize;
    }
    size_t length = 77;
    EXPECT_FALSE(LzwgfxStreamLength(Bytes(7, 0).data(), 7, &length));
    EXPECT_EQ(77u, length);
}

TEST(LzwgfxContainer, ASizeFieldBeyondTheResourceReadsNothingAfterIt)
{
    // The resource is the header and "ab" as literals; what follows it in
    // memory would decode to more literals if it were read.
    Bytes memory = {0xFF, 0xFF, 0x00, 0x00, 8, 0, 0, 0, 0xFF, 'a', 'b', 'X', 'Y', 'Z', 'W', 'V', 'U'};
    const size_t resourceSize = 11;
    size_t length = 0;
    ASSERT_TRUE(LzwgfxStreamLength(memory.data(), resourceSize, &length));
    uint8_t out[8] = {};
    EXPECT_EQ(2u, DecodeLzwgfxStream(memory.data() + 8, length, out, 8, nullptr));
    EXPECT_EQ(Bytes({'a', 'b', 0, 0, 0, 0, 0, 0}), Bytes(out, out + 8));
}

// A decoder written from the format alone, whose unwritten window positions
// (4078 to 4095) hold a poison byte, so a stream that read them would show.
Bytes ReferenceDecode(const Bytes& container)
{
    uint32_t total = ReadLittleEndian32(container.data());
    Bytes out(ReadLittleEndian32(container.data() + 4));
    uint8_t window[4096];
    memset(window, 0x20, 4078);
    memset(window + 4078, 0xA5, 18);
    size_t in = 8, o = 0;
    unsigned w = 4078;
    while (in < total && o < out.size()) {
        uint8_t flags = container[in++];
        for (int bit = 0; bit < 8 && in < total && o < out.size(); ++bit) {
            if (flags >> bit & 1) {
                out[o++] = window[w] = container[in++];
                w = (w + 1) % 4096;
            } else if (in + 1 < total) {
                unsigned pos = container[in] | (container[in + 1] & 0xF0) << 4, len = (container[in + 1] & 15) + 3;
                in += 2;
                for (unsigned k = 0; k < len && o < out.size(); ++k) {
                    out[o++] = window[w] = window[(pos + k) % 4096];
                    w = (w + 1) % 4096;
                }
            } else {
                in = total;
            }
        }
    }
    return out;
}

Bytes Pattern(size_t n, unsigned alphabet, uint32_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = uint8_t((seed >> 16) % alphabet + (alphabet == 1 ? 0x20 : 'a'));
    }
    return b;
}

TEST(LzwgfxEncoder, RoundTripsWithoutReadingUnwrittenWindowPositions)
{
    std::vector<std::pair<std::string, Bytes>> inputs = {
        {"empty", {}},
        {"one byte", {0}},
        {"zeros", Bytes(10000, 0)},
        {"spaces (the preset)", Bytes(5000, 0x20)},
        {"small alphabet", Pattern(20000, 3, 1)},
        {"all byte values", Pattern(20000, 256, 2)},
        {"longer than the window", Pattern(9000, 2, 3)},
    };
    for (const auto& input : inputs)
        for (ParseMode mode : {ParseMode::kOptimal, ParseMode::kGreedy}) {
            Bytes container = EncodeLzwgfx(input.second.data(), input.second.size(), mode);
            ASSERT_GE(container.size(), 8u);
            EXPECT_EQ(container.size(), ReadLittleEndian32(container.data())) << input.first;
            EXPECT_EQ(input.second, ReferenceDecode(container)) << input.first;
            Bytes out(input.second.size());
            size_t consumed = 0;
            EXPECT_EQ(out.size(), DecodeLzwgfxStream(container.data() + 8, container.size() - 8, out.data(),
                                                     out.size(), &consumed))
                << input.first;
            EXPECT_EQ(container.size() - 8, consumed) << input.first;
            EXPECT_EQ(input.second, out) << input.first;
        }
}

uint32_t Noise(uint32_t x, uint32_t y)
{
    uint32_t v = (x * 73856093u) ^ (y * 19349663u);
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

// The shortest stream by exhaustive search: every item at every step, with
// matches found by scanning the whole simulated window.
size_t ShortestStream(const Bytes& data)
{
    Bytes x(data);
    x.insert(x.begin(), size_t(4078), uint8_t(0x20));
    std::map<std::pair<size_t, int>, size_t> memo;
    std::function<size_t(size_t, int)> best = [&](size_t i, int g) -> size_t {
        if (i == data.size()) return 0;
        auto key = std::make_pair(i, g);
        auto found = memo.find(key);
        if (found != memo.end()) return found->second;
        size_t flag = g == 0 ? 1 : 0;
        size_t result = flag + 1 + best(i + 1, (g + 1) % 8);
        size_t at = 4078 + i;
        for (size_t len = 3; len <= 18 && i + len <= data.size(); ++len)
            for (size_t d = 1; d <= 4096 && d <= at; ++d)
                if (std::equal(x.begin() + long(at - d), x.begin() + long(at - d + len), x.begin() + long(at))) {
                    result = std::min(result, flag + 2 + best(i + len, (g + 1) % 8));
                    break;
                }
        return memo[key] = result;
    };
    return best(0, 0);
}

TEST(LzwgfxEncoder, OptimalParseIsTheShortestStreamAndNeverLongerThanGreedy)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Bytes data = Pattern(24 + seed % 17, 2 + seed % 3, seed);
        if (seed % 5 == 0) data.insert(data.begin(), 7, 0x20);   // something to take from the preset spaces
        Bytes optimal = EncodeLzwgfx(data.data(), data.size(), ParseMode::kOptimal);
        Bytes greedy = EncodeLzwgfx(data.data(), data.size(), ParseMode::kGreedy);
        EXPECT_EQ(ShortestStream(data), optimal.size() - 8) << "seed " << seed;
        EXPECT_LE(optimal.size(), greedy.size()) << "seed " << seed;
    }
}

TEST(LzwgfxEncoder, BeatsGreedyWhereAShorterMatchPaysOff)
{
    // Sparse marks in a zero field: greedy's longest matches end just short of
    // the next mark and leave literals that a shorter match would avoid.
    Bytes data = BuildBmp(1, 128, 128, {0x000000, 0xFFFFFF},
                          [](uint32_t x, uint32_t y) { return Noise(x, y) % 23 == 0 ? 1u : 0u; });
    EXPECT_LT(EncodeLzwgfx(data.data(), data.size(), ParseMode::kOptimal).size(),
              EncodeLzwgfx(data.data(), data.size(), ParseMode::kGreedy).size());
}

TEST(LzwgfxEncoder, PicturesOfEveryHandledKindRoundTrip)
{
    std::vector<uint32_t> grey(256), vga(16), mono = {0x000000, 0xFFFFFF};
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
    for (uint32_t i = 0; i < 16; ++i) vga[i] = Noise(i, 99) & 0xFFFFFF;
    std::vector<std::pair<std::string, Bytes>> pictures = {
        {"default artwork", DrawDefaultArtwork()},
        {"24 bits, odd width", BuildBmp(24, 37, 21, {}, [](uint32_t x, uint32_t y) { return Noise(x, y) & 0xFFFFFF; })},
        {"8 bits", BuildBmp(8, 61, 17, grey, [](uint32_t x, uint32_t y) { return (x * y) % 256; })},
        {"4 bits", BuildBmp(4, 33, 9, vga, [](uint32_t x, uint32_t y) { return (x + y) % 16; })},
        {"1 bit", BuildBmp(1, 45, 13, mono, [](uint32_t x, uint32_t y) { return Noise(x, y) & 1; })},
    };
    for (const auto& p : pictures) {
        EXPECT_EQ("", CheckMenuPicture(p.second)) << p.first;
        Bytes container = EncodeLzwgfx(p.second.data(), p.second.size(), ParseMode::kOptimal);
        EXPECT_EQ(p.second, ReferenceDecode(container)) << p.first;
    }
}

TEST(LzwgfxEncoder, RefusesPicturesTheMenuCannotShowWithTheReason)
{
    Bytes good = BuildBmp(8, 4, 2, {0, 0xFFFFFF}, [](uint32_t x, uint32_t) { return x & 1; });
    Bytes good24 = BuildBmp(24, 1, 1, {}, [](uint32_t, uint32_t) { return 0x123456u; });
    auto patch = [](Bytes b, size_t at, std::vector<uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), b.begin() + long(at));
        return b;
    };
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) { return patch(good, at, bytes); };
    const struct {
        const char* what;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"not a BMP", patched(0, {'P', 'K'}), "not a BMP file"},
        {"32 bits", patched(28, {32}), "only 1, 4, 8 or 24 bits per pixel are supported"},
        {"run-length compressed", patched(30, {1}), "compressed pictures are not supported"},
        {"top-down", patched(22, {0xFE, 0xFF, 0xFF, 0xFF}), "top-down pictures (negative height) are not supported"},
        {"300 colours", patched(46, {0x2C, 0x01}), "the colour table has more than 256 entries"},
        {"a gap before the pixels", patched(10, {70}),
         "the pixel bits do not follow the colour table directly (offset 70, expected 62)"},
        {"cut short", Bytes(good.begin(), good.end() - 1), "the pixel rows are cut short"},
        // 24 bits and these widths: rows that 32 bits count as 0 and as 4 bytes.
        {"rows wrapping to 0 bytes", patch(good24, 18, {0x55, 0x55, 0x55, 0x55}), "the pixel rows are cut short"},
        {"rows wrapping to 4 bytes", patch(good24, 18, {0x56, 0x55, 0x55, 0x55}), "the pixel rows are cut short"},
    };
    EXPECT_EQ("", CheckMenuPicture(good));
    EXPECT_EQ("", CheckMenuPicture(good24));
    for (const auto& c : cases) EXPECT_EQ(c.reason, CheckMenuPicture(c.file)) << c.what;
}

ToolRun RunTool(const std::string& arguments)
{
    return RunHostTool(LZWGFX_TOOL, arguments);
}

TEST(LzwgfxTool, RefusesADecodedSizeItsStreamCannotGive)
{
    // Three stream bytes give at most 27; the field says 28, and 4 GiB.
    std::string path = testing::TempDir() + "lzwgfx_false_size.bin";
    std::string error;
    for (uint32_t field : {28u, 0xFFFFFFFFu}) {
        Bytes container = {11, 0, 0, 0, uint8_t(field), uint8_t(field >> 8), uint8_t(field >> 16),
                           uint8_t(field >> 24), 0x00, 0x00, 0x0F};
        ASSERT_TRUE(WriteWholeFile(path, container, &error));
        for (std::string command : {"info " + path, "decode " + path + " " + path + ".bmp"}) {
            auto [status, out] = RunTool(command);
            EXPECT_EQ(1, status) << command << "\n" << out;
            EXPECT_NE(std::string::npos, out.find("refused: its decoded-size field says " + std::to_string(field) +
                                                  " bytes, but its stream of 3 bytes can give at most 27"))
                << out;
        }
    }
    // 18 bytes from 3 stream bytes are believed.
    Bytes plausible = {11, 0, 0, 0, 18, 0, 0, 0, 0x00, 0x00, 0x0F};
    ASSERT_TRUE(WriteWholeFile(path, plausible, &error));
    EXPECT_EQ(std::string::npos, RunTool("info " + path).out.find("refused"));
    std::remove(path.c_str());
    std::remove((path + ".bmp").c_str());
}

TEST(LzwgfxArtwork, IsTheMenuPictureAndTheSameOnEveryRun)
{
    Bytes art = DrawDefaultArtwork();
    EXPECT_EQ(art, DrawDefaultArtwork());
    ASSERT_EQ(54u + 1464u * 325u, art.size());
    NormalizedDib dib;
    const uint8_t* pixels = nullptr;
    ASSERT_TRUE(ReadDibHeader(art.data() + 14, art.size() - 14, &dib, &pixels));
    EXPECT_EQ(488, dib.header.width);
    EXPECT_EQ(325, dib.header.height);
    EXPECT_EQ(24u, DibBits(dib.header));
    auto pixel = [&](uint32_t x, uint32_t y) {   // 0xRRGGBB, y from the top
        const uint8_t* p = pixels + (324 - y) * 1464 + 3 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    EXPECT_EQ(0x1E6E32u, pixel(487, 324));   // the green field
    EXPECT_EQ(0x1E6E32u, pixel(200, 10));
    EXPECT_EQ(0xFFF2C8u, pixel(70, 70));     // the badge's pale centre
    EXPECT_EQ(0xE8B830u, pixel(70, 40));     // its gold disc
    EXPECT_EQ(0x7A5A14u, pixel(70, 16));     // its rim
    EXPECT_EQ(0x1E6E32u, pixel(70, 10));     // outside it
}

}  // namespace
