// Enumerates the pages that a requested box and channel selection touch.
// The inherited box is the current page (origin and page size), `c` and
// `nc` its channel group.
#ifndef KEL_TILEITER_H
#define KEL_TILEITER_H

#include <kel/kelCoord.h>
#include <kel/kelExport.h>
#include <kel/kelTile.h>

class kelConfig;

class KEL_API kelTileIter : public kelTile3D<int> {
public:
    kelTileIter(const kelTile3D<int>& tile, const kelSize& pageSize, int nc, const kelConfig* config, int talign);
    kelTileIter(const kelTile3D<int>& tile, int nc, const kelConfig* config, int talign);

    void setPageSize(const kelSize& s);
    void setPageBorder(const kelXYZ<int>& b, int incBorder);
    // `nc` is the image's channel count; `config` may select channels.
    void setTile(const kelTile3D<int>& t, int nc, const kelConfig* config, int talign);

    // Steps to the next page: x fastest, then y, z and the channel group.
    int more();
    int getCount();

    int c, nc;
    int ox, oy, oz, oc;
    int sx, sy, sz, sc;
    int ex, ey, ez, ec;
    int* chanList;
    int cLen;
    int dx, dy, dz;
    int bx, by, bz;
    int incBorder;
    int talign;
    int altered;
    int pageCount;

private:
    void reset();
    void takeRequest();
    void spanListedChannels();
    int placeStarts();
    int nextChannelGroup();
    int groupIsListed(int group) const;
    long long channelGroupCount() const;

    // The request as last set: reset derives the region from it, so that a
    // later reset starts from the same values.
    kelTile3D<int> request;
    int requestOc;
    int requestEc;
    int exhausted;
};

#endif
