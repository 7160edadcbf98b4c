#include "kelToolImageIndex.h"

#include <stdlib.h>

#include <kel/kelFile.h>

int kelToolImageIndex(const char* name)
{
    int index = -1;
    free(kelFile::parseFileName(name, nullptr, &index, nullptr));
    return index;
}
