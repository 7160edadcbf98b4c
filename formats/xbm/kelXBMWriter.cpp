#include "kelXBMWriter.h"

#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "kelXBMBits.h"

static int isNameChar(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
}

void kelXBMNameOf(const char* path, char (&name)[kelXBMNameMax + 1])
{
    const char* base = path ? strrchr(path, '/') : nullptr;
    base = base ? base + 1 : path;
    size_t n = 0;
    while (base && n < kelXBMNameMax && isNameChar(base[n]))
        ++n;
    if (n == 0) {
        strcpy(name, "bitmap_name");
        return;
    }
    memcpy(name, base, n);
    name[n] = '\0';
}

static kelStatus writeHead(FILE* out, const char* name, const kelXBMPicture& pic)
{
    if (fprintf(out, "#define %s_width %d\n#define %s_height %d\n", name, pic.width, name, pic.height) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    if (pic.hotX >= 0 && pic.hotY >= 0 &&
        fprintf(out, "#define %s_x_hot %d\n#define %s_y_hot %d\n", name, pic.hotX, name, pic.hotY) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    if (fprintf(out, "\nstatic unsigned char %s_bits[] = {", name) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}

// Appends " 0xNN" with its comma (none after the last value), starting a
// new line every twelve values.
static char* formatValue(char* p, unsigned v, size_t index, size_t count)
{
    static const char hex[] = "0123456789abcdef";
    if (index % 12 == 0) {
        memcpy(p, "\n   ", 4);
        p += 4;
    }
    memcpy(p, " 0x", 3);
    p[3] = hex[v >> 4];
    p[4] = hex[v & 15];
    p += 5;
    if (index + 1 < count)
        *p++ = ',';
    return p;
}

// The values row by row: each row's padding bytes in the page are skipped.
static kelStatus writeValues(FILE* out, const kelXBMPicture& pic)
{
    const size_t rowBytes = (size_t(pic.width) + 7) / 8;
    const size_t count = rowBytes * size_t(pic.height);
    char text[4096];
    char* p = text;
    for (size_t i = 0; i < count; ++i) {
        p = formatValue(p, bitReverse[pic.page[i / rowBytes * pic.stride + i % rowBytes]], i, count);
        if (size_t(p - text) > sizeof text - 16 || i + 1 == count) {
            if (fwrite(text, 1, size_t(p - text), out) != size_t(p - text))
                return kelSystemStatus(kelWRITEFAILED);
            p = text;
        }
    }
    return fputs("};\n", out) < 0 ? kelSystemStatus(kelWRITEFAILED) : kelOKAY;
}

// A shorter text must not leave the end of an older one behind.
static kelStatus cutAfterText(FILE* out)
{
    if (fflush(out) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    struct stat st;
    off_t end = ftello(out);
    if (end < 0 || fstat(fileno(out), &st) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    if (S_ISREG(st.st_mode) && ftruncate(fileno(out), end) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}

kelStatus kelXBMWriteText(FILE* out, const char* name, const kelXBMPicture& pic, long long& dataOffset)
{
    clearerr(out);
    if (fseeko(out, 0, SEEK_SET) != 0)
        return kelSystemStatus(kelSEEKFAILED);
    kelStatus sts = writeHead(out, name, pic);
    if (sts != kelOKAY)
        return sts;
    off_t data = ftello(out);
    if (data < 0)
        return kelSystemStatus(kelWRITEFAILED);
    if ((sts = writeValues(out, pic)) != kelOKAY || (sts = cutAfterText(out)) != kelOKAY)
        return sts;
    dataOffset = data;
    return kelOKAY;
}
