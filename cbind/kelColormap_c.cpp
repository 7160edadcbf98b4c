// Colormaps; the kelLut functions serve them otherwise.
#include <kel/ckel.h>
#include <kel/kelColormap.h>

#include "ckelNew.h"

kelColormap* kelColormapCreate(int numChan, kelDataType dtype, int min, int max)
{
    return ckelNew<kelColormap>(numChan, dtype, min, max);
}

kelColormap* kelColormapNoAlloc(void* table, int numChan, kelDataType dtype, int min, int max)
{
    return ckelNew<kelColormap>(table, numChan, dtype, min, max);
}
