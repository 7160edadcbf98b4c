#include "kelPNGInfo.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <spng.h>

#include "kelPNGText.h"

namespace {

// A chunk the file lacks is no error.
int present(int err, bool& found)
{
    found = err == 0;
    return err == SPNG_ECHUNKAVAIL ? 0 : err;
}

int readTexts(spng_ctx* ctx, std::vector<kelPNGText>& texts)
{
    uint32_t count = 0;
    bool found = false;
    int err = present(spng_get_text(ctx, nullptr, &count), found);
    if (err || !found || count == 0)
        return err;
    std::vector<spng_text> chunks(count);
    if ((err = spng_get_text(ctx, chunks.data(), &count)) != 0)
        return err;
    for (const spng_text& t : chunks) {
        const std::string keyword = kelPNGFromLatin1(t.keyword, strlen(t.keyword));
        texts.push_back({keyword, t.type == SPNG_ITXT ? std::string(t.text, t.length)
                                                      : kelPNGFromLatin1(t.text, t.length)});
    }
    return 0;
}

void formatTime(const spng_time& t, std::string& out)
{
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned(t.year), unsigned(t.month),
             unsigned(t.day), unsigned(t.hour), unsigned(t.minute), unsigned(t.second));
    out = text;
}

int readTime(spng_ctx* ctx, std::string& out)
{
    spng_time t;
    bool found = false;
    int err = present(spng_get_time(ctx, &t), found);
    if (found)
        formatTime(t, out);
    return err;
}

int readExif(spng_ctx* ctx, std::vector<unsigned char>& out)
{
    spng_exif e;
    bool found = false;
    int err = present(spng_get_exif(ctx, &e), found);
    if (found && e.data)
        out.assign(e.data, e.data + e.length);
    return err;
}

} // namespace

int kelPNGInfo::readImageChunks(spng_ctx* ctx, const kelPNGLayout& layout)
{
    bool found = false;
    int err = 0;
    if (layout.colorType == 3) {
        spng_plte plte;
        if ((err = present(spng_get_plte(ctx, &plte), found)) != 0)
            return err;
        paletteEntries = found ? int(plte.n_entries) : 0;
        for (int i = 0; i < paletteEntries; ++i) {
            palette[3 * i] = plte.entries[i].red;
            palette[3 * i + 1] = plte.entries[i].green;
            palette[3 * i + 2] = plte.entries[i].blue;
        }
    }
    spng_trns trns;
    if ((err = present(spng_get_trns(ctx, &trns), found)) != 0 || !found)
        return err;
    hasTransparency = true;
    alphaEntries = int(trns.n_type3_entries);
    memcpy(alpha, trns.type3_alpha, sizeof alpha);
    transparent[0] = layout.colorType == 0 ? trns.gray : trns.red;
    transparent[1] = trns.green;
    transparent[2] = trns.blue;
    return 0;
}

int kelPNGInfo::readAncillary(spng_ctx* ctx, const kelPNGLayout& layout)
{
    int err = spng_decode_chunks(ctx);
    bool found = false;
    spng_sbit sbit;
    if (!err && !(err = present(spng_get_sbit(ctx, &sbit), found)) && found) {
        hasSignificantBits = true;
        const int gray = layout.colorType == 0 || layout.colorType == 4;
        significantBits[0] = gray ? sbit.grayscale_bits : sbit.red_bits;
        significantBits[1] = layout.colorType == 4 ? sbit.alpha_bits : gray ? 0 : sbit.green_bits;
        significantBits[2] = gray ? 0 : sbit.blue_bits;
        significantBits[3] = layout.colorType == 6 ? sbit.alpha_bits : 0;
    }
    if (!err)
        err = present(spng_get_gama_int(ctx, &gamma), hasGamma);
    spng_chrm_int chrm;
    if (!err && !(err = present(spng_get_chrm_int(ctx, &chrm), found)) && found) {
        const uint32_t values[8] = {chrm.white_point_x, chrm.white_point_y, chrm.red_x,   chrm.red_y,
                                    chrm.green_x,       chrm.green_y,       chrm.blue_x, chrm.blue_y};
        for (int i = 0; i < 8; ++i)
            chromaticities[i] = values[i] / 100000.0;
        chromaticitiesSet = 0xf;
    }
    uint8_t srgb = 0;
    if (!err && !(err = present(spng_get_srgb(ctx, &srgb), hasIntent)))
        intent = srgb;
    spng_phys phys;
    if (!err && !(err = present(spng_get_phys(ctx, &phys), hasResolution)) && hasResolution) {
        resolution[0] = phys.ppu_x;
        resolution[1] = phys.ppu_y;
        resolutionUnit = phys.unit_specifier;
    }
    if (!err)
        err = readTime(ctx, modificationTime);
    spng_bkgd bkgd;
    if (!err && !(err = present(spng_get_bkgd(ctx, &bkgd), hasBackground)) && hasBackground) {
        const int gray = layout.colorType == 0 || layout.colorType == 4;
        background[0] = layout.colorType == 3 ? bkgd.plte_index : gray ? bkgd.gray : bkgd.red;
        background[1] = bkgd.green;
        background[2] = bkgd.blue;
    }
    spng_iccp iccp;
    if (!err && !(err = present(spng_get_iccp(ctx, &iccp), found)) && found && iccp.profile)
        profile.assign(iccp.profile, iccp.profile + iccp.profile_len);
    if (!err)
        err = readTexts(ctx, texts);
    if (!err)
        err = readExif(ctx, exif);
    return err;
}

int kelPNGInfo::readTrailer(spng_ctx* ctx)
{
    int err = spng_decode_chunks(ctx);
    if (!err)
        err = readTexts(ctx, texts);
    if (!err && modificationTime.empty())
        err = readTime(ctx, modificationTime);
    if (!err && exif.empty())
        err = readExif(ctx, exif);
    return err;
}

namespace {

int writeTransparency(spng_ctx* ctx, const kelPNGInfo& info, const kelPNGLayout& layout)
{
    spng_trns trns = {};
    trns.n_type3_entries = uint32_t(info.alphaEntries);
    memcpy(trns.type3_alpha, info.alpha, sizeof trns.type3_alpha);
    trns.gray = trns.red = info.transparent[0];
    trns.green = info.transparent[1];
    trns.blue = info.transparent[2];
    return layout.colorType == 3 && info.alphaEntries == 0 ? 0 : spng_set_trns(ctx, &trns);
}

int writeColorChunks(spng_ctx* ctx, const kelPNGInfo& info, const kelPNGLayout& layout)
{
    int err = 0;
    if (info.hasSignificantBits) {
        const int* b = info.significantBits;
        spng_sbit sbit = {};
        const int gray = layout.colorType == 0 || layout.colorType == 4;
        sbit.grayscale_bits = uint8_t(b[0]);
        sbit.red_bits = uint8_t(b[0]);
        sbit.green_bits = uint8_t(b[1]);
        sbit.blue_bits = uint8_t(b[2]);
        sbit.alpha_bits = uint8_t(layout.colorType == 4 ? b[1] : b[3]);
        if (gray)
            sbit.green_bits = sbit.blue_bits = 0;
        err = spng_set_sbit(ctx, &sbit);
    }
    if (!err && info.hasGamma)
        err = spng_set_gama_int(ctx, info.gamma);
    if (!err && info.chromaticitiesSet == 0xf) {
        uint32_t c[8];
        for (int i = 0; i < 8; ++i)
            c[i] = uint32_t(lround(info.chromaticities[i] * 100000.0));
        spng_chrm_int chrm = {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]};
        err = spng_set_chrm_int(ctx, &chrm);
    }
    // A profile and sRGB exclude each other: the profile wins.
    if (!err && info.hasIntent && info.profile.empty())
        err = spng_set_srgb(ctx, uint8_t(info.intent));
    if (!err && !info.profile.empty()) {
        spng_iccp iccp = {};
        strcpy(iccp.profile_name, "ICC profile");
        iccp.profile_len = info.profile.size();
        iccp.profile = (char*)info.profile.data();
        err = spng_set_iccp(ctx, &iccp);
    }
    return err;
}

// ASCII texts go as tEXt, others as iTXt; long ones compressed (zTXt, or
// a compressed iTXt). Texts without bytes, or whose keyword is not Latin-1,
// have no chunk.
int writeTexts(spng_ctx* ctx, const std::vector<kelPNGText>& texts)
{
    const size_t compressFrom = 1024;
    std::vector<spng_text> chunks;
    for (const kelPNGText& t : texts) {
        spng_text c = {};
        std::string keyword;
        if (t.text.empty() || !kelPNGToLatin1(t.keyword, keyword) || keyword.size() >= sizeof c.keyword)
            continue;
        memcpy(c.keyword, keyword.c_str(), keyword.size() + 1);
        const bool ascii = kelPNGIsASCII(t.text), compress = t.text.size() >= compressFrom;
        c.type = !ascii ? SPNG_ITXT : compress ? SPNG_ZTXT : SPNG_TEXT;
        c.text = const_cast<char*>(t.text.c_str());
        c.length = t.text.size();
        c.compression_flag = !ascii && compress;
        c.language_tag = const_cast<char*>("");
        c.translated_keyword = const_cast<char*>("");
        chunks.push_back(c);
    }
    return chunks.empty() ? 0 : spng_set_text(ctx, chunks.data(), uint32_t(chunks.size()));
}

} // namespace

int kelPNGInfo::write(spng_ctx* ctx, const kelPNGLayout& layout) const
{
    int err = 0;
    if (layout.colorType == 3) {
        spng_plte plte = {};
        plte.n_entries = uint32_t(paletteEntries);
        for (int i = 0; i < paletteEntries; ++i)
            plte.entries[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2], 255};
        err = spng_set_plte(ctx, &plte);
    }
    if (!err && hasTransparency)
        err = writeTransparency(ctx, *this, layout);
    if (!err)
        err = writeColorChunks(ctx, *this, layout);
    if (!err && hasResolution) {
        spng_phys phys = {resolution[0], resolution[1], uint8_t(resolutionUnit)};
        err = spng_set_phys(ctx, &phys);
    }
    spng_time t = {};
    unsigned v[6];
    if (!err && sscanf(modificationTime.c_str(), "%u-%u-%u %u:%u:%u", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6) {
        t = {uint16_t(v[0]), uint8_t(v[1]), uint8_t(v[2]), uint8_t(v[3]), uint8_t(v[4]), uint8_t(v[5])};
        err = spng_set_time(ctx, &t);
    }
    if (!err && hasBackground) {
        spng_bkgd bkgd = {background[0], background[0], background[1], background[2], background[0]};
        err = spng_set_bkgd(ctx, &bkgd);
    }
    if (!err)
        err = writeTexts(ctx, texts);
    return err;
}
