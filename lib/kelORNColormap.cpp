#include <kel/kelORNColormap.h>

#include "kelORNTable.h"

namespace {

const int ornFirst = 32;
const int ornLast = 255;
const int ornLength = ornLast - ornFirst + 1;
const int ornGrayLast = 55;

unsigned char ornTable[3 * ornLength];

void setEntry(int index, int red, int green, int blue)
{
    int i = index - ornFirst;
    ornTable[i] = (unsigned char)red;
    ornTable[ornLength + i] = (unsigned char)green;
    ornTable[2 * ornLength + i] = (unsigned char)blue;
}

// 24 gray levels, then the color cube with green varying fastest, then red,
// then blue.
void buildTable()
{
    for (int i = ornFirst; i <= ornGrayLast; i++) {
        int gray = 255 * (i - 31) / 25;
        setEntry(i, gray, gray, gray);
    }
    for (int i = ornGrayLast + 1; i <= ornLast; i++) {
        int j = i - (ornGrayLast + 1);
        int b = j / 40, r = j % 40 / 8, g = j % 8;
        setEntry(i, 255 * r / 4, 255 * g / 7, 255 * b / 4);
    }
}

} // namespace

void* _kelORNSharedTable()
{
    static const bool built = (buildTable(), true);
    (void)built;
    return ornTable;
}

int _kelORNIsSharedTable(const void* p)
{
    return p == ornTable;
}

kelORNColormap::kelORNColormap()
    : kelColormap(_kelORNSharedTable(), 3, kelUChar, ornFirst, ornLast)
{
}

kelORNColormap::kelORNColormap(const kelORNColormap& from) = default;

kelORNColormap::~kelORNColormap() = default;

kelORNColormap& kelORNColormap::operator=(const kelORNColormap& from)
{
    kelColormap::operator=(from);
    return *this;
}
