// A PNG file: one image, read front to back through libspng in strips and
// served as pages of at most 256 x 32 pixels, or written row by row as its
// pages arrive. The palette is the colormap, the ICC profile is iCCP, and
// the other chunks are items.
#ifndef KEL_PNGFILE_PRIVATE_H
#define KEL_PNGFILE_PRIVATE_H

#include <kel/kelFile.h>
#include <kel/kelPNGFile.h>

#include <map>
#include <string>
#include <vector>

#include "kelByteReader.h"
#include "kelByteWriter.h"
#include "kelPNGDecoder.h"
#include "kelPNGEncoder.h"
#include "kelPNGInfo.h"
#include "kelPNGLayout.h"

class kelColormap;

class kelPNGFile : public kelFile {
public:
    // Pages are at most this wide and high: narrow enough that a tile reads
    // little more than its own pixels, low enough that a file cut short
    // loses few of the rows it holds. Rows are decoded a page high at a
    // time and the last 512 kept, so that tiles up to 256 rows high read in
    // raster order decode each row once.
    static const int pageWidth = 256;
    static const int pageHeight = 32;
    static const int keptRows = 512;

    kelPNGFile();
    ~kelPNGFile() override;

    kelStatus flush() override;
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
    kelStatus _getICCProfile(int& size, void*& profile) override;
    kelStatus _freeICCProfile(void* profile) override;
    kelStatus _setICCProfile(int size, const void* profile) override;

private:
    // A band of rows of a new file, one page high, that the encoder has not
    // taken yet; complete once every page of it was set whole.
    struct HeldStrip {
        std::vector<unsigned char> rows;
        std::vector<char> pageSet;
        int pagesSet = 0;
    };

    // Reading (kelPNGRead.cpp).
    kelStatus readHeader();
    void readAncillary();
    void readTrailer();
    kelStatus makeColormap();
    void setAttributes();

    // Writing (kelPNGWrite.cpp).
    kelStatus checkNewLayout();
    kelStatus fixLayout();
    int paletteDepth() const;
    kelStatus startEncoder();
    kelStatus encodeReady();
    kelStatus encodeStrip(int strip);
    kelStatus encodeInterlaced();
    kelStatus finish();
    kelStatus holdPage(const unsigned char* page, int x, int y, int nx, int ny);
    kelStatus readHeld(unsigned char* page, int x, int y, int nx, int ny);
    kelStatus writtenAlready(int y);
    const unsigned char* heldRow(int y) const;
    void dropStrip(int strip);
    size_t pageStride() const { return layout.pageRowBytes(pageSize.x); }
    int pageColumns() const { return (size.x + pageSize.x - 1) / pageSize.x; }
    int stripHeight(int strip) const;

    // Items (kelPNGItems.cpp, kelPNGTextItems.cpp).
    kelStatus getImageItem(int tag, va_list args);
    kelStatus setImageItem(int tag, va_list args);
    kelStatus getColorItem(int tag, va_list args);
    kelStatus setColorItem(int tag, va_list args);
    kelStatus getTextItem(int tag, va_list args);
    kelStatus setTextItem(int tag, va_list args);
    const char* joinedText(const std::string& keyword);
    kelStatus setText(const char* keyword, const char* text);
    bool canSet() const;

    kelByteReader reader;
    kelByteWriter writer;
    kelPNGLayout layout;
    kelPNGInfo info;
    kelColormap* cmap;
    bool trailerRead;
    // Texts handed out, by keyword; each stays until its keyword is set.
    std::map<std::string, std::string> joined;
    std::string keywordList;

    kelPNGDecoder decoder;

    kelPNGEncoder encoder;
    int level;
    int filter;
    int depthSetting; // 0: from the data type and colormap
    bool layoutFixed;
    bool finished;
    kelStatus writeFailure; // what ended the writing early
    int limit;        // the largest pixel value taken
    std::map<int, HeldStrip> held;
    unsigned long long heldBytes;
    int nextStrip;    // the first strip the encoder has not taken
    // The page the core last read: a page set right after it is set in part.
    int readBackX, readBackY;
};

#endif
