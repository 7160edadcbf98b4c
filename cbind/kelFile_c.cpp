// Image files: open, create, close, attributes, tiles and pages.
#include <kel/ckel.h>
#include <kel/kelFile.h>
#include <kel/kelFileDesc.h>

#include <type_traits>

static_assert(sizeof(kelSize) == 4 * sizeof(int) && std::is_standard_layout<kelSize>::value,
              "kelSize must have the layout of the C struct");

kelFile* kelFileOpen(const char* filename, int mode, kelStatus* status)
{
    return kelFile::open(filename, mode, status);
}

kelFile* kelFileOpenByDescriptor(int fd, const char* filename, int mode, kelFormat* format, kelStatus* status)
{
    return kelFile::open(fd, filename, mode, format, status);
}

kelFile* kelFileOpenPreParsed(kelFileDesc* fileDesc, int mode, kelStatus* status)
{
    return kelFile::open(*fileDesc, mode, status);
}

kelFile* kelFileCreate(const char* filename, kelFile* source, const kelFileConfig* cfg, kelFormat* format,
                       kelStatus* status)
{
    return kelFile::create(filename, source, cfg, format, status);
}

kelFile* kelFileCreateByDescriptor(int fd, const char* filename, kelFile* source, const kelFileConfig* cfg,
                                   kelFormat* format, kelStatus* status)
{
    return kelFile::create(fd, filename, source, cfg, format, status);
}

kelFile* kelFileCreatePreParsed(kelFileDesc* fileDesc, kelFile* source, const kelFileConfig* cfg,
                                kelStatus* status)
{
    return kelFile::create(*fileDesc, source, cfg, status);
}

kelStatus kelFileClose(kelFile* _x, int flags)
{
    return _x->close(flags);
}

kelStatus kelFileFlush(kelFile* _x)
{
    return _x->flush();
}

char* kelFileParseFileName(const char* fullname, char** formatName, int* index, char** formatArgs)
{
    return kelFile::parseFileName(fullname, formatName, index, formatArgs);
}

char* kelFileGetFileName(kelFile* _x)
{
    return const_cast<char*>(_x->getFileName());
}

int kelFileGetFileDesc(kelFile* _x)
{
    return _x->getFileDesc();
}

int kelFileGetFileMode(kelFile* _x)
{
    return _x->getFileMode();
}

kelFormat* kelFileGetFormat(kelFile* _x)
{
    return _x->getFormat();
}

kelDataType kelFileGetDataType(kelFile* _x)
{
    return _x->getDataType();
}

kelOrder kelFileGetOrder(kelFile* _x)
{
    return _x->getOrder();
}

kelOrientation kelFileGetOrientation(kelFile* _x)
{
    return _x->getOrientation();
}

kelColorModel kelFileGetColorModel(kelFile* _x)
{
    return _x->getColorModel();
}

kelCompression kelFileGetCompression(kelFile* _x)
{
    return _x->getCompression();
}

int* kelFileGetChannelPermutation(kelFile* _x)
{
    return const_cast<int*>(_x->getChannelPermutation());
}

int kelFileGetZsize(kelFile* _x)
{
    return _x->getZsize();
}

int kelFileGetCsize(kelFile* _x)
{
    return _x->getCsize();
}

void kelFileGetDimensions(kelFile* _x, kelSize* dimensions)
{
    _x->getDimensions(*dimensions);
}

void kelFileGetPageDimensions(kelFile* _x, kelSize* pageDims)
{
    _x->getPageDimensions(*pageDims);
}

void kelFileGetSize(kelFile* _x, kelSize* sz, kelOrientation toOrientation)
{
    _x->getSize(*sz, toOrientation);
}

void kelFileGetPageSize(kelFile* _x, kelSize* sz, kelOrientation toOrientation)
{
    _x->getPageSize(*sz, toOrientation);
}

int kelFileHaveAttributesChanged(kelFile* _x)
{
    return _x->haveAttributesChanged();
}

int kelFileGetNumImgs(kelFile* _x)
{
    return _x->getNumImgs();
}

int kelFileGetCurrentImg(kelFile* _x)
{
    return _x->getCurrentImg();
}

kelStatus kelFileSetCurrentImg(kelFile* _x, int idx)
{
    return _x->setCurrentImg(idx);
}

kelStatus kelFileAppendImg(kelFile* _x, kelFile* source, kelFileConfig* fc)
{
    return _x->appendImg(source, fc);
}

kelStatus kelFileGetTile(kelFile* _x, int x, int y, int z, int nx, int ny, int nz, void* data,
                         const kelConfig* config)
{
    return _x->getTile(x, y, z, nx, ny, nz, data, config);
}

kelStatus kelFileSetTile(kelFile* _x, int x, int y, int z, int nx, int ny, int nz, const void* data,
                         const kelConfig* config)
{
    return _x->setTile(x, y, z, nx, ny, nz, data, config);
}

kelStatus kelFileGetPage(kelFile* _x, void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    return _x->getPage(data, x, y, z, c, nx, ny, nz, nc);
}

kelStatus kelFileSetPage(kelFile* _x, const void* data, int x, int y, int z, int c, int nx, int ny, int nz,
                         int nc)
{
    return _x->setPage(data, x, y, z, c, nx, ny, nz, nc);
}

kelStatus kelFileGetColormap(kelFile* _x, const kelColormap** cmap)
{
    return _x->getColormap(*cmap);
}

kelStatus kelFileSetColormap(kelFile* _x, const kelColormap* cmap)
{
    return _x->setColormap(cmap);
}

kelStatus kelFileGetStatMinMax(kelFile* _x, double* min, double* max)
{
    return _x->getStatMinMax(*min, *max);
}

kelStatus kelFileSetStatMinMax(kelFile* _x, double min, double max)
{
    return _x->setStatMinMax(min, max);
}

kelStatus kelFileGetScaleMinMax(kelFile* _x, double* min, double* max)
{
    return _x->getScaleMinMax(*min, *max);
}

kelStatus kelFileSetScaleMinMax(kelFile* _x, double min, double max)
{
    return _x->setScaleMinMax(min, max);
}

kelStatus kelFileGetICCProfile(kelFile* _x, int* size, void** profile)
{
    return _x->getICCProfile(*size, *profile);
}

kelStatus kelFileFreeICCProfile(kelFile* _x, void* profile)
{
    return _x->freeICCProfile(profile);
}

kelStatus kelFileSetICCProfile(kelFile* _x, int size, const void* profile)
{
    return _x->setICCProfile(size, profile);
}

kelStatus kelFileEnableDirectIO(kelFile* _x, int enable)
{
    return _x->enableDirectIO(enable);
}

kelStatus kelFileGetDirectIOMemAlignment(kelFile* _x, unsigned int* memAlign)
{
    return _x->getDirectIOMemAlignment(*memAlign);
}
