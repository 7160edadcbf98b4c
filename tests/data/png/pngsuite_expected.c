/* Writes, as JSON, what libpng reads from each PNG file named: the layout
   kel reports for it, the SHA-256 of its pixels in that layout (rows top to
   bottom; 1-bit gray as one run of bits; samples of 2 and 4 bits and
   palette indices one a byte, as stored; 16-bit samples in the host's
   order), its palette, and the chunks that kel gives as items. A file that
   libpng refuses is "error". Made once; see tests/data/README.md. */
#include <png.h>
#include <openssl/sha.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void fail(png_structp png, png_const_charp msg)
{
    (void)msg;
    longjmp(png_jmpbuf(png), 1);
}

static void quiet(png_structp png, png_const_charp msg)
{
    (void)png;
    (void)msg;
}

/* The bytes of a JSON string from Latin-1 (utf8 0) or UTF-8 bytes. */
static void escaped(const char* s, size_t n, int utf8)
{
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)s[i];
        if (c == '"' || c == '\\')
            printf("\\%c", c);
        else if (c < 0x20)
            printf("\\u%04x", c);
        else if (c >= 0x80 && !utf8)
            printf("%c%c", 0xc0 | c >> 6, 0x80 | (c & 0x3f));
        else
            putchar(c);
    }
}

static const char* model(int colorType)
{
    switch (colorType) {
    case 2: return "rgb";
    case 3: return "palette";
    case 4: return "luminance_alpha";
    case 6: return "rgba";
    default: return "luminance";
    }
}

/* Appends the UTF-8 bytes of Latin-1 (utf8 0) or UTF-8 text to `out`. */
static size_t utf8Bytes(unsigned char* out, size_t at, const char* s, size_t n, int utf8)
{
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)s[i];
        if (c >= 0x80 && !utf8) {
            out[at++] = (unsigned char)(0xc0 | c >> 6);
            out[at++] = (unsigned char)(0x80 | (c & 0x3f));
        } else {
            out[at++] = c;
        }
    }
    return at;
}

/* The SHA-256 of the texts of the file by keyword, several of one keyword
   joined by newlines, in the order of their first chunk: the texts are
   the suite's prose, which need not stand in the expectations. */
static void texts(png_structp png, png_infop info)
{
    png_textp text;
    int n = png_get_text(png, info, &text, NULL);
    printf(", \"text_sha256\": {");
    for (int i = 0, first = 1; i < n; i++) {
        int seen = 0;
        for (int j = 0; j < i; j++)
            seen |= strcmp(text[j].key, text[i].key) == 0;
        if (seen)
            continue;
        printf("%s", first ? "" : ", ");
        first = 0;
        putchar('"');
        escaped(text[i].key, strlen(text[i].key), 0);
        printf("\": \"");
        size_t total = 0;
        for (int j = i; j < n; j++)
            if (strcmp(text[j].key, text[i].key) == 0)
                total += 2 * (text[j].itxt_length + text[j].text_length) + 1;
        unsigned char* joined = malloc(total + 1);
        size_t at = 0;
        for (int j = i, more = 0; j < n; j++) {
            if (strcmp(text[j].key, text[i].key) != 0)
                continue;
            int utf8 = text[j].compression >= PNG_ITXT_COMPRESSION_NONE;
            if (more)
                joined[at++] = '\n';
            more = 1;
            at = utf8Bytes(joined, at, text[j].text, utf8 ? text[j].itxt_length : text[j].text_length, utf8);
        }
        unsigned char hash[SHA256_DIGEST_LENGTH];
        SHA256(joined, at, hash);
        free(joined);
        for (int k = 0; k < SHA256_DIGEST_LENGTH; k++)
            printf("%02x", hash[k]);
        putchar('"');
    }
    putchar('}');
}

static void items(png_structp png, png_infop info, int colorType)
{
    png_uint_32 gamma;
    if (png_get_gAMA_fixed(png, info, (png_fixed_point*)&gamma))
        printf(", \"gamma\": %u", (unsigned)gamma);
    png_color_8p sbit;
    if (png_get_sBIT(png, info, &sbit)) {
        int gray = colorType == 0 || colorType == 4;
        printf(", \"sbit\": [%d, %d, %d, %d]", gray ? sbit->gray : sbit->red,
               colorType == 4 ? sbit->alpha : gray ? 0 : sbit->green, gray ? 0 : sbit->blue,
               colorType == 6 ? sbit->alpha : 0);
    }
    png_color_16p bkgd;
    if (png_get_bKGD(png, info, &bkgd)) {
        if (colorType == 3)
            printf(", \"background\": [%d]", bkgd->index);
        else if (colorType == 0 || colorType == 4)
            printf(", \"background\": [%d]", bkgd->gray);
        else
            printf(", \"background\": [%d, %d, %d]", bkgd->red, bkgd->green, bkgd->blue);
    }
    png_bytep alpha;
    int alphas = 0;
    png_color_16p color;
    if (png_get_tRNS(png, info, &alpha, &alphas, &color) && colorType != 3) {
        if (colorType == 0)
            printf(", \"transparent\": [%d]", color->gray);
        else
            printf(", \"transparent\": [%d, %d, %d]", color->red, color->green, color->blue);
    }
    png_fixed_point c[8];
    if (png_get_cHRM_fixed(png, info, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7]))
        printf(", \"chromaticities\": [%d, %d, %d, %d, %d, %d, %d, %d]", c[0], c[1], c[2], c[3], c[4], c[5], c[6],
               c[7]);
    int intent;
    if (png_get_sRGB(png, info, &intent))
        printf(", \"srgb_intent\": %d", intent);
    png_uint_32 rx, ry;
    int unit;
    if (png_get_pHYs(png, info, &rx, &ry, &unit))
        printf(", \"resolution\": [%u, %u, %d]", (unsigned)rx, (unsigned)ry, unit);
    png_timep t;
    if (png_get_tIME(png, info, &t))
        printf(", \"time\": \"%04d-%02d-%02d %02d:%02d:%02d\"", t->year, t->month, t->day, t->hour, t->minute,
               t->second);
    png_charp name;
    int method;
    png_bytep profile;
    png_uint_32 profileLength;
    if (png_get_iCCP(png, info, &name, &method, &profile, &profileLength))
        printf(", \"icc_length\": %u", (unsigned)profileLength);
}

static void palette(png_structp png, png_infop info)
{
    png_colorp plte;
    int n = 0, alphas = 0;
    png_bytep alpha = NULL;
    png_color_16p color;
    png_get_PLTE(png, info, &plte, &n);
    png_get_tRNS(png, info, &alpha, &alphas, &color);
    printf(", \"palette\": [");
    for (int i = 0; i < n; i++) {
        printf("%s[%d, %d, %d", i ? ", " : "", plte[i].red, plte[i].green, plte[i].blue);
        if (alphas > 0)
            printf(", %d", i < alphas ? alpha[i] : 255);
        putchar(']');
    }
    putchar(']');
}

/* The pixels as kel lays them out: bit rows run on without padding. */
static void digest(png_bytepp rows, png_uint_32 width, png_uint_32 height, size_t rowBytes, int bits)
{
    unsigned char hash[SHA256_DIGEST_LENGTH];
    SHA256_CTX sha;
    SHA256_Init(&sha);
    if (bits) {
        size_t total = ((size_t)width * height + 7) / 8;
        unsigned char* run = calloc(total ? total : 1, 1);
        for (size_t y = 0, at = 0; y < height; y++)
            for (size_t x = 0; x < width; x++, at++)
                if (rows[y][x / 8] >> (7 - x % 8) & 1)
                    run[at / 8] |= (unsigned char)(0x80 >> at % 8);
        SHA256_Update(&sha, run, total);
        free(run);
    } else {
        for (size_t y = 0; y < height; y++)
            SHA256_Update(&sha, rows[y], rowBytes);
    }
    SHA256_Final(hash, &sha);
    printf(", \"sha256\": \"");
    for (int i = 0; i < SHA256_DIGEST_LENGTH; i++)
        printf("%02x", hash[i]);
    putchar('"');
}

static int describe(const char* path)
{
    FILE* fp = fopen(path, "rb");
    if (!fp)
        return 0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, fail, quiet);
    png_infop info = png_create_info_struct(png), end = png_create_info_struct(png);
    png_bytepp rows = NULL;
    png_uint_32 height = 0;
    if (setjmp(png_jmpbuf(png))) {
        if (rows)
            for (png_uint_32 y = 0; y < height; y++)
                free(rows[y]);
        free(rows);
        png_destroy_read_struct(&png, &info, &end);
        fclose(fp);
        return 0;
    }
    png_init_io(png, fp);
    png_read_info(png, info);
    png_uint_32 width;
    int depth, colorType, interlace;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, NULL, NULL);
    int bits = colorType == 0 && depth == 1;
    if (depth == 16)
        png_set_swap(png);
    if (depth < 8 && !bits)
        png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    rows = calloc(height, sizeof *rows);
    for (png_uint_32 y = 0; y < height; y++)
        rows[y] = malloc(rowBytes);
    png_read_image(png, rows);
    png_read_end(png, end);
    const char* file = strrchr(path, '/') ? strrchr(path, '/') + 1 : path;
    printf("  \"%s\": {\"width\": %u, \"height\": %u, \"type\": \"%s\", \"model\": \"%s\", \"depth\": %d, "
           "\"interlaced\": %s",
           file, (unsigned)width, (unsigned)height, bits ? "bit" : depth == 16 ? "ushort" : "uchar", model(colorType),
           depth, interlace ? "true" : "false");
    digest(rows, width, height, rowBytes, bits);
    if (colorType == 3)
        palette(png, info);
    items(png, info, colorType);
    png_textp t;
    if (png_get_text(png, end, &t, NULL) > 0) /* after the image: time and texts merged below */
        png_set_text(png, info, t, png_get_text(png, end, &t, NULL));
    png_timep time;
    if (!png_get_valid(png, info, PNG_INFO_tIME) && png_get_tIME(png, end, &time))
        png_set_tIME(png, info, time);
    texts(png, info);
    printf("}");
    for (png_uint_32 y = 0; y < height; y++)
        free(rows[y]);
    free(rows);
    png_destroy_read_struct(&png, &info, &end);
    fclose(fp);
    return 1;
}

int main(int argc, char** argv)
{
    printf("{\n");
    for (int i = 1; i < argc; i++) {
        const char* file = strrchr(argv[i], '/') ? strrchr(argv[i], '/') + 1 : argv[i];
        if (!describe(argv[i]))
            printf("  \"%s\": \"error\"", file);
        printf("%s\n", i + 1 < argc ? "," : "");
    }
    printf("}\n");
    return 0;
}
