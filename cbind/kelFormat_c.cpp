// Formats: lookups, capabilities, preferences and defaults.
#include <kel/ckel.h>
#include <kel/kelFormat.h>

kelFormat* kelFormatFindNext(int* index, int openDSOifNecessary)
{
    return kelFormat::findNext(*index, openDSOifNecessary);
}

kelFormat* kelFormatFindByMagic(int fd, int openDSOifNecessary)
{
    return kelFormat::findByMagic(fd, openDSOifNecessary);
}

kelFormat* kelFormatFindByFormatName(const char* formatName, int openDSOifNecessary)
{
    return kelFormat::findByFormatName(formatName, openDSOifNecessary);
}

kelFormat* kelFormatFindByFileName(const char* fileName, int noMatchRule, int openDSOifNecessary)
{
    return kelFormat::findByFileName(fileName, noMatchRule, openDSOifNecessary);
}

char* kelFormatGetName(kelFormat* _x)
{
    return const_cast<char*>(_x->getName());
}

char* kelFormatGetDefaultSuffix(kelFormat* _x)
{
    return const_cast<char*>(_x->getDefaultSuffix());
}

char* kelFormatGetDescription(kelFormat* _x)
{
    return const_cast<char*>(_x->getDescription());
}

int kelFormatAccessModeIsSupported(kelFormat* _x, int mode)
{
    return _x->accessModeIsSupported(mode);
}

int kelFormatHaveDSOVersion(kelFormat* _x, int major, int minor)
{
    return _x->haveDSOVersion(major, minor);
}

kelTagDescription* kelFormatGetTagDescriptions(kelFormat* _x, int* count)
{
    return _x->getTagDescriptions(*count);
}

int kelFormatTypeIsSupported(kelFormat* _x, kelDataType type)
{
    return _x->typeIsSupported(type);
}

int kelFormatOrderIsSupported(kelFormat* _x, kelOrder order)
{
    return _x->orderIsSupported(order);
}

int kelFormatOrientationIsSupported(kelFormat* _x, kelOrientation orientation)
{
    return _x->orientationIsSupported(orientation);
}

int kelFormatColorModelIsSupported(kelFormat* _x, kelColorModel colormodel)
{
    return _x->colorModelIsSupported(colormodel);
}

int kelFormatCompressionIsSupported(kelFormat* _x, kelCompression compression)
{
    return _x->compressionIsSupported(compression);
}

int kelFormatSizeIsSupported(kelFormat* _x, int width, int height, int z, int c, kelOrientation orientation)
{
    return _x->sizeIsSupported(width, height, z, c, orientation);
}

int kelFormatPagingIsSupported(kelFormat* _x)
{
    return _x->pagingIsSupported();
}

int kelFormatPageSizeIsSupported(kelFormat* _x, int iWidth, int iHeight, int iz, int ic, int pWidth, int pHeight,
                                 int pz, int pc, kelOrientation orientation)
{
    return _x->pageSizeIsSupported(iWidth, iHeight, iz, ic, pWidth, pHeight, pz, pc, orientation);
}

int kelFormatRandomAccessReadIsSupported(kelFormat* _x)
{
    return _x->randomAccessReadIsSupported();
}

int kelFormatRandomAccessWriteIsSupported(kelFormat* _x)
{
    return _x->randomAccessWriteIsSupported();
}

kelDataType kelFormatGetPreferredType(kelFormat* _x)
{
    return _x->getPreferredType();
}

kelOrder kelFormatGetPreferredOrder(kelFormat* _x)
{
    return _x->getPreferredOrder();
}

kelOrientation kelFormatGetPreferredOrientation(kelFormat* _x)
{
    return _x->getPreferredOrientation();
}

kelColorModel kelFormatGetPreferredColorModel(kelFormat* _x, int nc)
{
    return _x->getPreferredColorModel(nc);
}

kelCompression kelFormatGetPreferredCompression(kelFormat* _x)
{
    return _x->getPreferredCompression();
}

void kelFormatGetPreferredPageSize(kelFormat* _x, int iWidth, int iHeight, int iz, int ic, int* pWidth,
                                   int* pHeight, int* pz, int* pc, kelOrientation orientation)
{
    _x->getPreferredPageSize(iWidth, iHeight, iz, ic, *pWidth, *pHeight, *pz, *pc, orientation);
}

kelStatus kelFormatApplyDefaults(kelFormat* _x, kelFile* source, kelFileConfig* config)
{
    return _x->applyDefaults(source, *config);
}

kelStatus kelFormatApplyDefaultsConfig(kelFormat* _x, kelFileConfig* source, kelFileConfig* config)
{
    return _x->applyDefaults(source, *config);
}
