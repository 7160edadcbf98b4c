#include <kel/kelReadOnlyFormat.h>

int kelReadOnlyFormat::typeIsSupported(kelDataType)
{
    return 0;
}

int kelReadOnlyFormat::orderIsSupported(kelOrder)
{
    return 0;
}

int kelReadOnlyFormat::orientationIsSupported(kelOrientation)
{
    return 0;
}

int kelReadOnlyFormat::colorModelIsSupported(kelColorModel)
{
    return 0;
}

int kelReadOnlyFormat::compressionIsSupported(kelCompression)
{
    return 0;
}

int kelReadOnlyFormat::sizeIsSupported(int, int, int, int, kelOrientation)
{
    return 0;
}

int kelReadOnlyFormat::pagingIsSupported()
{
    return 0;
}

int kelReadOnlyFormat::pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation)
{
    return 0;
}

int kelReadOnlyFormat::randomAccessReadIsSupported()
{
    return 0;
}

int kelReadOnlyFormat::randomAccessWriteIsSupported()
{
    return 0;
}

kelDataType kelReadOnlyFormat::getPreferredType()
{
    return kelDataType(0);
}

kelOrder kelReadOnlyFormat::getPreferredOrder()
{
    return kelOrder(0);
}

kelOrientation kelReadOnlyFormat::getPreferredOrientation()
{
    return kelOrientation(0);
}

kelColorModel kelReadOnlyFormat::getPreferredColorModel(int)
{
    return kelColorModel(0);
}

kelCompression kelReadOnlyFormat::getPreferredCompression()
{
    return kelCompression(0);
}

void kelReadOnlyFormat::getPreferredPageSize(int, int, int, int, int&, int&, int&, int&, kelOrientation) {}
