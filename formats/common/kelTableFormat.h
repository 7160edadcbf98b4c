// A format whose capabilities are data: one constant table says what the
// format stores, what it prefers and its limits, and the format interface's
// questions are answered from it. A plug-in's format class is such a table,
// its tag descriptions and newfileobj(); it overrides a question only where
// its rule cannot be said as data.
#ifndef KEL_TABLEFORMAT_H
#define KEL_TABLEFORMAT_H

#include <kel/kelFormat.h>
#include <kel/kelTagDescription.h>

// Bit sets over enumerations that are not masks themselves.
constexpr unsigned kelBitOf(int value)
{
    return 1u << value;
}
// Any value at all, in any of the sets below: formats that store whatever
// they are given.
constexpr unsigned kelAnything = ~0u;
// Every orientation, every order.
constexpr unsigned kelAnyOrientation = 0x1feu;
constexpr unsigned kelAnyOrder = kelInterleaved | kelSequential | kelSeparate;
constexpr unsigned kelAnyType = 0x1ffu;

// Which page sizes a format accepts.
enum class kelPageRule {
    WholeImage, // one page holds the image: every row, plane and channel
    Rows,       // pages as wide as the image, of one plane and every channel
    AnyBox      // any page size
};

struct kelFormatCaps {
    unsigned types;        // kelDataType bits
    unsigned orders;       // kelOrder bits
    unsigned orientations; // kelBitOf(orientation) bits
    unsigned colorModels;  // kelBitOf(model) bits
    unsigned compressions; // kelBitOf(compression) bits

    kelDataType preferredType;
    kelOrder preferredOrder;
    kelOrientation preferredOrientation;
    kelCompression preferredCompression;
    // Preferred model by channel count: [0] when none is known, [1]..[4]
    // for one to four channels, [5] for more.
    kelColorModel preferredColorModel[6];

    // Image limits (upright, inclusive); channel counts as kelBitOf(c) bits
    // for c < 32, 0 for any count.
    int minExtent;
    int maxWidth;
    int maxHeight;
    int maxDepth;
    unsigned channelCounts;

    kelPageRule pageRule;
    // The page a new file gets (x, y, z, c); 0 means the image's extent.
    int preferredPage[4];
    // Non-zero: page extents the caller chose are kept, only the others
    // come from preferredPage.
    int keepChosenPage;

    int randomAccessRead;
    int randomAccessWrite;

    // Interface version the plug-in implements (2.1 for ICC profiles and
    // tag descriptions).
    int interfaceMajor;
    int interfaceMinor;

    // The format's tag descriptions; null and 0 when it has none.
    kelTagDescription* tags;
    int tagCount;
};

class kelTableFormat : public kelFormat {
public:
    int typeIsSupported(kelDataType type) override;
    int orderIsSupported(kelOrder order) override;
    int orientationIsSupported(kelOrientation orientation) override;
    int colorModelIsSupported(kelColorModel cm) override;
    int compressionIsSupported(kelCompression compression) override;
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) override;
    int pagingIsSupported() override;
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int nc) override;
    kelCompression getPreferredCompression() override;
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;

    const kelFormatCaps& caps() const { return table; }

protected:
    kelTableFormat(const char* formatName, const kelFormatCaps& caps);
    kelTagDescription* _getTagDescriptions(int& count) override;

private:
    const kelFormatCaps& table;
};

#endif
