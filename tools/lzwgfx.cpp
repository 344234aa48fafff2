// lzwgfx: makes, unpacks and describes the disc menu's LZWGFX picture.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "setup/graphics/lzwgfx.h"
#include "tools/bmp_file.h"
#include "tools/lzwgfx_encoder.h"

namespace {

const char kHelp[] =
    "Usage: lzwgfx COMMAND ARGUMENTS\n"
    "\n"
    "Makes the disc menu's background resource (type LZWGFX) from a BMP file.\n"
    "\n"
    "Commands:\n"
    "  encode [--greedy] IN.bmp OUT   compress IN.bmp into the container OUT; the\n"
    "                                 smallest stream the format allows, or with\n"
    "                                 --greedy the plain longest-match stream\n"
    "  decode IN OUT.bmp              unpack the container IN into a BMP file\n"
    "  info IN                        show the sizes of the container IN and its picture\n"
    "  --help                         show this text\n"
    "\n"
    "Pictures accepted: Windows BMP, uncompressed, bottom-up (positive height),\n"
    "1, 4, 8 or 24 bits per pixel, at most 256 colours, the pixel bits right\n"
    "after the colour table. Anything else is refused with the reason.\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 wrong usage.\n";

int Usage(const char* problem)
{
    fprintf(stderr, "lzwgfx: %s\nTry 'lzwgfx --help'.\n", problem);
    return 2;
}

int Fail(const std::string& problem)
{
    fprintf(stderr, "lzwgfx: %s\n", problem.c_str());
    return 1;
}

// The decoded bytes of a container, with how many the stream really made.
struct Unpacked {
    std::vector<uint8_t> bytes;
    size_t produced = 0;
    size_t streamLength = 0;
    size_t consumed = 0;
};

// Reads the container file at `path` and decodes it.
bool UnpackFile(const char* path, std::vector<uint8_t>* containerBytes, Unpacked* out, std::string* error)
{
    if (!ReadWholeFile(path, containerBytes, error)) return false;
    const std::vector<uint8_t>& container = *containerBytes;
    if (!LzwgfxStreamLength(container.data(), container.size(), &out->streamLength)) {
        *error = std::string(path) + ": not an LZWGFX container: shorter than its 8-byte header";
        return false;
    }
    // The size field is not trusted: a false one would ask for gigabytes.
    uint32_t decodedSize = ReadLittleEndian32(container.data() + 4);
    if (decodedSize > LzwgfxMostDecoded(out->streamLength)) {
        *error = std::string(path) + ": refused: its decoded-size field says " + std::to_string(decodedSize) +
                 " bytes, but its stream of " + std::to_string(out->streamLength) + " bytes can give at most " +
                 std::to_string(LzwgfxMostDecoded(out->streamLength));
        return false;
    }
    out->bytes.assign(decodedSize, 0);
    out->produced = DecodeLzwgfxStream(container.data() + kLzwgfxHeaderSize, out->streamLength, out->bytes.data(),
                                       out->bytes.size(), &out->consumed);
    return true;
}

int Encode(int argc, char** argv)
{
    ParseMode mode = ParseMode::kOptimal;
    int at = 2;
    if (at < argc && strcmp(argv[at], "--greedy") == 0) {
        mode = ParseMode::kGreedy;
        ++at;
    }
    if (argc - at != 2) return Usage("encode needs IN.bmp and OUT");
    std::string error;
    std::vector<uint8_t> picture;
    if (!ReadWholeFile(argv[at], &picture, &error)) return Fail(error);
    std::string problem = CheckMenuPicture(picture);
    if (!problem.empty()) return Fail(std::string(argv[at]) + ": refused: " + problem);
    std::vector<uint8_t> container = EncodeLzwgfx(picture.data(), picture.size(), mode);
    if (!WriteWholeFile(argv[at + 1], container, &error)) return Fail(error);
    printf("%s: %s; %zu bytes into %zu\n", argv[at], DescribePicture(picture).c_str(), picture.size(),
           container.size());
    return 0;
}

int Decode(int argc, char** argv)
{
    if (argc != 4) return Usage("decode needs IN and OUT.bmp");
    std::string error;
    std::vector<uint8_t> container;
    Unpacked unpacked;
    if (!UnpackFile(argv[2], &container, &unpacked, &error)) return Fail(error);
    if (!WriteWholeFile(argv[3], unpacked.bytes, &error)) return Fail(error);
    if (unpacked.produced < unpacked.bytes.size())
        return Fail(std::string(argv[2]) + ": the stream ended after " + std::to_string(unpacked.produced) + " of " +
                    std::to_string(unpacked.bytes.size()) + " bytes (the rest is written as zeros)");
    return 0;
}

int Info(int argc, char** argv)
{
    if (argc != 3) return Usage("info needs IN");
    std::string error;
    std::vector<uint8_t> container;
    Unpacked unpacked;
    if (!UnpackFile(argv[2], &container, &unpacked, &error)) return Fail(error);
    printf("container:    %zu bytes (size field %u)\n", container.size(), ReadLittleEndian32(container.data()));
    printf("stream:       %zu bytes, %zu used\n", unpacked.streamLength, unpacked.consumed);
    printf("decoded size: %zu bytes, %zu produced\n", unpacked.bytes.size(), unpacked.produced);
    printf("picture:      %s\n", DescribePicture(unpacked.bytes).c_str());
    return unpacked.produced == unpacked.bytes.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage("no command given");
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        fputs(kHelp, stdout);
        return 0;
    }
    if (command == "encode") return Encode(argc, argv);
    if (command == "decode") return Decode(argc, argv);
    if (command == "info") return Info(argc, argv);
    return Usage(("unknown command '" + command + "'").c_str());
}
