// Helpers for the GIF plug-in tests: GIF files built byte by byte, an LZW
// code packer and a plain LZW encoder for their image data, the decoding
// rules transcribed one step at a time, and access to a file's pixels,
// colormap and profile.
#ifndef KEL_TESTS_GIF_TEST_SUPPORT_H
#define KEL_TESTS_GIF_TEST_SUPPORT_H

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "lib/file_test_support.h"

using Bytes = std::vector<unsigned char>;

// A GIF file under construction.
class GifBytes {
public:
    GifBytes& byte(int b)
    {
        data.push_back((unsigned char)b);
        return *this;
    }
    GifBytes& bytes(const Bytes& b)
    {
        data.insert(data.end(), b.begin(), b.end());
        return *this;
    }
    GifBytes& text(const std::string& s)
    {
        for (char ch : s)
            data.push_back((unsigned char)ch);
        return *this;
    }
    GifBytes& word(int v) { return byte(v & 0xff).byte((v >> 8) & 0xff); }
    // Signature and logical screen; a global table of 2^globalBits entries
    // (table(bits)) when globalBits > 0.
    GifBytes& header(int width, int height, int globalBits, const char* sig = "GIF89a", int background = 0,
                     int aspect = 0)
    {
        text(sig).word(width).word(height);
        byte(globalBits > 0 ? 0x80 | 0x70 | (globalBits - 1) : 0).byte(background).byte(aspect);
        return globalBits > 0 ? table(globalBits) : *this;
    }
    // Entry i is (i, 255 - i, i * 7): every entry differs.
    static int red(int i) { return i & 0xff; }
    static int green(int i) { return (255 - i) & 0xff; }
    static int blue(int i) { return (i * 7) & 0xff; }
    GifBytes& table(int bits)
    {
        for (int i = 0; i < 1 << bits; ++i)
            byte(red(i)).byte(green(i)).byte(blue(i));
        return *this;
    }
    // `payload` in sub-blocks of `blockLen`, then the 0 terminator.
    GifBytes& subBlocks(const Bytes& payload, size_t blockLen = 255, bool terminate = true)
    {
        for (size_t i = 0; i < payload.size(); i += blockLen) {
            size_t n = std::min(blockLen, payload.size() - i);
            byte(int(n));
            data.insert(data.end(), payload.begin() + long(i), payload.begin() + long(i + n));
        }
        return terminate ? byte(0) : *this;
    }
    GifBytes& graphicControl(int packed, int delay, int trans)
    {
        return byte(0x21).byte(0xF9).byte(4).byte(packed).word(delay).byte(trans).byte(0);
    }
    GifBytes& application(const std::string& id, const std::vector<Bytes>& blocks)
    {
        byte(0x21).byte(0xFF).byte(int(id.size())).text(id);
        for (const Bytes& b : blocks)
            byte(int(b.size())).bytes(b);
        return byte(0);
    }
    GifBytes& comment(const std::string& s = "a comment")
    {
        byte(0x21).byte(0xFE);
        return subBlocks(Bytes(s.begin(), s.end()));
    }
    GifBytes& descriptor(int left, int top, int width, int height, int packed)
    {
        return byte(',').word(left).word(top).word(width).word(height).byte(packed);
    }
    // A descriptor, optionally a local table, and the image data: code size
    // and `codes` in sub-blocks.
    GifBytes& image(int width, int height, int codeSize, const Bytes& codes, int localBits = 0, int left = 0,
                    int top = 0, bool interlace = false)
    {
        descriptor(left, top, width, height, (localBits ? 0x80 | (localBits - 1) : 0) | (interlace ? 0x40 : 0));
        if (localBits)
            table(localBits);
        return byte(codeSize).subBlocks(codes);
    }
    GifBytes& trailer() { return byte(';'); }

    std::string write(const ScratchDir& dir, const char* name) const
    {
        return dir.write(name, std::string(data.begin(), data.end()));
    }

    Bytes data;
};

// Codes packed least significant bit first; each pair is (code, width).
inline Bytes packCodes(const std::vector<std::pair<int, int>>& codes)
{
    Bytes out;
    unsigned long long acc = 0;
    int bits = 0;
    for (const auto& c : codes) {
        acc |= (unsigned long long)c.first << bits;
        bits += c.second;
        while (bits >= 8) {
            out.push_back((unsigned char)acc);
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back((unsigned char)acc);
    return out;
}

// A plain LZW encoder (a dictionary of strings), starting with a clear code
// and clearing again when 4096 codes are in use.
Bytes lzwEncode(const Bytes& pixels, int codeSize);

// The hashed encoder's rules, one step at a time: the data sub-blocks of
// the image (without their terminator) for codes starting init_bits wide.
// `evictions` counts the string "0 0" lost to a probe that ended on it.
Bytes referenceEncode(const Bytes& pixels, int width, int height, bool interlace, int init_bits,
                      int* evictions = nullptr);

// The decoding rules, one step at a time. `data` starts with the code size
// byte; the page gets `count` pixels, 0 where nothing was decoded.
struct ReferenceResult {
    bool badFormat = false; // a code size the decoder refuses
    Bytes page;
    int warnings = 0;
    bool tableFilled = false; // 4096 codes were in use at some point
    int clearCodes = 0;       // clear codes in the stream
};
ReferenceResult referenceDecode(const Bytes& data, size_t count);

// The blocks of a GIF file as written.
struct GifBlock {
    int kind = 0;              // '!' or ','
    int label = 0;             // an extension's label; an image's packed byte
    Bytes fields;              // an image's descriptor fields (9 bytes)
    Bytes table;               // an image's local table
    int codeSize = -1;         // an image's code size byte
    std::vector<size_t> sizes; // sub-block sizes
    Bytes payload;             // the sub-blocks' bytes
};
struct GifLayout {
    Bytes screen;  // signature, screen descriptor and global table
    std::vector<GifBlock> blocks;
    size_t trailerOffset = 0; // 0: no trailer
    size_t afterTrailer = 0;  // bytes after the trailer
};
GifLayout parseGif(const Bytes& file);

// One image of an animation and its settings.
struct Frame {
    int width, height, left, top, delay, disposal, trans, entries;
    bool interlace, input;
    Bytes pixels;
};

struct Animation {
    int loops; // -1: no looping extension
    std::vector<Frame> frames;
};

// Up to 4 frames of random sizes, settings and tables of 2..256 entries.
Animation randomAnimation(std::mt19937& rng);
// Entry i of frame n's table; frames differ in their colors.
int colorOf(int frame, int i, int c);
// The least b >= 1 with 2^b >= count.
int BitsOf(int count);
// Writes the animation with a logical screen of 120 x 90.
void writeWithKel(const std::string& path, const Animation& a);
// Reads the file and expects the animation: pixels, colors and settings.
void expectKelReads(const std::string& path, const Animation& a);

// n random pixels below `colors`.
inline Bytes noise(size_t n, unsigned seed, int colors = 256)
{
    std::mt19937 rng(seed);
    Bytes pixels(n);
    for (unsigned char& p : pixels)
        p = (unsigned char)(rng() % unsigned(colors));
    return pixels;
}

// Opening; the status goes into `sts`.
inline kelFile* openGif(const std::string& path, kelStatus& sts, int mode = O_RDONLY)
{
    sts = -1;
    return kelFile::open(path.c_str(), mode, &sts);
}

// A new file of one width x height image.
inline kelFile* createGif(const std::string& path, int width, int height, kelStatus& sts)
{
    kelSize dims(width, height, 1, 1);
    kelFileConfig cfg(&dims);
    sts = -1;
    return kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
}

// A colormap of `entries` R, G, B (and alpha 255) entries; entry i is
// (3i, 5i, 7i) modulo 256.
inline kelColormap makeColormap(int entries, int channels = 3, int first = 0)
{
    kelColormap map(channels, kelUChar, first, first + entries - 1);
    for (int i = first; i < first + entries; ++i)
        for (int c = 0; c < channels; ++c)
            map.setVal(c == 3 ? 255 : ((3 + 2 * c) * i) & 0xff, i, c);
    return map;
}

// The current image's pixels through getTile in the file's own layout.
inline Bytes readPixels(kelFile* f, kelStatus& sts)
{
    kelSize s;
    f->getSize(s, f->getOrientation());
    Bytes page(size_t(s.x) * size_t(s.y), 0xEE);
    sts = f->getTile(0, 0, 0, s.x, s.y, 1, page.data());
    return page;
}

// The R, G, B bytes of the colormap's entries, and its channel count.
inline Bytes colormapRGB(const kelColormap* map, int* channels = nullptr)
{
    Bytes rgb;
    if (channels)
        *channels = map ? map->getNumChans() : 0;
    for (int i = 0; map && i < map->getLength(); ++i)
        for (int c = 0; c < 3; ++c)
            rgb.push_back((unsigned char)map->getVal(i, c));
    return rgb;
}

inline int intItem(kelFile* f, int tag, kelStatus& sts)
{
    int v = -12345;
    sts = f->getItem(tag, &v);
    return v;
}

// The ICC services of a file, which the interface version keeps from
// callers, reached through the plug-in's own implementation.
struct ICCAccess : kelFile {
    static kelStatus get(kelFile* f, int& size, void*& profile)
    {
        return (f->*(&ICCAccess::_getICCProfile))(size, profile);
    }
    static kelStatus set(kelFile* f, int size, const void* profile)
    {
        return (f->*(&ICCAccess::_setICCProfile))(size, profile);
    }
    static kelStatus release(kelFile* f, void* profile) { return (f->*(&ICCAccess::_freeICCProfile))(profile); }
};

// A test name from a case's description.
template <class Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = info.param.what; *p; ++p)
        name += isalnum((unsigned char)*p) ? *p : '_';
    return name;
}

// Warnings and errors are collected instead of printed (or ending the test).
class QuietMessages {
public:
    QuietMessages() : guard(CapturedMessages::handler, &messages) {}
    CapturedMessages messages;

private:
    kelSetLocalErrorHandler guard;
};

#endif
