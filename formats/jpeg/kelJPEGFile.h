// A JPEG file: one image of luminance, RGB or CMYK bytes, whose EXIF
// orientation is the file's orientation. Pages are pieces of bands of MCU
// rows (see kelJPEGFormat.h), so that a read learns which columns it needs
// and a write learns when a band is complete.
//
// Reading decodes front to back into a window of recent rows (see
// kelJPEGDecoder.h). Writing keeps the pages of each band until every page
// of the band is in, and encodes bands in order as they complete; a page
// that was read first (a tile covering only part of it) leaves its band
// open until the file is closed, which encodes whatever is left, blank
// where nothing was written.
#ifndef KEL_JPEGFILE_PRIVATE_H
#define KEL_JPEGFILE_PRIVATE_H

#include <kel/kelFile.h>
#include <kel/kelJPEGFile.h>

#include <map>
#include <memory>
#include <vector>

#include "kelJPEGDecoder.h"
#include "kelJPEGEncoder.h"
#include "kelJPEGMarkers.h"
#include "kelJPEGSettings.h"

class kelJPEGFile : public kelFile {
public:
    kelJPEGFile();
    ~kelJPEGFile() override;

    kelStatus flush() override;
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
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
    // A band of pages being written: its rows, and which of its pages were
    // written (in part: 1, whole: 2). The pixels of pages never written are
    // cleared when the band is encoded.
    struct Band {
        std::unique_ptr<unsigned char[]> pixels;
        std::vector<char> pages;
        int wholePages = 0;
    };

    // Whether (x, y) is a page's origin and nx x ny its part in the image.
    int isPage(int x, int y, int nx, int ny) const;

    // Reading (kelJPEGRead.cpp).
    kelStatus readHeader();
    kelStatus describe();
    void takeSettings();

    // Writing (kelJPEGWrite.cpp).
    int bandCount() const;
    int pagesPerBand() const;
    size_t rowBytes() const;
    kelStatus bandAt(int index, Band*& band);
    kelStatus encodeBand(int index, Band& band);
    kelStatus encodeCompleteBands();
    kelStatus encodeRest();
    kelStatus startEncoder();
    kelStatus readPending(unsigned char* page, int x, int y, int nx, int ny);
    void clearUnwritten(Band& band, int rows);

    // Items (kelJPEGItems.cpp).
    kelStatus setSetting(int tag, va_list args);

    kelJPEGSettings settings;
    std::vector<unsigned char> profile;
    kelStatus profileStatus;
    int creating;
    std::unique_ptr<kelJPEGMarkers> markers;
    std::unique_ptr<kelJPEGDecoder> decoder;
    std::unique_ptr<kelJPEGEncoder> encoder;
    std::map<int, Band> bands;
    std::unique_ptr<unsigned char[]> spare; // the rows of the band encoded last, for the next
    int nextBand;      // the first band not encoded yet
    int finished;      // the image is complete in the file
    int lastRead[2];   // the page getPage gave last: its setPage writes part of it
    kelStatus writeStatus; // the first failure of the encoder, which sticks
};

#endif
