// Quantization and dithering.
#include <kel/ckel.h>
#include <kel/kelColormap.h>
#include <kel/kelDither.h>
#include <kel/kelQuantizer.h>

#include "ckelNew.h"

kelQuantizer* kelQuantizerCreate(int maxColors, kelQuantizeAlpha alpha)
{
    return ckelNew<kelQuantizer>(maxColors, alpha);
}

void kelQuantizerDelete(kelQuantizer* _x)
{
    delete _x;
}

kelStatus kelQuantizerAddPixels(kelQuantizer* _x, const void* data, kelDataType type, int nc, size_t count,
                                double maxValue)
{
    return _x->addPixels(data, type, nc, count, maxValue);
}

kelStatus kelQuantizerBuild(kelQuantizer* _x)
{
    return _x->build();
}

kelStatus kelQuantizerSetColormap(kelQuantizer* _x, const kelColormap* map)
{
    return map ? _x->setColormap(*map) : kelStatus(kelBADPARAMS);
}

const kelColormap* kelQuantizerGetColormap(kelQuantizer* _x)
{
    return _x->getColormap();
}

int kelQuantizerGetTransparentIndex(kelQuantizer* _x)
{
    return _x->getTransparentIndex();
}

kelDither* kelDitherCreate(kelQuantizer* quantizer, kelDitherMethod method, int width)
{
    return quantizer ? ckelNew<kelDither>(*quantizer, method, width) : nullptr;
}

void kelDitherDelete(kelDither* _x)
{
    delete _x;
}

kelStatus kelDitherMapRows(kelDither* _x, const void* data, kelDataType type, int nc, int rows,
                           unsigned char* indices, double maxValue)
{
    return _x->mapRows(data, type, nc, rows, indices, maxValue);
}
