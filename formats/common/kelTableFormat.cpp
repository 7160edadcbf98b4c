#include "kelTableFormat.h"

kelTableFormat::kelTableFormat(const char* formatName, const kelFormatCaps& caps)
    : kelFormat(formatName, caps.interfaceMajor, caps.interfaceMinor), table(caps)
{
}

static int inSet(unsigned set, int value)
{
    return set == kelAnything || (value >= 0 && value < 32 && (set & kelBitOf(value)) != 0);
}

int kelTableFormat::typeIsSupported(kelDataType type)
{
    return table.types == kelAnything || (type > 0 && (table.types & unsigned(type)) == unsigned(type));
}

int kelTableFormat::orderIsSupported(kelOrder order)
{
    return table.orders == kelAnything || (order > 0 && (table.orders & unsigned(order)) == unsigned(order));
}

int kelTableFormat::orientationIsSupported(kelOrientation orientation)
{
    return inSet(table.orientations, orientation);
}

int kelTableFormat::colorModelIsSupported(kelColorModel cm)
{
    return inSet(table.colorModels, cm);
}

int kelTableFormat::compressionIsSupported(kelCompression compression)
{
    return inSet(table.compressions, compression);
}

int kelTableFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation)
{
    const int lo = table.minExtent;
    return x >= lo && x <= table.maxWidth && y >= lo && y <= table.maxHeight && z >= lo && z <= table.maxDepth &&
           (table.channelCounts == 0 ? c >= lo : inSet(table.channelCounts, c));
}

int kelTableFormat::pagingIsSupported()
{
    return table.pageRule == kelPageRule::AnyBox;
}

int kelTableFormat::pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc, kelOrientation)
{
    switch (table.pageRule) {
    case kelPageRule::WholeImage:
        return px == x && py == y && pz == z && pc == c;
    case kelPageRule::Rows:
        return px == x && py >= 1 && pz == 1 && pc == c;
    case kelPageRule::AnyBox:
        break;
    }
    return 1;
}

int kelTableFormat::randomAccessReadIsSupported()
{
    return table.randomAccessRead;
}

int kelTableFormat::randomAccessWriteIsSupported()
{
    return table.randomAccessWrite;
}

kelDataType kelTableFormat::getPreferredType()
{
    return table.preferredType;
}

kelOrder kelTableFormat::getPreferredOrder()
{
    return table.preferredOrder;
}

kelOrientation kelTableFormat::getPreferredOrientation()
{
    return table.preferredOrientation;
}

kelColorModel kelTableFormat::getPreferredColorModel(int nc)
{
    return table.preferredColorModel[nc < 0 ? 0 : nc > 5 ? 5 : nc];
}

kelCompression kelTableFormat::getPreferredCompression()
{
    return table.preferredCompression;
}

void kelTableFormat::getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                                          kelOrientation)
{
    const int extent[4] = {x, y, z, c};
    int* page[4] = {&px, &py, &pz, &pc};
    for (int i = 0; i < 4; i++) {
        if (table.keepChosenPage && *page[i] > 0)
            continue;
        *page[i] = table.preferredPage[i] > 0 ? table.preferredPage[i] : extent[i];
    }
}

kelTagDescription* kelTableFormat::_getTagDescriptions(int& count)
{
    count = table.tagCount;
    return table.tags;
}
