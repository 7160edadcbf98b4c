// The built-in palette: a gray ramp for the indices 32 to 55 and a
// 5 x 8 x 5 color cube for 56 to 255, in one table shared by every instance.
#ifndef KEL_ORN_COLORMAP_H
#define KEL_ORN_COLORMAP_H

#include <kel/kelColormap.h>
#include <kel/kelExport.h>

// setVal gives the instance its own copy first, so the shared table never
// changes through it; entries reached through getData, getChan or getOrigin
// are the shared ones while the instance has no copy of its own.
class KEL_API kelORNColormap : public kelColormap {
public:
    kelORNColormap();
    kelORNColormap(const kelORNColormap& from);
    ~kelORNColormap() override;

    kelORNColormap& operator=(const kelORNColormap& from);
};

#endif
