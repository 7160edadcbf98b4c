#include "gif_test_support.h"

#include <stdlib.h>

#include <map>

namespace {

// The tests use the build tree's database, also when run by hand.
class DatabaseEnvironment : public ::testing::Environment {
public:
    void SetUp() override { setenv("KEL_DATABASE", KEL_TEST_DATABASE, 0); }
};
const ::testing::Environment* const databaseEnvironment =
    ::testing::AddGlobalTestEnvironment(new DatabaseEnvironment);

} // namespace

// The decoder makes an entry for every code but the first after a clear,
// and widens the codes when that entry passes the current width; the
// encoder follows the same count.
Bytes lzwEncode(const Bytes& pixels, int codeSize)
{
    const int clear = 1 << codeSize;
    std::vector<std::pair<int, int>> codes;
    std::map<std::pair<int, int>, int> dict;
    int width = codeSize + 1, next = clear + 2, decoderAvail = clear + 2;
    bool first = true;
    auto emit = [&](int code) {
        codes.push_back({code, width});
        if (first) {
            first = false;
            return;
        }
        if (decoderAvail < 4096 && ++decoderAvail > (1 << width) - 1 && width < 12)
            ++width;
    };
    auto restart = [&] {
        codes.push_back({clear, width});
        dict.clear();
        width = codeSize + 1;
        next = decoderAvail = clear + 2;
        first = true;
    };
    restart();
    int cur = pixels.empty() ? -1 : pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        auto key = std::make_pair(cur, int(pixels[i]));
        auto it = dict.find(key);
        if (it != dict.end()) {
            cur = it->second;
            continue;
        }
        emit(cur);
        if (next < 4096)
            dict[key] = next++;
        else
            restart();
        cur = pixels[i];
    }
    if (cur >= 0)
        emit(cur);
    codes.push_back({clear + 1, width});
    return packCodes(codes);
}

namespace {

// The decoder's state, named as the rules name it.
struct Reference {
    int dataSize = 0, clear = 0, eoi = 0, avail = 0, oldcode = -1, codesize = 0, codemask = 0, firstchar = 0;
    unsigned prefix[4096] = {};
    unsigned char suffix[4096] = {};
    unsigned char stack[4096] = {};
    int sp = 0;
    size_t outpos = 0;
    ReferenceResult* result = nullptr;

    void out(unsigned char v)
    {
        if (outpos < result->page.size())
            result->page[outpos] = v;
        ++outpos;
    }
    bool push(unsigned char v)
    {
        if (sp >= 4096) {
            ++result->warnings;
            return false;
        }
        stack[sp++] = v;
        return true;
    }
    // False: corrupt data, decoding ends.
    bool process(int code)
    {
        if (code == clear) {
            codesize = dataSize + 1;
            codemask = (1 << codesize) - 1;
            avail = clear + 2;
            oldcode = -1;
            return true;
        }
        if (oldcode == -1) {
            if (code >= clear)
                return false;
            out(suffix[code]);
            oldcode = code;
            firstchar = suffix[code];
            return true;
        }
        if (code > avail)
            return true;
        const int incode = code;
        if (code == avail) {
            if (!push((unsigned char)firstchar))
                return false;
            code = oldcode;
        }
        while (code > clear) {
            if (!push(suffix[code]))
                return false;
            code = int(prefix[code]);
        }
        firstchar = suffix[code];
        if (!push((unsigned char)firstchar))
            return false;
        if (avail < 4096) {
            prefix[avail] = unsigned(oldcode);
            suffix[avail] = (unsigned char)firstchar;
            ++avail;
            result->tableFilled = result->tableFilled || avail == 4096;
            // As the table starts full with 1-bit pixels, widening is
            // checked against the mask rather than for equality.
            if (avail > codemask && codesize < 12) {
                ++codesize;
                codemask = codemask * 2 + 1;
            }
        }
        oldcode = incode;
        while (sp > 0)
            out(stack[--sp]);
        return true;
    }
};

} // namespace

ReferenceResult referenceDecode(const Bytes& data, size_t count)
{
    ReferenceResult result;
    result.page.assign(count, 0);
    size_t in = 0;
    if (data.empty() || data[0] < 1 || data[0] > 11) {
        result.badFormat = true;
        return result;
    }
    auto* r = new Reference; // tables too large for the stack of a thread
    r->result = &result;
    r->dataSize = data[in++];
    r->clear = 1 << r->dataSize;
    r->eoi = r->clear + 1;
    r->process(r->clear);
    for (int i = 0; i < r->clear; ++i) {
        r->prefix[i] = 0;
        r->suffix[i] = (unsigned char)i;
    }
    unsigned accum = 0;
    int bits = 0;
    bool done = false;
    while (!done && in < data.size()) {
        const size_t size = data[in++];
        if (size == 0 || in + size > data.size())
            break;
        for (size_t k = 0; k < size && !done; ++k) {
            accum |= unsigned(data[in + k]) << bits;
            bits += 8;
            while (bits >= r->codesize && !done) {
                const int code = int(accum & unsigned(r->codemask));
                accum >>= r->codesize;
                bits -= r->codesize;
                result.clearCodes += code == r->clear;
                done = code == r->eoi || !r->process(code);
            }
        }
        in += size;
        done = done || r->outpos >= count;
    }
    delete r;
    return result;
}

namespace {

// Sub-blocks from `pos` up to their terminator, or the end of the file.
size_t readSubBlocks(const Bytes& file, size_t pos, GifBlock& block)
{
    while (pos < file.size() && file[pos] != 0) {
        size_t n = file[pos++];
        block.sizes.push_back(n);
        size_t end = std::min(file.size(), pos + n);
        block.payload.insert(block.payload.end(), file.begin() + long(pos), file.begin() + long(end));
        pos = end;
    }
    return pos + 1;
}

} // namespace

GifLayout parseGif(const Bytes& file)
{
    GifLayout layout;
    size_t pos = 13;
    if (file.size() >= 13 && (file[10] & 0x80))
        pos += size_t(3) << ((file[10] & 7) + 1);
    layout.screen.assign(file.begin(), file.begin() + long(std::min(pos, file.size())));
    while (pos < file.size()) {
        const int kind = file[pos++];
        if (kind == ';') {
            layout.trailerOffset = pos - 1;
            layout.afterTrailer = file.size() - pos;
            break;
        }
        GifBlock block;
        block.kind = kind;
        if (kind == '!' && pos < file.size()) {
            block.label = file[pos++];
        } else if (kind == ',' && pos + 10 <= file.size()) {
            block.fields.assign(file.begin() + long(pos), file.begin() + long(pos + 9));
            block.label = file[pos + 8];
            pos += 9;
            if (block.label & 0x80) {
                size_t len = size_t(3) << ((block.label & 7) + 1);
                block.table.assign(file.begin() + long(pos), file.begin() + long(std::min(file.size(), pos + len)));
                pos += len;
            }
            block.codeSize = pos < file.size() ? file[pos++] : -1;
        } else {
            break;
        }
        pos = readSubBlocks(file, pos, block);
        layout.blocks.push_back(block);
    }
    return layout;
}

namespace {

// The encoder's state, named as the rules name it.
struct ReferenceEncoder {
    enum { HSIZE = 5003, maxbits = 12, maxmaxcode = 4096 };
    long htab[HSIZE];
    unsigned short codetab[HSIZE];
    int n_bits = 0, maxcode = 0, free_ent = 0, clear_flg = 0, g_init_bits = 0, clearcode = 0, EOFCode = 0;
    unsigned long cur_accum = 0;
    int cur_bits = 0;
    unsigned char accum[256];
    int a_count = 0;
    Bytes out;
    int evictions = 0;

    void flush_char()
    {
        if (a_count > 0) {
            out.push_back((unsigned char)a_count);
            out.insert(out.end(), accum, accum + a_count);
            a_count = 0;
        }
    }
    void char_out(int c)
    {
        accum[a_count++] = (unsigned char)c;
        if (a_count >= 254)
            flush_char();
    }
    void output(int code)
    {
        static const unsigned long masks[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                                0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                                0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
        cur_accum &= masks[cur_bits];
        if (cur_bits > 0)
            cur_accum |= (unsigned long)code << cur_bits;
        else
            cur_accum = (unsigned long)code;
        cur_bits += n_bits;
        while (cur_bits >= 8) {
            char_out(int(cur_accum & 0xff));
            cur_accum >>= 8;
            cur_bits -= 8;
        }
        if (free_ent > maxcode || clear_flg) {
            if (clear_flg) {
                n_bits = g_init_bits;
                maxcode = (1 << n_bits) - 1;
                clear_flg = 0;
            } else {
                ++n_bits;
                maxcode = n_bits == maxbits ? maxmaxcode : (1 << n_bits) - 1;
            }
        }
        if (code == EOFCode) {
            while (cur_bits > 0) {
                char_out(int(cur_accum & 0xff));
                cur_accum >>= 8;
                cur_bits -= 8;
            }
            flush_char();
        }
    }
    void cl_hash()
    {
        for (long& h : htab)
            h = -1;
    }
    void cl_block()
    {
        cl_hash();
        free_ent = clearcode + 2;
        clear_flg = 1;
        output(clearcode);
    }
    void compress(const std::vector<int>& pixels, int init_bits)
    {
        g_init_bits = init_bits;
        n_bits = init_bits;
        maxcode = (1 << n_bits) - 1;
        clearcode = 1 << (init_bits - 1);
        EOFCode = clearcode + 1;
        free_ent = clearcode + 2;
        int hshift = 0;
        for (long fcode = HSIZE; fcode < 65536L; fcode *= 2)
            ++hshift;
        hshift = 8 - hshift;
        long ent = pixels[0];
        cl_hash();
        output(clearcode);
        for (size_t n = 1; n < pixels.size(); ++n) {
            const int c = pixels[n];
            const long fcode = ((long)c << maxbits) + ent;
            long i = ((long)c << hshift) ^ ent;
            if (htab[i] == fcode) {
                ent = codetab[i];
                continue;
            }
            if (htab[i] >= 0) {
                long disp = HSIZE - i;
                if (i == 0)
                    disp = 1;
                bool found = false;
                do {
                    if ((i -= disp) < 0)
                        i += HSIZE;
                    if (htab[i] == fcode) {
                        ent = codetab[i];
                        found = true;
                        break;
                    }
                } while (htab[i] > 0);
                if (found)
                    continue;
            }
            output(int(ent));
            ent = c;
            if (free_ent < maxmaxcode) {
                evictions += htab[i] == 0;
                codetab[i] = (unsigned short)free_ent++;
                htab[i] = fcode;
            } else {
                cl_block();
            }
        }
        output(int(ent));
        output(EOFCode);
    }
};

} // namespace

Bytes referenceEncode(const Bytes& pixels, int width, int height, bool interlace, int init_bits, int* evictions)
{
    // The pixels in the order they are fed: rows in interlace order.
    std::vector<int> fed;
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlace ? 4 : 1); ++pass)
        for (int y = interlace ? start[pass] : 0; y < height; y += interlace ? step[pass] : 1)
            for (int x = 0; x < width; ++x)
                fed.push_back(pixels[size_t(y) * size_t(width) + size_t(x)]);
    auto* e = new ReferenceEncoder; // tables too large for the stack of a thread
    e->compress(fed, init_bits);
    Bytes out = e->out;
    if (evictions)
        *evictions = e->evictions;
    delete e;
    return out;
}

Animation randomAnimation(std::mt19937& rng)
{
    Animation a;
    a.loops = int(rng() % 4) - 1;
    const int count = 1 + int(rng() % 4);
    for (int i = 0; i < count; ++i) {
        Frame f;
        f.width = 1 + int(rng() % 90);
        f.height = 1 + int(rng() % 60);
        f.left = int(rng() % 20);
        f.top = int(rng() % 20);
        f.delay = int(rng() % 300);
        f.disposal = int(rng() % 4);
        f.entries = 2 + int(rng() % 255);
        f.trans = rng() % 2 ? int(rng() % unsigned(f.entries)) : -1;
        f.interlace = rng() % 3 == 0;
        f.input = rng() % 5 == 0;
        f.pixels.resize(size_t(f.width) * size_t(f.height));
        // Runs, so that long strings occur, among noise.
        int run = 0, color = 0;
        for (unsigned char& p : f.pixels) {
            if (run-- <= 0) {
                run = rng() % 2 ? int(rng() % 30) : 0;
                color = int(rng() % unsigned(f.entries));
            }
            p = (unsigned char)color;
        }
        a.frames.push_back(f);
    }
    return a;
}

int colorOf(int frame, int i, int c)
{
    return (i * (3 + 2 * c) + frame * 40 + c) & 0xff;
}

void writeWithKel(const std::string& path, const Animation& a)
{
    kelStatus sts;
    kelFile* f = nullptr;
    for (size_t n = 0; n < a.frames.size(); ++n) {
        const Frame& fr = a.frames[n];
        kelSize dims(fr.width, fr.height, 1, 1);
        kelFileConfig cfg(&dims);
        if (n == 0) {
            f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
            ASSERT_NE(nullptr, f);
            f->setItem(kelGIFloopCount, a.loops);
            f->setItem(kelGIFscreenWidth, 120);
            f->setItem(kelGIFscreenHeight, 90);
        } else {
            ASSERT_EQ(kelOKAY, f->appendImg(nullptr, &cfg));
        }
        kelColormap map(3, kelUChar, 0, fr.entries - 1);
        for (int i = 0; i < fr.entries; ++i)
            for (int c = 0; c < 3; ++c)
                map.setVal(colorOf(int(n), i, c), i, c);
        f->setColormap(&map);
        f->setItem(kelGIFtransparentIndex, fr.trans);
        f->setItem(kelGIFleftPosition, fr.left);
        f->setItem(kelGIFtopPosition, fr.top);
        f->setItem(kelGIFdelayTime, fr.delay);
        f->setItem(kelGIFdisposalMethod, fr.disposal);
        f->setItem(kelGIFuserInput, int(fr.input));
        f->setItem(kelGIFinterlace, int(fr.interlace));
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, fr.width, fr.height, 1, fr.pixels.data()));
    }
    ASSERT_EQ(kelOKAY, f->close());
}

int BitsOf(int count)
{
    int b = 1;
    while ((1 << b) < count)
        ++b;
    return b;
}

void expectKelReads(const std::string& path, const Animation& a)
{
    kelStatus sts;
    kelFile* f = openGif(path, sts);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(int(a.frames.size()), f->getNumImgs());
    int loops = intItem(f, kelGIFloopCount, sts);
    EXPECT_EQ(a.loops, sts == kelOKAY ? loops : -1);
    EXPECT_EQ(120, intItem(f, kelGIFscreenWidth, sts));
    EXPECT_EQ(90, intItem(f, kelGIFscreenHeight, sts));
    for (size_t i = 0; i < a.frames.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const Frame& fr = a.frames[i];
        ASSERT_EQ(kelOKAY, f->setCurrentImg(int(i)));
        kelSize size;
        f->getDimensions(size);
        EXPECT_EQ(fr.width, size.x);
        EXPECT_EQ(fr.height, size.y);
        EXPECT_TRUE(readPixels(f, sts) == fr.pixels);
        const kelColormap* map = nullptr;
        f->getColormap(map);
        ASSERT_NE(nullptr, map);
        ASSERT_EQ(1 << BitsOf(fr.entries), map->getLength());
        for (int e = 0; e < fr.entries; ++e)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(colorOf(int(i), e, c), map->getVal(e, c)) << e;
        int trans = intItem(f, kelGIFtransparentIndex, sts);
        EXPECT_EQ(fr.trans, sts == kelOKAY ? trans : -1);
        EXPECT_EQ(fr.delay, intItem(f, kelGIFdelayTime, sts));
        EXPECT_EQ(fr.disposal, intItem(f, kelGIFdisposalMethod, sts));
        EXPECT_EQ(int(fr.input), intItem(f, kelGIFuserInput, sts));
        EXPECT_EQ(fr.left, intItem(f, kelGIFleftPosition, sts));
        EXPECT_EQ(fr.top, intItem(f, kelGIFtopPosition, sts));
        EXPECT_EQ(int(fr.interlace), intItem(f, kelGIFinterlace, sts));
    }
    f->close();
}
