/* The C binding from a C program: files, tiles, the database, file names,
   lookup tables, colormaps, pixels, items and tags, ICC profiles. Each section needs the
   format it names; one whose format cannot be loaded is skipped, unless
   "--all" is given. Exits non-zero on the first failed section, and frees
   everything it made. */
#define _POSIX_C_SOURCE 200809L

#include <kel/ckel.h>
#include <kel/kelGIFFile.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "plugin/itemProbe.h"
#include "vaForms.h"

static int failures = 0;
static char scratch[256];

#define CHECK(cond)                                                              \
    do {                                                                         \
        if (!(cond)) {                                                           \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond);   \
            failures++;                                                          \
        }                                                                        \
    } while (0)

#define CHECK_OK(call)                                                           \
    do {                                                                         \
        kelStatus sts_ = (call);                                                 \
        if (sts_ != kelOKAY) {                                                   \
            char text_[256];                                                     \
            fprintf(stderr, "%s:%d: %s: %s\n", __FILE__, __LINE__, #call,        \
                    kelStatusToString(sts_, text_, sizeof text_));               \
            failures++;                                                          \
        }                                                                        \
    } while (0)

static int sameSize(const kelSize* s, int x, int y, int z, int c)
{
    return s->x == x && s->y == y && s->z == z && s->c == c;
}

static const char* scratchFile(const char* name, char* buf, size_t size)
{
    snprintf(buf, size, "%s/%s", scratch, name);
    return buf;
}

/* ---- Raw: write tiles in one layout, read them back in another ---- */

enum { W = 6, H = 4, C = 3 };

/* The test image, addressed upright from the top row. */
static int sample(int x, int yFromTop, int c)
{
    return 1000 * c + 10 * yFromTop + x;
}

static kelFile* createRaw(const char* path)
{
    kelSize size = {W, H, 1, C}, page = {4, 2, 1, C};
    kelFormat* raw = kelFormatFindByFormatName("Raw", 1);
    kelFileConfig* cfg = kelFileConfigCreate(&size, kelUShort, kelInterleaved, kelRGB, kelUpperLeftOrigin,
                                             kelNoCompression, &page);
    kelStatus sts = kelOKAY;
    kelFile* f;

    CHECK(cfg != NULL && !kelFileConfigIsDataTypeDefaulted(cfg) && kelFileConfigIsOrderDefaulted(cfg) == 0);
    CHECK(!kelFileConfigAreDimensionsDefaulted(cfg) && !kelFileConfigArePageDimensionsDefaulted(cfg));
    CHECK(sameSize(kelFileConfigGetPageDimensionsPtr(cfg), 4, 2, 1, C));
    f = kelFileCreate(path, NULL, cfg, raw, &sts);
    CHECK_OK(sts);
    kelFileConfigDelete(cfg);
    return f;
}

static void writeRaw(kelFile* f)
{
    unsigned short pixels[H][W][C];
    kelConfig* layout = kelConfigCreate(kelUShort, kelInterleaved, C, NULL, 0, kelUpperLeftOrigin);
    int x, y, c;

    for (y = 0; y < H; y++)
        for (x = 0; x < W; x++)
            for (c = 0; c < C; c++)
                pixels[y][x][c] = (unsigned short)sample(x, y, c);
    CHECK_OK(kelFileSetTile(f, 0, 0, 0, W, H, 1, pixels, layout));
    kelConfigDelete(layout);
}

static void checkRawAttributes(kelFile* f)
{
    kelSize s;
    CHECK(kelFileGetDataType(f) == kelUShort && kelFileGetOrder(f) == kelInterleaved);
    CHECK(kelFileGetOrientation(f) == kelUpperLeftOrigin && kelFileGetColorModel(f) == kelRGB);
    CHECK(kelFileGetCsize(f) == C && kelFileGetZsize(f) == 1 && kelFileGetNumImgs(f) == 1);
    CHECK(strcmp(kelFormatGetName(kelFileGetFormat(f)), "Raw") == 0);
    kelFileGetDimensions(f, &s);
    CHECK(sameSize(&s, W, H, 1, C));
    kelFileGetPageDimensions(f, &s);
    CHECK(sameSize(&s, 4, 2, 1, C));
    kelFileGetSize(f, &s, kelLeftUpperOrigin);
    CHECK(sameSize(&s, H, W, 1, C));
}

/* Channels 2 and 0 as ints in separate planes, rows counted from the
   bottom: the box x 1..4, rows 1..2 from the bottom. */
static void readRawOtherLayout(kelFile* f)
{
    int chans[2] = {2, 0};
    int got[2][2][4];
    kelConfig* layout = kelConfigCreate(kelInt, kelSeparate, 2, chans, 0, kelLowerLeftOrigin);
    int k, r, i;

    memset(got, 0xff, sizeof got);
    CHECK_OK(kelFileGetTile(f, 1, 1, 0, 4, 2, 1, got, layout));
    for (k = 0; k < 2; k++)
        for (r = 0; r < 2; r++)
            for (i = 0; i < 4; i++)
                CHECK(got[k][r][i] == sample(1 + i, H - 1 - (1 + r), chans[k]));
    kelConfigDelete(layout);
}

/* A new file whose attributes come from an open one. */
static void copyAttributes(kelFile* source)
{
    char path[300];
    kelStatus sts = kelOKAY;
    kelFileConfig* wanted = kelFileConfigFile(source);
    kelFileConfig* decided = kelFileConfigCreate(NULL, kelDouble, (kelOrder)0, (kelColorModel)0,
                                                 (kelOrientation)0, (kelCompression)0, NULL);
    kelFile* copy;
    kelSize s;

    CHECK_OK(kelFormatApplyDefaultsConfig(kelFileGetFormat(source), wanted, decided));
    CHECK(kelFileConfigGetDataType(decided) == kelDouble && kelFileConfigGetOrder(decided) == kelInterleaved);
    kelFileConfigGetDimensions(decided, &s);
    CHECK(sameSize(&s, W, H, 1, C));
    copy = kelFileCreate(scratchFile("copy.raw", path, sizeof path), source, decided, NULL, &sts);
    CHECK_OK(sts);
    if (copy) {
        CHECK(kelFileGetDataType(copy) == kelDouble && kelFileGetColorModel(copy) == kelRGB);
        CHECK_OK(kelFileClose(copy, 0));
    }
    kelFileConfigDelete(wanted);
    kelFileConfigDelete(decided);
}

static void rawTiles(void)
{
    char path[300], name[400];
    kelStatus sts = kelOKAY;
    kelFile* f = createRaw(scratchFile("tiles.raw", path, sizeof path));

    if (!f)
        return;
    writeRaw(f);
    CHECK_OK(kelFileClose(f, 0));

    snprintf(name, sizeof name, "%s#Raw%%size=%d,%d,1,%d%%type=ushort%%pagesize=4,2,1,%d%%orientation=tl", path, W, H,
             C, C);
    f = kelFileOpen(name, O_RDONLY, &sts);
    CHECK_OK(sts);
    if (!f)
        return;
    checkRawAttributes(f);
    readRawOtherLayout(f);
    copyAttributes(f);
    CHECK_OK(kelFileClose(f, 0));
}

/* ---- The database and its formats ---- */

static kelDatabase* findEntry(const char* name)
{
    int index = 0;
    kelDatabase* e;
    while ((e = kelDatabaseFindNext(&index)) != NULL)
        if (strcmp(kelDatabaseGetName(e), name) == 0)
            return e;
    return NULL;
}

static int formatIsLoaded(kelFormat* wanted)
{
    int index = 0;
    kelFormat* fmt;
    while ((fmt = kelFormatFindNext(&index, 0)) != NULL)
        if (fmt == wanted)
            return 1;
    return 0;
}

static void databaseWalk(void)
{
    kelDatabase* raw = findEntry("Raw");
    kelFormat* rawFormat = kelFormatFindByFormatName("raw", 1);
    char path[300];
    kelDatabase* gif;
    int fd;

    CHECK(raw != NULL && rawFormat != NULL);
    if (!raw || !rawFormat)
        return;
    CHECK(kelDatabaseFindByFormatName("RAW") == raw && kelDatabaseFindByFileName("a/b.raw", 1) == raw);
    CHECK(kelDatabaseGetFormat(raw, 0) == rawFormat && formatIsLoaded(rawFormat));
    CHECK(strcmp(kelDatabaseGetDescription(raw), kelFormatGetDescription(rawFormat)) == 0);
    CHECK(strcmp(kelDatabaseGetDefaultSuffix(raw), ".raw") == 0);
    CHECK(strcmp(kelFormatGetDefaultSuffix(rawFormat), ".raw") == 0);
    CHECK(strstr(kelDatabaseGetDSOName(raw), "kelRaw0") != NULL && kelDatabaseGetInstSubSystem(raw) != NULL);
    CHECK(kelDatabaseAccessModeIsSupported(raw, O_RDONLY) && kelDatabaseAccessModeIsSupported(raw, O_RDWR));
    CHECK(kelFormatAccessModeIsSupported(rawFormat, O_RDWR) && kelFormatTypeIsSupported(rawFormat, kelFloat));
    CHECK(kelFormatFindByFileName("x.raw", 0, 0) == rawFormat);

    /* A GIF signature is recognised whether or not its plug-in is there. */
    fd = open(scratchFile("signature", path, sizeof path), O_RDWR | O_CREAT | O_TRUNC, 0600);
    CHECK(fd >= 0 && write(fd, "GIF89a\0\0\0\0", 10) == 10);
    gif = kelDatabaseFindByMagic(fd);
    CHECK(gif != NULL && strcmp(kelDatabaseGetName(gif), "GIF") == 0);
    CHECK(kelFormatFindByMagic(fd, 0) == kelDatabaseGetFormat(gif, 0));
    close(fd);
}

/* ---- File names and descriptors ---- */

static void fileNames(void)
{
    char *formatName = NULL, *formatArgs = NULL;
    int index = -5;
    char* path = kelFileParseFileName("dir/a.gif#GIF:2%delay=5", &formatName, &index, &formatArgs);
    kelFormat* raw = kelFormatFindByFormatName("Raw", 1);
    kelFileDesc* parsed = kelFileDescCreate("x.img#Raw:1%size=2,2", NULL);
    kelFileDesc* named = kelFileDescPreParsed("y.img", 3, "Raw", "size=4,4");
    kelFileDesc* given = kelFileDescFullyParsed("z.img", 0, raw, NULL);

    CHECK(path != NULL && strcmp(path, "dir/a.gif") == 0 && strcmp(formatName, "GIF") == 0);
    CHECK(index == 2 && strcmp(formatArgs, "delay=5") == 0);
    free(path);

    CHECK(parsed && named && given);
    if (parsed && named && given) {
        CHECK(kelFileDescGetStatus(parsed) == kelOKAY && kelFileDescGetFormat(parsed) == raw);
        CHECK(strcmp(kelFileDescGetFileName(parsed), "x.img") == 0 && kelFileDescGetIndex(parsed) == 1);
        CHECK(strcmp(kelFileDescGetFormatSpecific(parsed), "size=2,2") == 0);
        CHECK(kelFileDescGetFormat(named) == raw && kelFileDescGetIndex(named) == 3);
        CHECK(strcmp(kelFileDescGetFormatName(named), "Raw") == 0);
        CHECK(kelFileDescGetFormatSpecific(given) == NULL && kelFileDescGetFileDesc(given) == -1);
        kelFileDescSetFileDesc(given, 9);
        CHECK(kelFileDescGetFileDesc(given) == 9);
    }
    kelFileDescDelete(parsed);
    kelFileDescDelete(named);
    kelFileDescDelete(given);
}

/* ---- Lookup tables and colormaps ---- */

static void lookupTables(void)
{
    unsigned char table[4] = {10, 20, 30, 40};
    kelLut* lut = kelLutCreate(1, kelUShort, 0.0, 1.0, 11);
    kelLut* borrowed = kelLutNoAlloc(table, 1, kelUChar, 0.0, 3.0, 4);
    kelColormap* cmap = kelColormapCreate(3, kelUChar, 0, 255);
    kelORNColormap* orn = kelORNColormapCreate();
    kelLut* copy;
    double lo, hi;

    CHECK(lut && borrowed && cmap && orn);
    if (!lut || !borrowed || !cmap || !orn)
        goto done;
    CHECK(kelLutGetLength(lut) == 11 && kelLutGetNumChans(lut) == 1 && kelLutGetDataType(lut) == kelUShort);
    CHECK(kelLutGetDomainStep(lut) > 0.0999 && kelLutGetDomainStep(lut) < 0.1001);
    CHECK_OK(kelLutSetVal(lut, 500, 0.3, 0));
    CHECK(kelLutGetVal(lut, 0.3, 0) == 500);
    CHECK(kelLutSetVal(lut, 1, 2.0, 0) == kelBADPARAMS);
    copy = kelLutCopy(lut);
    CHECK(copy != NULL && !kelLutIsDiff(copy, lut) && kelLutGetData(copy) != kelLutGetData(lut));
    kelLutDelete(copy);

    CHECK(kelLutGetVal(borrowed, 2, 0) == 30 && kelLutGetData(borrowed) == (void*)table);
    CHECK_OK(kelLutSetVal(borrowed, 99, 1, 0));
    CHECK(table[1] == 99);

    CHECK_OK(kelLutSetVal((kelLut*)cmap, 200, 7, 2));
    CHECK(kelLutGetVal((kelLut*)cmap, 7, 2) == 200 && kelLutGetLength((kelLut*)cmap) == 256);
    kelLutGetDomain((kelLut*)orn, &lo, &hi);
    CHECK(lo == 32 && hi == 255 && kelLutGetLength((kelLut*)orn) == 224);

done:
    kelLutDelete(lut);
    kelLutDelete(borrowed);
    kelLutDelete((kelLut*)cmap);
    kelLutDelete((kelLut*)orn);
}

/* ---- Pixels ---- */

static void pixels(void)
{
    unsigned short values[3] = {300, 7, 65535};
    int chans[2] = {2, 0};
    kelPixel* pix = kelPixelCreate(kelUShort, 3, values);
    kelPixel* copy = pix ? kelPixelPixCreate(pix) : NULL;

    CHECK(pix && copy);
    if (pix && copy) {
        CHECK(kelPixelGetNumChans(copy) == 3 && kelPixelGetDataType(copy) == kelUShort);
        CHECK(kelPixelGetElem(copy, 2) == 65535 && kelPixelMin(copy) == 7 && kelPixelMax(copy) == 65535);
        CHECK(kelPixelGetData(copy) != kelPixelGetData(pix));
        kelPixelConvert(copy, pix, kelUChar, 2, chans);
        CHECK(kelPixelGetDataType(copy) == kelUChar && kelPixelGetNumChans(copy) == 2);
        CHECK(kelPixelGetElem(copy, 0) == 255 && kelPixelGetElem(copy, 1) == 300 % 256);
        kelPixelSetElem(pix, 12, 1);
        CHECK(((unsigned short*)kelPixelGetData(pix))[1] == 12);
        kelPixelSet(pix, kelFloat, 1, NULL);
        CHECK(kelPixelGetDataType(pix) == kelFloat && kelPixelGetNumChans(pix) == 1);
    }
    kelPixelDelete(pix);
    kelPixelDelete(copy);
}

/* ---- Items and tags of the ItemProbe test format ---- */

static kelFile* openProbe(void)
{
    char path[300];
    kelStatus sts = kelOKAY;
    int fd = open(scratchFile("items.itp", path, sizeof path), O_RDWR | O_CREAT | O_TRUNC, 0600);
    kelFile* f;

    CHECK(fd >= 0);
    if (fd < 0)
        return NULL;
    /* The file takes over the descriptor. */
    f = kelFileOpenByDescriptor(fd, path, O_RDONLY, NULL, &sts);
    CHECK_OK(sts);
    if (!f)
        close(fd);
    return f;
}

static void itemsAsStarted(kelFile* f)
{
    int count = 0, r = 0, g = 0, b = 0;
    double gamma = 0;
    char* label = NULL;
    short level = 0;

    CHECK_OK(kelFileGetItem(f, itemProbeCount, &count));
    CHECK_OK(kelFileGetItem(f, itemProbeGamma, &gamma));
    CHECK_OK(kelFileGetItem(f, itemProbeLabel, &label));
    CHECK_OK(kelFileGetItem(f, itemProbeColor, &r, &g, &b));
    CHECK_OK(kelFileGetItem(f, itemProbeLevel, &level));
    CHECK(count == 7 && gamma == 0.5 && label && strcmp(label, "probe") == 0);
    CHECK(r == 1 && g == 2 && b == 3 && level == -2);
}

/* Every setter, then every getter, with C's own argument promotions. */
static void itemsRoundTrip(kelFile* f)
{
    int count = 0, r = 0, g = 0, b = 0;
    double gamma = 0;
    char* label = NULL;
    short level = 0;
    float gammaF = 1.25f;
    short levelS = -300;

    CHECK_OK(kelFileSetItem(f, itemProbeCount, 42));
    CHECK_OK(kelFileSetItem(f, itemProbeGamma, gammaF));
    CHECK_OK(setItemV(f, itemProbeLabel, "hello"));
    CHECK_OK(setItemV(f, itemProbeColor, 9, 8, 7));
    CHECK_OK(kelFileSetTag(f, itemProbeLevel, levelS));
    CHECK_OK(getItemV(f, itemProbeCount, &count));
    CHECK_OK(getTagV(f, itemProbeGamma, &gamma));
    CHECK_OK(kelFileGetTag(f, itemProbeLabel, &label));
    CHECK_OK(getItemV(f, itemProbeColor, &r, &g, &b));
    CHECK_OK(getTagV(f, itemProbeLevel, &level));
    CHECK(count == 42 && gamma == 1.25 && label && strcmp(label, "hello") == 0);
    CHECK(r == 9 && g == 8 && b == 7 && level == -300);

    CHECK_OK(setTagV(f, itemProbeCount, -1));
    CHECK_OK(kelFileGetItem(f, itemProbeCount, &count));
    CHECK(count == -1);
    CHECK(kelFileGetItem(f, 99, &count) == kelUNSUPPORTEDBYFORMAT);
    CHECK(setItemV(f, 99, 1) == kelUNSUPPORTEDBYFORMAT);
}

static const kelTagDescription probeTags[] = {
    {itemProbeCount, kelTagInt | 1, "A count", "Count", "0", NULL},
    {itemProbeGamma, kelTagDouble | 1, "A gamma", "Gamma", "1", NULL},
    {itemProbeLabel, kelTagString | 1, "A label", "Label", "", NULL},
    {itemProbeColor, kelTagInt | 3, "A color", "Color", "0, 0, 0", NULL},
    {itemProbeLevel, kelTagShort | 1, "A level", "Level", "0", NULL},
};

/* Each tag read, encoded, decoded from new text and written back. */
static void tagsThroughText(kelFile* f)
{
    static const char* newText[] = {"17", "0.25", "\"tagged\"", "4, 5, 6", "-9"};
    char text[128];
    int n = (int)(sizeof probeTags / sizeof probeTags[0]), i;
    int count = 0, r = 0, g = 0, b = 0;
    double gamma = 0;
    char* label = NULL;
    kelTag* tag = kelTagFromDesc((kelTagDescription*)&probeTags[0]);

    CHECK(tag != NULL);
    if (!tag)
        return;
    CHECK(kelTagGetType(tag) == kelTagInt && kelTagGetCount(tag) == 1);
    CHECK_OK(kelTagRead(tag, f));
    CHECK(*(int*)kelTagGetValue(tag) == -1);
    for (i = 0; i < n; i++) {
        kelTagInit(tag, (kelTagDescription*)&probeTags[i]);
        CHECK_OK(kelTagRead(tag, f));
        CHECK_OK(kelTagEncode(tag, text));
        CHECK_OK(kelTagDecode(tag, newText[i]));
        CHECK_OK(kelTagWrite(tag, f));
    }
    CHECK(kelTagGetType(tag) == kelTagShort && *(short*)kelTagGetValue(tag) == -9);
    CHECK(strcmp(text, "-300") == 0);
    kelTagDelete(tag);

    CHECK_OK(kelFileGetItem(f, itemProbeCount, &count));
    CHECK_OK(kelFileGetItem(f, itemProbeColor, &r, &g, &b));
    CHECK_OK(kelFileGetItem(f, itemProbeGamma, &gamma));
    CHECK_OK(kelFileGetItem(f, itemProbeLabel, &label));
    CHECK(count == 17 && r == 4 && g == 5 && b == 6 && gamma == 0.25);
    CHECK(label && strcmp(label, "tagged") == 0);
}

static void probeItems(void)
{
    kelFile* f = openProbe();
    if (!f)
        return;
    CHECK(strcmp(kelFormatGetName(kelFileGetFormat(f)), "ItemProbe") == 0 && kelFileGetFileDesc(f) >= 0);
    CHECK(kelFileGetFileMode(f) == O_RDONLY);
    itemsAsStarted(f);
    itemsRoundTrip(f);
    tagsThroughText(f);
    CHECK_OK(kelFileClose(f, 0));
}

/* ---- GIF: real items through every form of item access ---- */

enum { GW = 5, GH = 3 };

/* A two-image GIF written with its settings given as items. */
static void writeGif(const char* path)
{
    kelSize size = {GW, GH, 1, 1};
    kelFileConfig* cfg = kelFileConfigCreate(&size, kelUChar, 0, kelRGBPalette, 0, 0, NULL);
    kelColormap* cmap = kelColormapCreate(3, kelUChar, 0, 3);
    kelStatus sts = -1;
    kelFile* f = cfg && cmap ? kelFileCreate(path, NULL, cfg, NULL, &sts) : NULL;
    unsigned char pixels[GW * GH];
    int i;

    CHECK(f != NULL);
    if (f) {
        /* A new table is not cleared: every component is set. */
        for (i = 0; i < 12; i++)
            CHECK_OK(kelLutSetVal((kelLut*)cmap, i % 3 ? 0 : 20 * i, i / 3, i % 3));
        for (i = 0; i < GW * GH; i++)
            pixels[i] = (unsigned char)(i % 4);
        CHECK_OK(kelFileSetColormap(f, cmap));
        CHECK_OK(kelFileSetItem(f, kelGIFscreenWidth, 9));
        CHECK_OK(setItemV(f, kelGIFscreenHeight, 7));
        CHECK_OK(kelFileSetTag(f, kelGIFloopCount, 0));
        CHECK_OK(setTagV(f, kelGIFtransparentIndex, 2));
        CHECK_OK(kelFileSetItem(f, kelGIFdelayTime, 25));
        CHECK_OK(kelFileSetTile(f, 0, 0, 0, GW, GH, 1, pixels, NULL));
        CHECK_OK(kelFileAppendImg(f, NULL, cfg));
        CHECK_OK(kelFileSetColormap(f, cmap));
        CHECK_OK(kelFileSetItem(f, kelGIFleftPosition, 4));
        CHECK_OK(kelFileSetItem(f, kelGIFdelayTime, 50));
        CHECK_OK(kelFileSetTile(f, 0, 0, 0, GW, GH, 1, pixels, NULL));
        CHECK_OK(kelFileClose(f, 0));
    }
    kelLutDelete((kelLut*)cmap);
    kelFileConfigDelete(cfg);
}

static void gifItems(void)
{
    char path[300];
    kelStatus sts = -1;
    kelFile* f;
    int width = 0, height = 0, loops = -1, trans = -1, delay = 0, left = -1, r = -1, g = -1, b = -1;
    const kelColormap* global = NULL;

    writeGif(scratchFile("items.gif", path, sizeof path));
    f = kelFileOpen(path, O_RDONLY, &sts);
    CHECK(f != NULL);
    if (!f)
        return;
    CHECK(kelFileGetNumImgs(f) == 2);
    CHECK_OK(kelFileGetItem(f, kelGIFscreenWidth, &width));
    CHECK_OK(getItemV(f, kelGIFscreenHeight, &height));
    CHECK_OK(kelFileGetTag(f, kelGIFloopCount, &loops));
    CHECK_OK(getTagV(f, kelGIFtransparentIndex, &trans));
    CHECK_OK(kelFileGetItem(f, kelGIFtransparentColor, &r, &g, &b));
    CHECK_OK(kelFileGetItem(f, kelGIFdelayTime, &delay));
    CHECK_OK(kelFileGetItem(f, kelGIFglobalMap, &global));
    CHECK(width == 9 && height == 7 && loops == 0 && trans == 2 && delay == 25);
    CHECK(r == 120 && g == 0 && b == 0 && global != NULL);
    CHECK_OK(kelFileSetCurrentImg(f, 1));
    CHECK_OK(kelFileGetItem(f, kelGIFdelayTime, &delay));
    CHECK_OK(getItemV(f, kelGIFleftPosition, &left));
    CHECK(delay == 50 && left == 4);
    CHECK(kelFileSetItem(f, kelGIFscreenWidth, 10) == kelREADONLY);
    CHECK(kelFileGetItem(f, 99, &delay) == kelBADPARAMS);
    CHECK_OK(kelFileClose(f, 0));
}

/* ---- GIF: the services of interface 2.1 ---- */

/* A one-image GIF with an ICC profile, read back; the format describes its
   delay with the common role. Raw keeps no profile. */
static void gifProfile(void)
{
    static const char profile[] = "\0\0\2\x10profile bytes";
    char path[300];
    kelSize size = {2, 2, 1, 1};
    kelFileConfig* cfg = kelFileConfigCreate(&size, kelUChar, 0, kelRGBPalette, 0, 0, NULL);
    kelColormap* cmap = kelColormapCreate(3, kelUChar, 0, 1);
    unsigned char pixels[4] = {0, 1, 1, 0};
    kelStatus sts = -1;
    kelFile* f = cfg && cmap ? kelFileCreate(scratchFile("profile.gif", path, sizeof path), NULL, cfg, NULL, &sts)
                             : NULL;
    kelFile* raw;
    void* got = NULL;
    int gotSize = 0, count = 0, delayTag = -1, i;
    kelTagDescription* tags;

    CHECK(f != NULL);
    if (f) {
        for (i = 0; i < 6; i++)
            CHECK_OK(kelLutSetVal((kelLut*)cmap, 255 * (i / 3), i / 3, i % 3));
        CHECK_OK(kelFileSetColormap(f, cmap));
        CHECK_OK(kelFileSetICCProfile(f, (int)sizeof profile, profile));
        CHECK_OK(kelFileSetTile(f, 0, 0, 0, 2, 2, 1, pixels, NULL));
        CHECK_OK(kelFileClose(f, 0));
    }
    kelLutDelete((kelLut*)cmap);
    kelFileConfigDelete(cfg);
    f = kelFileOpen(path, O_RDONLY, &sts);
    CHECK(f != NULL);
    if (!f)
        return;
    CHECK_OK(kelFileGetICCProfile(f, &gotSize, &got));
    CHECK(got != NULL && gotSize == (int)sizeof profile && memcmp(got, profile, sizeof profile) == 0);
    CHECK_OK(kelFileFreeICCProfile(f, got));
    tags = kelFormatGetTagDescriptions(kelFileGetFormat(f), &count);
    for (i = 0; tags && i < count; i++)
        if (kelTagRoleOf(tags[i].flags) == kelTagRoleDelayCs)
            delayTag = tags[i].tag;
    CHECK(count > 0 && delayTag == kelGIFdelayTime);
    CHECK_OK(kelFileClose(f, 0));

    raw = createRaw(scratchFile("noprofile.raw", path, sizeof path));
    if (raw) {
        CHECK(kelFileGetICCProfile(raw, &gotSize, &got) == kelUNSUPPORTEDBYFORMAT);
        CHECK(kelFileSetICCProfile(raw, (int)sizeof profile, profile) == kelUNSUPPORTEDBYFORMAT);
        CHECK_OK(kelFileClose(raw, 1));
    }
}

/* ---- The sections ---- */

struct section {
    const char* name;
    const char* format; /* the format the section needs, or null */
    void (*run)(void);
};

static const struct section sections[] = {
    {"Raw tiles", "Raw", rawTiles},
    {"database", "Raw", databaseWalk},
    {"file names", "Raw", fileNames},
    {"lookup tables and colormaps", NULL, lookupTables},
    {"pixels", NULL, pixels},
    {"items and tags", "ItemProbe", probeItems},
    {"GIF items", "GIF", gifItems},
    {"GIF profile and tag descriptions", "GIF", gifProfile},
};

/* Whether the format's plug-in loads; a missing one is reported as an error,
   which must not end the program here. */
static int haveFormat(const char* name)
{
    kelErrorHandler handler;
    void* arg;
    kelFormat* fmt;

    kelGetErrorHandler(&handler, &arg);
    kelSetErrorHandler(kelSilentErrorHandler, NULL);
    fmt = kelFormatFindByFormatName(name, 1);
    kelSetErrorHandler(handler, arg);
    return fmt != NULL;
}

static int removeScratch(void)
{
    static const char* names[] = {"tiles.raw", "copy.raw",    "signature",    "items.itp",
                                  "items.gif", "profile.gif", "noprofile.raw"};
    char path[300];
    size_t i;
    for (i = 0; i < sizeof names / sizeof names[0]; i++)
        unlink(scratchFile(names[i], path, sizeof path));
    return rmdir(scratch);
}

int main(int argc, char** argv)
{
    const char* tmp = getenv("TMPDIR");
    int requireAll = argc > 1 && strcmp(argv[1], "--all") == 0;
    size_t i;

    snprintf(scratch, sizeof scratch, "%s/ckelXXXXXX", tmp && *tmp ? tmp : "/tmp");
    if (!mkdtemp(scratch)) {
        perror("ckel_proof: scratch directory");
        return 1;
    }
    for (i = 0; i < sizeof sections / sizeof sections[0] && failures == 0; i++) {
        const struct section* s = &sections[i];
        if (s->format && !haveFormat(s->format)) {
            printf("%s: %s (no %s plug-in)\n", requireAll ? "missing" : "skipped", s->name, s->format);
            failures += requireAll;
            continue;
        }
        s->run();
        printf("%s: %s\n", failures ? "FAILED" : "passed", s->name);
    }
    if (removeScratch() != 0)
        perror("ckel_proof: removing the scratch directory");
    return failures ? 1 : 0;
}
