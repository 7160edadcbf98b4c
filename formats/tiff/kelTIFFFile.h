// A TIFF file: every directory is an image, and the pages of an image are
// its tiles or strips (of one plane where the planes are separate), each
// read and written by itself through libtiff.
//
// A new image is written block by block as pages come; blocks never
// written are written blank when the image is finished (another image is
// appended or selected, or the file closed), so that no reader finds a
// block missing. Until then libtiff's codec is set up for encoding, so a
// page written already (a box that covered part of it) is read back from
// the file where it is stored uncompressed, else from a copy of the pages
// written last (kelTIFFHeldBytes of them).
#ifndef KEL_TIFFFILE_PRIVATE_H
#define KEL_TIFFFILE_PRIVATE_H

#include <kel/kelFile.h>
#include <kel/kelTIFFFile.h>

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "kelTIFFLayout.h"
#include "kelTIFFStream.h"

class kelColormap;

class kelTIFFFile : public kelFile {
public:
    kelTIFFFile();
    ~kelTIFFFile() override;

    kelStatus flush() override;
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPageSegments(const iovec* segs, int count, int x, int y, int z, int c, int nx, int ny, int nz,
                              int nc) override;
    int getNumImgs() override;
    int getCurrentImg() override;
    kelStatus setCurrentImg(int i) override;
    kelStatus appendImg(kelFile* source, kelFileConfig* cfg) override;
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
    // kelTIFFFile.cpp
    kelStatus openTIFF(const char* mode);
    kelStatus failure(kelStatus otherwise);

    // Images (kelTIFFImages.cpp).
    kelStatus countImages();
    kelStatus selectImage(int index);
    kelStatus takeLayout();
    kelStatus leaveImage();
    enum Direction { Idle, Reading, Writing };
    kelStatus turn(Direction to);

    // Reading (kelTIFFRead.cpp).
    int blockOf(int x, int y, int c, int nx, int ny) const;
    kelStatus readBlock(int block, int rows, void* page);
    kelStatus readRGBA(int x, int y, int nx, int ny, unsigned char* page);
    kelStatus loadColormap();

    // Writing (kelTIFFWrite.cpp).
    kelStatus startImage();
    kelStatus writeBlock(int block, const void* page);
    kelStatus finishImage();
    int blockCount() const;
    void hold(int block, const void* page);
    kelStatus readWritten(int block, int rows, void* page);

    // Items (kelTIFFItems.cpp).
    kelStatus getString(int field, va_list args);
    kelStatus setCoding(int tag, int value);
    int codingOpen() const;

    kelTIFFStream stream;
    TIFF* tif;
    kelTIFFLayout layout;
    int nimgs;
    int imgidx;
    int fresh;                   // the current image is new: its directory is not in the file yet
    int bigTIFF;
    std::vector<char> written;   // the blocks of a fresh image written so far
    int blocksWritten;           // blocks written to the current image
    Direction direction;         // of the last page of an image read from the file
    std::unique_ptr<kelColormap> colormap;
    std::vector<unsigned char> scratch; // a block that is not the page as it lies
    std::vector<uint32_t> raster;       // a block through libtiff's RGBA interface
    std::map<int, std::vector<unsigned char>> held; // compressed pages of a new image, for reading back
    std::deque<int> heldOrder;                      // oldest first
    size_t heldBytes;
};

#endif
