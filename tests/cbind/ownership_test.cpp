// Who releases what: destructor functions, their null handles, virtual
// destruction of colormaps, and creation when memory runs out. The sanitizer
// build's leak and double-free checks watch every case.
#include <gtest/gtest.h>
#include <kel/kel.h>

#include <stdlib.h>

#include <new>

#include "itemProbeFile.h"

// Allocation through operator new fails while this is set; the replacement
// serves the binding's allocations too.
static bool failAllocations = false;

void* operator new(size_t n)
{
    void* p = failAllocations ? nullptr : malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new(size_t n, const std::nothrow_t&) noexcept
{
    return failAllocations ? nullptr : malloc(n ? n : 1);
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}

namespace {

TEST(CbindOwnership, EveryDestructorIgnoresNull)
{
    kelConfigDelete(nullptr);
    kelFileConfigDelete(nullptr);
    kelFileDescDelete(nullptr);
    kelLutDelete(nullptr);
    kelPixelDelete(nullptr);
    kelTagDelete(nullptr);
}

// A colormap that counts its destruction.
class CountedColormap : public kelColormap {
public:
    CountedColormap(int& count) : kelColormap(3, kelUChar, 0, 15), destroyed(count) {}
    ~CountedColormap() override { destroyed++; }
    int& destroyed;
};

TEST(CbindOwnership, LutDeleteDestroysAColormapAsAColormap)
{
    int destroyed = 0;
    kelLutDelete(new CountedColormap(destroyed));
    EXPECT_EQ(1, destroyed);

    // An ORN colormap with a private copy of the shared table frees that too.
    kelORNColormap* orn = kelORNColormapCreate();
    ASSERT_NE(nullptr, orn);
    const void* shared = kelLutGetData(orn);
    EXPECT_EQ(kelOKAY, kelLutSetVal(orn, 1, 40, 0));
    EXPECT_NE(shared, kelLutGetData(orn));
    kelLutDelete(orn);
}

// Pixels own their value buffer; deleting one frees it exactly once.
TEST(CbindOwnership, PixelDeleteReleasesOnce)
{
    const unsigned char rgb[3] = {1, 2, 3};
    for (int i = 0; i < 3; i++) {
        kelPixel* pix = kelPixelCreate(kelUChar, 3, rgb);
        ASSERT_NE(nullptr, pix);
        kelPixel* copy = kelPixelPixCreate(pix);
        kelPixelSetElem(copy, 9, 6);
        kelPixelDelete(pix);
        kelPixelDelete(copy);
    }
}

TEST(CbindOwnership, FileConfigDeleteReleasesBothKinds)
{
    ItemProbeFile file;
    kelSize dims(3, 3, 1, 1);
    kelFileConfig* made = kelFileConfigCreate(&dims, kelUChar, kelInterleaved, kelLuminance, kelUpperLeftOrigin,
                                              kelNoCompression, &dims);
    kelFileConfig* fromFile = kelFileConfigFile(&file);
    ASSERT_TRUE(made && fromFile);
    kelFileConfigDelete(made);
    kelFileConfigDelete(fromFile);
}

// Every creation function gives null, never an exception, when memory runs out.
TEST(CbindOwnership, CreationGivesNullWhenMemoryRunsOut)
{
    ItemProbeFile file;
    kelLut lut(1, kelUChar, 0, 3, 4);
    kelPixel pix;
    kelTagDescription desc = {1, kelTagInt | 1, "d", "n", "0", nullptr};
    kelSize dims(2, 2, 1, 1);
    unsigned char table[4] = {};
    int chans[] = {0};

    failAllocations = true;
    const void* made[] = {
        kelColormapCreate(1, kelUChar, 0, 3),
        kelColormapNoAlloc(table, 1, kelUChar, 0, 3),
        kelConfigCreate(kelUChar, kelInterleaved, 1, chans, 0, kelUpperLeftOrigin),
        kelFileConfigCreate(&dims, kelUChar, kelInterleaved, kelLuminance, kelUpperLeftOrigin, kelNoCompression,
                            &dims),
        kelFileConfigFile(&file),
        kelFileDescCreate("a.raw", nullptr),
        kelFileDescPreParsed("a.raw", 0, "Raw", nullptr),
        kelFileDescFullyParsed("a.raw", 0, nullptr, nullptr),
        kelLutCreate(1, kelUChar, 0, 3, 4),
        kelLutNoAlloc(table, 1, kelUChar, 0, 3, 4),
        kelLutCopy(&lut),
        kelPixelCreate(kelUChar, 1, table),
        kelPixelPixCreate(&pix),
        kelORNColormapCreate(),
        kelTagFromDesc(&desc),
    };
    failAllocations = false;
    for (size_t i = 0; i < sizeof made / sizeof made[0]; i++)
        EXPECT_EQ(nullptr, made[i]) << "creation function " << i;
}

} // namespace
