// The image file object: open, create and close, the interface that every
// format plug-in implements, and tile access in the caller's own layout.
#ifndef KEL_FILE_H
#define KEL_FILE_H

#include <stdarg.h>

#include <kel/kelClassList.h>
#include <kel/kelCoord.h>
#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

class kelColormap;
class kelConfig;
class kelFileConfig;
class kelFileDesc;
class kelFormat;
struct iovec;

// One parsed format argument; both point into the file's argument string.
struct kelParameterDesc {
    char* name;
    char* value;
};

// One row of a keyword table; a table ends with a row whose name is null.
struct kelNameDesc {
    const char* name;
    int id;
};

typedef kelStatus (*kelFileIOCallback)(void* arg);

class KEL_API kelFile {
public:
    static kelFile* open(kelFileDesc& fileDesc, int mode, kelStatus* status);
    static kelFile* open(int fd, const char* fullname, int mode, kelFormat* format, kelStatus* status);
    static kelFile* open(const char* fullname, int mode, kelStatus* status);
    static kelFile* create(kelFileDesc& fileDesc, kelFile* source, const kelFileConfig* cfg, kelStatus* status);
    static kelFile* create(int fd, const char* fullname, kelFile* source, const kelFileConfig* cfg,
                           kelFormat* format, kelStatus* status);
    static kelFile* create(const char* fullname, kelFile* source, const kelFileConfig* cfg, kelFormat* format,
                           kelStatus* status);

    // Flushes (unless bit 0 of `flags` is set), closes and destroys the object.
    kelStatus close(int flags = 0);

    // Splits "path#format:index%arguments"; the result is one block that the
    // caller frees, and every output points into it.
    static char* parseFileName(const char* fullname, char** formatName, int* index, char** formatArgs);

    // The slot order of these virtual operations is the interface between
    // the core and separately built plug-ins.
    virtual const char* getClassName(int parentIdx = 0) const;
    virtual const kelClassList* getClassId() const;
    virtual int derivesFrom(const kelClassList* className) const;
    virtual const char* getDefaultDescription() const;
    virtual kelStatus flush();
    virtual kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc);
    virtual kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc);
    virtual kelStatus getCompressedPage(...);
    virtual kelStatus decompressPage(...);
    virtual kelStatus compressPage(...);
    virtual kelStatus setCompressedPage(...);
    virtual int getNumImgs();
    virtual int getCurrentImg();
    virtual kelStatus setCurrentImg(int i);
    virtual kelStatus appendImg(kelFile* source, kelFileConfig* cfg);
    virtual kelStatus getColormap(const kelColormap*& cmap);
    virtual kelStatus getStatMinMax(double& min, double& max);
    virtual kelStatus getScaleMinMax(double& min, double& max);
    virtual kelStatus setColormap(const kelColormap* cmap);
    virtual kelStatus setStatMinMax(double min, double max);
    virtual kelStatus setScaleMinMax(double min, double max);
    virtual kelStatus getItem(int tag, va_list args);
    virtual kelStatus setItem(int tag, va_list args);
    virtual ~kelFile();

protected:
    virtual kelStatus openFile() = 0;
    virtual kelStatus createFile();
    virtual kelStatus closeFile() = 0;
    virtual kelStatus _getICCProfile(int& size, void*& profile);
    virtual kelStatus _freeICCProfile(void* profile);
    virtual kelStatus _setICCProfile(int size, const void* profile);
    virtual kelStatus _enableDirectIO(int enab);
    virtual kelStatus _getDirectIOMemAlignment(unsigned int& align);

public:
    // The page at (x, y, z, c), written as setPage writes it, but from
    // `count` pieces of memory that hold the page's bytes one after another
    // in page-buffer order: a page's long rows then go straight from the
    // caller's buffer to the file. Formats that do not store pages as they
    // lie in a page buffer return kelUNSUPPORTEDBYFORMAT.
    virtual kelStatus setPageSegments(const iovec* segs, int count, int x, int y, int z, int c, int nx, int ny,
                                      int nz, int nc);

public:
    // Tiles in the caller's layout (`config`; null: the file's own layout).
    kelStatus getTile(int x, int y, int z, int nx, int ny, int nz, void* data, const kelConfig* config = nullptr);
    kelStatus setTile(int x, int y, int z, int nx, int ny, int nz, const void* data,
                      const kelConfig* config = nullptr);

    // Items and tags: the arguments after `tag` go to the virtual getItem/setItem.
    kelStatus getTag(int tag, ...);
    kelStatus getItem(int tag, ...);
    kelStatus setTag(int tag, ...);
    kelStatus setItem(int tag, ...);
    kelStatus getTagV(int tag, va_list args);
    kelStatus setTagV(int tag, va_list args);
    // Arguments after the tag are values, never a started list: without these
    // a literal 0 (or nullptr) would be taken for a va_list.
    template <class... Args>
    kelStatus getItem(int tag, Args... args)
    {
        return getTag(tag, args...);
    }
    template <class... Args>
    kelStatus setItem(int tag, Args... args)
    {
        return setTag(tag, args...);
    }

    // Read-and-clear: 1 once after the plug-in changed the attributes.
    int haveAttributesChanged();

    void setBeginFileIO_CB(kelFileIOCallback cb, void* arg);
    void setEndFileIO_CB(kelFileIOCallback cb, void* arg);

    // Optional services; unsupported unless the plug-in declares interface 2.1.
    kelStatus getICCProfile(int& size, void*& profile);
    kelStatus freeICCProfile(void* profile);
    kelStatus setICCProfile(int size, const void* profile);
    kelStatus enableDirectIO(int enab);
    kelStatus getDirectIOMemAlignment(unsigned int& align);

    const char* getFileName() const { return filename; }
    int getFileDesc() const { return fd; }
    int getFileMode() const { return accessmode; }
    kelFormat* getFormat() const { return format; }
    kelColorModel getColorModel() const { return cm; }
    const int* getChannelPermutation() const { return channelPermutation; }
    int getZsize() const { return size.z; }
    int getCsize() const { return size.c; }
    kelDataType getDataType() const { return dtype; }
    kelOrder getOrder() const { return order; }
    kelOrientation getOrientation() const { return orientation; }
    kelCompression getCompression() const { return compression; }
    // Sizes upright (as in kelLowerLeftOrigin), or as seen in orientation `o`.
    void getDimensions(kelSize& s) const;
    void getPageDimensions(kelSize& s) const;
    void getSize(kelSize& s, kelOrientation o) const;
    void getPageSize(kelSize& s, kelOrientation o) const;

    static kelClassList classList;

    kelFile(const kelFile&) = delete;
    kelFile& operator=(const kelFile&) = delete;

protected:
    kelFile();

    // Splits formatArgs in place into at most maxParams name/value pairs.
    int parseArguments(kelParameterDesc* params, int maxParams);
    static int lookupName(const char* name, const kelNameDesc* names);

    void markAttributesChanged() { attrChanged = 1; }
    // Plug-ins bracket each transfer of page data with these hooks.
    kelStatus beginFileIO();
    kelStatus endFileIO();

    char* filename;
    int fd;
    int accessmode;
    kelFormat* format;
    char* formatArgs;
    kelSize size;
    kelDataType dtype;
    kelOrder order;
    kelSize pageSize;
    kelColorModel cm;
    kelOrientation orientation;
    kelCompression compression;
    int* channelPermutation;
    int attrChanged;
    kelFileIOCallback beginFileIO_CB;
    void* beginFileIO_arg;
    kelFileIOCallback endFileIO_CB;
    void* endFileIO_arg;

private:
    // The fields that open and create fill alike.
    void attach(const kelFileDesc& fileDesc, int fdesc, int mode, kelFormat* fmt);
};

#endif
