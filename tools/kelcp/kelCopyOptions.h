// kelcp's command line.
#ifndef KEL_COPY_OPTIONS_H
#define KEL_COPY_OPTIONS_H

#include <stddef.h>

#include <string>
#include <utility>
#include <vector>

#include <kel/kelCoord.h>
#include <kel/kelDither.h>
#include <kel/kelTypes.h>

#include "kelToolOptions.h"

struct kelCopyOptions {
    std::string source;
    std::string destination;
    std::string formatName;  // empty: from DST's #format or suffix
    std::string formatArgs;  // appended to DST's own %arguments
    kelDataType dtype = kelDataType(0);  // 0: decided by the format
    kelOrder order = kelOrder(0);
    kelOrientation orientation = kelOrientation(0);
    kelColorModel cm = kelColorModel(0);
    kelCompression compression = kelCompression(0);
    kelSize pageSize;  // upright; 0 components: decided by the format
    size_t stripBytes = size_t(16) << 20;
    bool verbose = false;
    bool quiet = false;
    int quality = -1;  // --quality; -1: not given
    // --item KEY=VALUE in the order given; keys as kelToolItemKey makes them.
    std::vector<std::pair<std::string, std::string>> items;
    int colors = 0;  // --colors; 0: as many as DST's palette holds (256)
    kelDitherMethod dither = kelDitherFloydSteinberg;
    bool coalesce = false;  // --coalesce: frames as shown
    bool hasBackground = false;
    kelToolColor background{{1, 1, 1}};
};

// Exits with the help text, or with status 2 and a message on a bad command
// line. DST's arguments (its name's and --args) that choose the color model,
// data type, order, orientation or page size count as the same options.
kelCopyOptions kelCopyParseOptions(int argc, char** argv);

// Prints a command-line error and exits with status 2.
[[noreturn]] void kelCopyUsageError(const std::string& message);

#endif
