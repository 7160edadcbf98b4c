// A FIT file: a big-endian header that records the whole configuration, a
// user area of free bytes, then every page, full size, at
//   data offset + page index x page bytes,
// its samples big-endian in the file's order and orientation.
#ifndef KEL_FITFILE_H
#define KEL_FITFILE_H

#include <kel/kelFile.h>

#include "kelPageGrid.h"

#include <stddef.h>
#include <sys/types.h>

class kelFITFile : public kelFile {
public:
    kelFITFile();
    ~kelFITFile() override;

    kelStatus getItem(int tag, va_list args) override;
    kelStatus setItem(int tag, va_list args) override;
    kelStatus getScaleMinMax(double& min, double& max) override;
    kelStatus setScaleMinMax(double min, double max) override;
    kelStatus flush() override;
    // The page whose origin is (x, y, z, c): only the part of nx x ny x nz x nc
    // elements inside the image is read; pages are written whole.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;

private:
    kelStatus writeHeader();
    kelStatus readHeader();
    kelStatus takeHeader(const unsigned char* header);
    // Checks the configuration and computes the page counts and bytes; 0
    // when no file can hold it.
    int calcPageParams();
    int layoutFits(long long offset) const;

    kelPageGrid grid() const;
    // Page transfers, bracketed by the I/O hooks: the bytes moved, or -1
    // with errno set.
    ssize_t pread(int fd, void* buf, size_t nbytes, off_t offset);
    ssize_t pwrite(int fd, const void* buf, size_t nbytes, off_t offset);

    kelStatus getExtensionData(void* buffer, int bytes);
    kelStatus setExtensionSize(int bytes);
    kelStatus setExtensionData(const void* data, int bytes);
    kelStatus getUserArea(const void*& data, int& bytes);
    kelStatus setUserArea(const void* data, int bytes);

    kelXYZ<int> pageCount;
    unsigned int pageSizeBytes;
    int userOffset;
    int dataOffset;
    int dataWritten;
    int needHeader;
    double scaleMinValue;
    double scaleMaxValue;
    int headerVersion; // 1 or 2; a version-1 file keeps its layout
    void* swapped;     // one page of big-endian samples, kept for the next write
    void* userArea;    // the last user area read as one item
};

#endif
