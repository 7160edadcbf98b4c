// The built-in ORN colormap.
#include <kel/ckel.h>
#include <kel/kelORNColormap.h>

#include "ckelNew.h"

kelORNColormap* kelORNColormapCreate(void)
{
    return ckelNew<kelORNColormap>();
}
