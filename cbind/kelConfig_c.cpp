// Channel configurations.
#include <kel/ckel.h>
#include <kel/kelConfig.h>

#include "ckelNew.h"

kelConfig* kelConfigCreate(kelDataType type, kelOrder ord, int nchan, int* chanList, int chanOff,
                           kelOrientation ori)
{
    return ckelNew<kelConfig>(type, ord, nchan, chanList, chanOff, ori);
}

void kelConfigDelete(kelConfig* _x)
{
    delete _x;
}
