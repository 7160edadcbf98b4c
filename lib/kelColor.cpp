#include <kel/kelColor.h>

extern "C" int kelColorModelChans(kelColorModel cm)
{
    switch (cm) {
    case kelNegative:
    case kelLuminance:
    case kelRGBPalette:
        return 1;
    case kelLuminanceAlpha:
        return 2;
    case kelRGB:
    case kelHSV:
    case kelCMY:
    case kelBGR:
    case kelYCC:
        return 3;
    case kelRGBA:
    case kelCMYK:
    case kelABGR:
        return 4;
    case kelMultiSpectral:
        return 0; // any number of channels
    default:
        return -1;
    }
}

extern "C" int kelColorModelHasAlpha(kelColorModel cm)
{
    return cm == kelLuminanceAlpha || cm == kelRGBA || cm == kelABGR;
}

extern "C" kelColorModel kelColorModelFromChans(int nc)
{
    switch (nc) {
    case 1:
        return kelLuminance;
    case 2:
        return kelLuminanceAlpha;
    case 3:
        return kelRGB;
    case 4:
        return kelRGBA;
    default:
        return kelMultiSpectral;
    }
}
