// A Raw file: an optional preamble that is skipped, then the pages one after
// another, each exactly as the framework's page buffer holds it.
#ifndef KEL_RAWFILE_H
#define KEL_RAWFILE_H

#include <kel/kelFile.h>

#include "kelPageGrid.h"

#include <sys/types.h>
#include <sys/uio.h>

class kelRawFile : public kelFile {
public:
    kelRawFile();

    // The page whose origin is (x, y, z, c): only the part of nx x ny x nz x nc
    // elements inside the image is read; pages are written whole.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPageSegments(const iovec* segs, int count, int x, int y, int z, int c, int nx, int ny, int nz,
                              int nc) override;
    kelStatus getScaleMinMax(double& min, double& max) override;
    kelStatus setScaleMinMax(double min, double max) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;

private:
    struct ArgsSeen;

    kelStatus decodeArgs(int isOpen);
    void setOpenDefaults();
    void turnUpright();
    void applyArgument(const kelParameterDesc& arg, int isOpen, ArgsSeen& seen);
    kelStatus completeGeometry();
    void setScaleDefaults(const ArgsSeen& seen);
    kelStatus computeLayout();

    kelPageGrid grid() const;
    int holdsOnePage(const iovec* segs, int count) const;
    ssize_t pread(int fd, void* buf, size_t nbytes, off_t offset);
    ssize_t writeSegments(const iovec* segs, int count, off_t offset);

    kelXYZ<int> pageCount;
    unsigned int pageSizeBytes;
    int dataOffset;
    double scaleMinValue;
    double scaleMaxValue;
};

#endif
