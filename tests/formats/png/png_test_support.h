// Helpers of the PNG plug-in tests: opening and creating files, whole
// images and their digests, items, and peers run as programs.
#ifndef KEL_TESTS_PNG_TEST_SUPPORT_H
#define KEL_TESTS_PNG_TEST_SUPPORT_H

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lib/file_test_support.h"

using Bytes = std::vector<unsigned char>;

inline kelFile* openPng(const std::string& path, kelStatus& sts)
{
    sts = -1;
    return kelFile::open(path.c_str(), O_RDONLY, &sts);
}

// The bytes of the whole image in the file's own layout.
inline size_t imageBytes(kelFile* f)
{
    kelSize s = storedSize(f);
    size_t elements = size_t(s.x) * size_t(s.y) * size_t(s.c);
    return f->getDataType() == kelBit ? (elements + 7) / 8 : elements * kelDataSize(f->getDataType(), 1);
}

inline Bytes readImage(kelFile* f, kelStatus& sts, const kelConfig* config = nullptr)
{
    kelSize s = storedSize(f);
    Bytes pixels(imageBytes(f), 0xEE);
    sts = f->getTile(0, 0, 0, s.x, s.y, 1, pixels.data(), config);
    return pixels;
}

std::string sha256(const Bytes& bytes);

// The items of a file as libpng's expectations write them (gamma, sbit,
// background, transparent, chromaticities, srgb_intent, resolution, time,
// icc_length, and the texts of the keywords `want` names), and its palette.
nlohmann::json pngItems(kelFile* f, const nlohmann::json& want);
nlohmann::json pngPalette(kelFile* f);

// Runs a shell command; its standard output, and whether it exited 0.
bool runCommand(const std::string& command, std::string& output);

// Whether a peer program can be used; outside CI a missing one skips.
bool havePeer(const std::string& probe);

// Warnings and errors are collected instead of printed (or ending the test).
class QuietMessages {
public:
    QuietMessages() : guard(CapturedMessages::handler, &messages) {}
    CapturedMessages messages;

private:
    kelSetLocalErrorHandler guard;
};

#endif
