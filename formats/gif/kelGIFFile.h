// A GIF file: every image descriptor is one image of one page, whose pixels
// are color indices into the image's local table or the global one. The
// logical screen, placement, timing, transparency and looping are items.
#ifndef KEL_GIFFILE_PRIVATE_H
#define KEL_GIFFILE_PRIVATE_H

#include <kel/kelFile.h>
#include <kel/kelGIFFile.h>

#include <vector>

#include "kelByteReader.h"
#include "kelByteWriter.h"
#include "kelGIFDecoder.h"
#include "kelGIFEncoder.h"

class kelColormap;

struct kelGIFXY {
    int x;
    int y;
};

class kelGIFFile : public kelFile {
public:
    kelGIFFile();
    ~kelGIFFile() override;

    // The only page is the whole current image; the position and extent
    // arguments are not needed.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    // Appends the whole current image to the file.
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    int getNumImgs() override;
    int getCurrentImg() override;
    kelStatus setCurrentImg(int desiredIdx) override;
    kelStatus appendImg(kelFile* src, kelFileConfig* cfg) override;
    kelStatus getColormap(const kelColormap*& cmap) override;
    kelStatus setColormap(const kelColormap* cmap) override;
    kelStatus getItem(int tag, va_list args) override;
    kelStatus setItem(int tag, va_list args) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;
    kelStatus _getICCProfile(int& size, void*& profile) override;
    kelStatus _freeICCProfile(void* profile) override;
    kelStatus _setICCProfile(int size, const void* profile) override;

private:
    struct ImageState;

    // Scanning (kelGIFScan.cpp).
    kelStatus readHeader();
    kelStatus checkSignature();
    kelStatus readScreen();
    kelStatus scanBlocks(long long& firstImage);
    kelStatus getHeader();
    void skipImage();
    void skipImageData();
    void rememberImageStart(int index, long long offset);
    kelStatus selectImage(int desiredIdx);
    void resetImageExtensions();

    // Extensions (kelGIFExtension.cpp).
    kelStatus readExtension(int discard);
    int readSubBlock(unsigned char* d);
    template <class Visit>
    kelStatus eachSubBlock(Visit visit);
    kelStatus readGraphicControl();
    kelStatus readApplication();
    kelStatus readLoopBlocks();
    kelStatus skipBlocks(int count);

    // The ICC profile (kelGIFProfile.cpp).
    kelStatus readProfile();
    void deleteProfile();

    // Colormaps (kelGIFColormap.cpp).
    kelStatus readColormap(kelColormap*& map, int bits);
    kelStatus readLocalMap();
    kelStatus transparentCopy(const kelColormap& map);
    const kelColormap* currentMap() const;

    // Decoding (kelGIFRead.cpp).
    kelStatus readRaster(unsigned char* out, size_t count);
    kelStatus readInterlaced(unsigned char* page, size_t count);
    void unInterlace(const unsigned char* inputBuf, unsigned char* outputBuf) const;

    // Writing (kelGIFWrite.cpp).
    void initImageAttrs();
    kelStatus openOutput();
    kelStatus writeHeader();
    kelStatus writeImage(const unsigned char* cbuf, long long& blocks);
    kelStatus checkPixels(const unsigned char* cbuf, int bits) const;
    void writeTable(const kelColormap& map, int entries);
    void writeGraphicControl();
    void writeDescriptor(const kelColormap* table, int bits);
    void writeLoopExtension();
    void writeProfileExtension();
    void rememberHeaderTable(const kelColormap& map, int entries);
    int matchesHeaderTable(const kelColormap& map) const;
    kelStatus checkOutputStatus();

    // Items (kelGIFItems.cpp).
    kelStatus getColorItem(const kelColormap* map, int index, va_list args) const;
    kelStatus setImageItem(int tag, va_list args);
    kelStatus setFileItem(int tag, va_list args);

    int nimgs;
    int imgidx;
    kelColormap* globalMap;
    kelColormap* localMap;
    int isThereLocalMap;
    int localBits;
    kelGIFXY screen;
    int backgroundIndex;
    int aspectRatio;
    int loopCount;
    kelGIFXY position;
    long long beginOfImages;
    // Where the blocks of each image begin: after the image before it, or
    // at beginOfImages. Selecting an image reads from there.
    std::vector<long long> imageStarts;
    long long beginCurrentImage;
    // Where the next image goes: the trailer, or the end of the last block.
    long long endOfImages;
    unsigned char dataSize;
    int interlaced;
    int doInterlace;
    int wroteHeader;
    // The current image is not in the file yet (created or appended).
    int pending;
    // The output is attached (at the first image written).
    int writing;
    int transIndex;
    int delayTime;
    int disposalMethod;
    int userInput;
    int profileSize;
    unsigned char* profileData;
    // The color table of the file's header, as written: R, G, B per entry.
    int headerEntries;
    unsigned char headerTable[3 * 256];

    kelByteReader input;
    kelByteWriter output;
    kelGIFDecoder decoder;
    // Code stream bytes of whole sub-blocks, gathered for the decoder.
    enum { chunkBytes = 64 * 1024 };
    unsigned char codeChunk[chunkBytes + 255];
    kelGIFEncoder encoder;
};

// Calls visit(bytes, count) for each sub-block up to the terminator, and
// stops at the first status other than kelOKAY that it returns.
template <class Visit>
kelStatus kelGIFFile::eachSubBlock(Visit visit)
{
    for (;;) {
        unsigned char d[255];
        const int len = readSubBlock(d);
        if (len < 0)
            return kelPREMATUREEOF;
        if (len == 0)
            return kelOKAY;
        kelStatus sts = visit(d, len);
        if (sts != kelOKAY)
            return sts;
    }
}

#endif
