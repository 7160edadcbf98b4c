// The image a file name asks for with ":N".
#ifndef KEL_TOOL_IMAGEINDEX_H
#define KEL_TOOL_IMAGEINDEX_H

// N of a name "path:N[#format][%arguments]"; -1 when the name gives none.
int kelToolImageIndex(const char* name);

#endif
