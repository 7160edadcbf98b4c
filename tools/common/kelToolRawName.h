// Raw files carry no header: their geometry travels in the file name's
// format arguments. These build that argument text.
#ifndef KEL_TOOL_RAWNAME_H
#define KEL_TOOL_RAWNAME_H

#include <string>

#include <kel/kelCoord.h>
#include <kel/kelTypes.h>

class kelFile;

struct kelToolRawLayout {
    kelSize size;     // upright
    kelSize pageSize; // upright; all 0: one page
    kelDataType dtype;
    kelOrder order;
    kelOrientation orientation;
    kelColorModel cm;
};

// "colormodel=...%size=X,Y,Z,C%pagesize=...%type=...%order=...%orientation=..."
std::string kelToolRawArguments(const kelToolRawLayout& layout);
// The same for the current image of an open file.
std::string kelToolRawArguments(const kelFile& file);

#endif
