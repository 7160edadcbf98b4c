/* Compiled as strict C99 with nothing before the binding's header. */
#include <kel/ckel.h>

kelStatus ckelHeaderCheck(kelFile* file);

kelStatus ckelHeaderCheck(kelFile* file)
{
    return kelFileClose(file, 0);
}
