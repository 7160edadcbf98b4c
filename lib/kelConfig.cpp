#include <kel/kelConfig.h>

kelConfig::kelConfig()
    : dtype(kelDataType(0)), order(kelOrder(0)), orientation(kelOrientation(0)), nchans(0), choff(0),
      channels(nullptr)
{
}

kelConfig::kelConfig(kelDataType type, kelOrder ord, int nchan, int* chanList, int coff, kelOrientation ori)
    : dtype(type), order(ord), orientation(ori), nchans(nchan), choff(coff), channels(chanList)
{
}

int kelConfig::mapChan(int i) const
{
    if (i < 0 || i >= nchans)
        return -1;
    return channels ? channels[i + choff] : i + choff;
}

void kelConfig::invert(int nc, int* chanList) const
{
    for (int k = 0; k < nc; k++)
        chanList[k] = -1;
    for (int i = 0; i < nchans; i++) {
        int c = mapChan(i);
        if (c >= 0 && c < nc)
            chanList[c] = i;
    }
}

int kelConfig::isInvertable() const
{
    for (int i = 0; i < nchans; i++)
        for (int j = i + 1; j < nchans; j++)
            if (mapChan(i) == mapChan(j))
                return 0;
    return 1;
}

void kelConfig::compose(int nc, int* in, int* out) const
{
    // mapChan gives -1 for channels outside 0 .. nchans - 1; `in` may be `out`.
    for (int k = 0; k < nc; k++)
        out[k] = mapChan(in[k]);
}
