// One conversion between two converters: walks a region that both describe,
// pairs destination channels with source channels and writes every
// destination element from its source element, converting the data type.
#ifndef KEL_CONVITER_H
#define KEL_CONVITER_H

#include <kel/kelConverter.h>
#include <kel/kelExport.h>
#include <kel/kelTile.h>

#include <vector>

class KEL_API kelConvIter {
public:
    kelConvIter(kelConverter& dest, kelConverter& source);

    void convert(const kelTile3D<int>& area);

private:
    template <class D>
    void sourceSwitch();
    template <class D, class S>
    void elementLoop();
    template <class D, class S>
    void unitRows();
    template <class D, class S>
    void stridedRows(const std::vector<long>& starts);
    template <class D, class S>
    int planarRows(const std::vector<long>& starts);
    template <class D, class S>
    void blockedRows();
    template <class D, class S>
    int directBytes() const;
    template <class D, class S>
    void blockedTile(long dRow, long sRow, long rows, long x0, long cols);

    void convertElements();
    std::vector<long> channelStarts();
    int reset();
    int nextChan();
    int nextRow();
    int sameChans() const;
    static int packed(const kelConverter& c);
    int destChan(int i) const;
    int sourceChan(int i) const;
    long destIndex(long x, long y, long z) const;
    long sourceIndex(long x, long y, long z) const;

    int fastCopy();
    int sameType() const;
    int sameXdim() const;
    int sameXY() const;
    int sameZ() const;
    int blockOrder() const;
    void rowCopy();
    void prefetchRow(long sIndex) const;
    void chanCopy();
    void wholeCopy();
    void copyRun(long dIndex, long sIndex, long count);

    void BitSwitch();
    void uCharSwitch();
    void charSwitch();
    void uShortSwitch();
    void shortSwitch();
    void uIntSwitch();
    void intSwitch();
    void floatSwitch();
    void doubleSwitch();

    kelConverter& dst;
    kelConverter& src;
    kelTile3D<int> com;
    // Element indices are 64-bit: bit indices of large images pass 2^31.
    long baseD, baseS;
    int ci;
    int zi, yi;
    long ziD, ziS;
    long yiD, yiS;
    long sxD, sxS;
    long nx;
    int collapse;
    // Whether the destination is written with non-temporal stores.
    bool stream;
    bool prefetch;
};

#endif
