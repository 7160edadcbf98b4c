// kelFormat::applyDefaults: deciding every attribute of a new file that the
// caller left open.
#include <kel/kelColor.h>
#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFormat.h>

kelStatus kelFormat::applyDefaults(kelFile* source, kelFileConfig& fc)
{
    if (!source)
        return applyDefaults(static_cast<kelFileConfig*>(nullptr), fc);
    kelFileConfig sourceConfig(source);
    return applyDefaults(&sourceConfig, fc);
}

kelStatus kelFormat::applyDefaults(kelFileConfig* source, kelFileConfig& fc)
{
    if (source)
        defaultsFromSource(*source, fc);
    else
        defaultsFromFormat(fc);
    return checkConfig(fc);
}

// The nearest supported type: first upward from the source's type, then
// downward. A source without a valid type gives no hint.
static kelDataType closestType(kelFormat* fmt, kelDataType start)
{
    if (start <= 0)
        return fmt->getPreferredType();
    int t = start;
    while (!fmt->typeIsSupported(kelDataType(t)) && t < kelDouble)
        t <<= 1;
    while (!fmt->typeIsSupported(kelDataType(t)) && t > kelBit)
        t >>= 1;
    return kelDataType(t);
}

// The nearest supported model: first downward from the source's model, then
// upward. A value outside the enumeration starts at its nearer end, so that
// no garbage value makes the search walk the int range.
static kelColorModel closestColorModel(kelFormat* fmt, kelColorModel start, int nc)
{
    int m = start < 0 ? 0 : start > kelLuminanceAlpha ? int(kelLuminanceAlpha) : int(start);
    while (!fmt->colorModelIsSupported(kelColorModel(m)) && m > 1)
        m--;
    while (!fmt->colorModelIsSupported(kelColorModel(m)) && m < kelABGR)
        m++;
    if (nc != 0 && nc != kelColorModelChans(kelColorModel(m)))
        return fmt->getPreferredColorModel(nc);
    return kelColorModel(m);
}

static void fillZeros(int& v, int from)
{
    if (v == 0)
        v = from;
}

void kelFormat::defaultsFromSource(const kelFileConfig& src, kelFileConfig& fc)
{
    kelSize D, P, S, SP;
    fc.getDimensions(D);
    fc.getPageDimensions(P);
    src.getDimensions(S);
    src.getPageDimensions(SP);

    if (fc.isDataTypeDefaulted())
        fc.setDataType(closestType(this, src.getDataType()));
    if (fc.isOrderDefaulted())
        fc.setOrder(orderIsSupported(src.getOrder()) ? src.getOrder() : getPreferredOrder());
    if (fc.isOrientationDefaulted())
        fc.setOrientation(orientationIsSupported(src.getOrientation()) ? src.getOrientation()
                                                                       : getPreferredOrientation());
    if (fc.isColorModelDefaulted())
        fc.setColorModel(closestColorModel(this, src.getColorModel(), D.c));
    if (fc.isCompressionDefaulted())
        fc.setCompression(compressionIsSupported(src.getCompression()) ? src.getCompression()
                                                                       : getPreferredCompression());

    const kelColorModel cm = fc.getColorModel();
    const int multi = cm == kelMultiSpectral;
    const kelOrientation orient = fc.getOrientation();
    if (fc.areDimensionsDefaulted()) {
        fillZeros(D.x, S.x);
        fillZeros(D.y, S.y);
        fillZeros(D.z, S.z);
        fillZeros(D.c, multi ? S.c : kelColorModelChans(cm));
        fc.setDimensions(D);
    }
    if (fc.arePageDimensionsDefaulted()) {
        fillZeros(P.x, SP.x);
        fillZeros(P.y, SP.y);
        fillZeros(P.z, SP.z);
        fillZeros(P.c, fc.getOrder() == kelSeparate ? 1 : multi ? SP.c : kelColorModelChans(cm));
        if (!pageSizeIsSupported(D.x, D.y, D.z, D.c, P.x, P.y, P.z, P.c, orient))
            getPreferredPageSize(D.x, D.y, D.z, D.c, P.x, P.y, P.z, P.c, orient);
        fc.setPageDimensions(P);
    }
}

void kelFormat::defaultsFromFormat(kelFileConfig& fc)
{
    kelSize D, P;
    fc.getDimensions(D);
    fc.getPageDimensions(P);

    if (fc.isDataTypeDefaulted())
        fc.setDataType(getPreferredType());
    if (fc.isOrderDefaulted())
        fc.setOrder(getPreferredOrder());
    if (fc.isOrientationDefaulted())
        fc.setOrientation(getPreferredOrientation());
    if (fc.isCompressionDefaulted())
        fc.setCompression(getPreferredCompression());
    if (fc.isColorModelDefaulted())
        fc.setColorModel(getPreferredColorModel(D.c));

    if (fc.areDimensionsDefaulted()) {
        fillZeros(D.z, 1);
        fillZeros(D.c, kelColorModelChans(fc.getColorModel()));
        fc.setDimensions(D);
    }
    if (fc.arePageDimensionsDefaulted()) {
        getPreferredPageSize(D.x, D.y, D.z, D.c, P.x, P.y, P.z, P.c, fc.getOrientation());
        fc.setPageDimensions(P);
    }
}

kelStatus kelFormat::checkConfig(const kelFileConfig& fc)
{
    kelSize D, P;
    fc.getDimensions(D);
    fc.getPageDimensions(P);
    const kelOrientation orient = fc.getOrientation();
    if (sizeIsSupported(D.x, D.y, D.z, D.c, orient) && typeIsSupported(fc.getDataType()) &&
        orderIsSupported(fc.getOrder()) &&
        pageSizeIsSupported(D.x, D.y, D.z, D.c, P.x, P.y, P.z, P.c, orient) &&
        orientationIsSupported(orient) && colorModelIsSupported(fc.getColorModel()) &&
        compressionIsSupported(fc.getCompression()))
        return kelOKAY;
    return kelUNSUPPORTEDBYFORMAT;
}
