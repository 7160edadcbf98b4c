// A BMP file: one image of 1, 4, 8, 16, 24 or 32 bits per pixel, which is
// one page. It is read and written with positioned transfers over the
// framework's descriptor, which the file closes once, in closeFile.
#ifndef KEL_FORMATS_BMP_FILE_H
#define KEL_FORMATS_BMP_FILE_H

#include <kel/kelBMPFile.h>
#include <kel/kelFile.h>
#include <kel/kelLimits.h>

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <memory>
#include <new>

#include "kelBMPBitFields.h"
#include "kelByteReader.h"
#include "kelByteWriter.h"

class kelBMPFile : public kelFile {
public:
    // The file header: 14 bytes, little-endian.
    struct Header {
        static constexpr uint16_t magic = 19778; // "BM"

        uint16_t ImageFileType = 0;
        uint32_t FileSize = 0;
        uint16_t Reserved1 = 0;
        uint16_t Reserved2 = 0;
        uint32_t ImageDataOffset = 0; // 0 in a new file until the pixels are placed

        kelStatus read(kelByteReader& in);
        void write(kelByteWriter& out) const;
    };

    // The bitmap info header: the 12-byte layout, or the 40-byte one that
    // every larger header begins with, and the color masks of 16- and 32-bit
    // files.
    struct InfoHeader {
        static constexpr uint32_t bitFields = 3; // compression: pixels by masks
        static constexpr uint32_t v5Size = 124;

        uint32_t HeaderSize = 0;
        int32_t ImageWidth = 0;
        int32_t ImageHeight = 0; // negative: the top row is stored first
        uint16_t NumberOfImagePlanes = 0;
        uint16_t BitsPerPixel = 0;
        uint32_t CompressionMethod = 0;
        uint32_t SizeOfBitmap = 0;
        int32_t HorzResolution = 0;
        int32_t VertResolution = 0;
        uint32_t NumColorsUsed = 0;
        uint32_t NumSignificantColors = 0;
        uint32_t Masks[4] = {}; // red, green, blue, alpha

        kelStatus read(kelByteReader& in);
        // The 40-byte layout, or the V5 layout with masks for 32 bits.
        void write(kelByteWriter& out) const;

        // Whether the header has the 12-byte layout (3-byte palette entries).
        int isShort() const { return HeaderSize < 40; }
        int isTopDown() const { return ImageHeight < 0; }
        int isRunLength() const { return CompressionMethod == 1 || CompressionMethod == 2; }
        // Checks depth, compression, masks and sizes of a file being opened.
        kelStatus check() const;
        long long height() const;
        // Channels of the page: 1 for palette files, 3 for RGB, 4 with alpha.
        int channels() const;
        // Bytes of one stored row, padding included.
        uint64_t rowStride() const;
        // Palette entries a file of this depth holds (0 without a palette).
        uint32_t paletteEntries() const;
        // The masks of 16- and 32-bit pixels, the defaults when the file has none.
        void defaultMasks();
    };

    kelBMPFile();
    ~kelBMPFile() override;

    kelStatus flush() override;
    // The page is the whole image: the position and extents are not needed.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus getColormap(const kelColormap*& map) override;
    kelStatus setColormap(const kelColormap* map) override;
    kelStatus getScaleMinMax(double& min, double& max) override;
    kelStatus getItem(int tag, va_list args) override;
    kelStatus setItem(int tag, va_list args) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;

private:
    // Rows are moved in blocks of about this many bytes, small enough to
    // stay in the cache between reading and converting.
    static constexpr size_t ioBlockBytes = 256 * 1024;

    kelStatus readHeaders();
    void setAttributes();
    uint32_t paletteEntriesToRead() const;
    kelStatus readPalette();
    void writePalette();
    void dropPalette();

    size_t rowsPerBlock() const;
    // Calls step(block, y, rows) for the image's stored rows, bottom first,
    // a block of them at a time, with one block of scratch; stops at the
    // first failure.
    template <class Step>
    kelStatus inRowBlocks(Step step) const;
    kelStatus readRows(unsigned char* page);
    kelStatus readByteRows(unsigned char* page);
    kelStatus readPackedRows(unsigned char* page);
    kelStatus decodePage(unsigned char* page);
    kelStatus readBytes(void* buf, size_t n);

    void calcOffset();
    kelStatus writeRows(const unsigned char* page);

    kelByteReader reader;
    kelByteWriter writer;
    int flushNeeded;
    Header hdr;
    InfoHeader infoHdr;
    kelBMPBitFields fields;
    kelColormap* cmap;
    // A new file's pixels are in the file once setPage has written them.
    int pixelsWritten;
};

template <class Step>
kelStatus kelBMPFile::inRowBlocks(Step step) const
{
    const size_t height = size_t(size.y);
    const size_t maxRows = std::min(rowsPerBlock(), height);
    const size_t blockBytes = maxRows * size_t(infoHdr.rowStride());
    kelStatus sts = kelCheckPageBytes(blockBytes, "BMP rows");
    if (sts != kelOKAY)
        return sts;
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[blockBytes]);
    if (!block)
        return kelMALLOCFAILED;
    for (size_t y = 0; y < height && sts == kelOKAY; y += maxRows)
        sts = step(block.get(), y, std::min(maxRows, height - y));
    return sts;
}

#endif
