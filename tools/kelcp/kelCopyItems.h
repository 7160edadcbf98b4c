// What goes along with the pixels: the source's items that the
// destination's format describes too, the ICC profile, and the items the
// command line sets.
#ifndef KEL_COPY_ITEMS_H
#define KEL_COPY_ITEMS_H

#include <string>

struct kelCopyOptions;
class kelFile;
class kelFormat;
class kelToolErrorLog;

// The --item and --quality settings checked against DST's format: why the
// command line is wrong, or empty.
std::string kelCopyCheckSettings(const kelCopyOptions& opts, kelFormat* format);

// Carries the current image's items (file-wide ones, and the profile, with
// the first image): a destination item takes the source's item of the same
// key, value type and count, else the one of the same role, a delay
// converted between hundredths and thousandths of a second. Read-only items
// go nowhere. An image that lacks a per-image item gives the destination's
// default, so that no image keeps the value of the one before. What the
// destination refuses is dropped with a warning.
void kelCopyCarryItems(const kelCopyOptions& opts, kelFile& src, kelFile& dst, bool firstImage,
                       kelToolErrorLog& log);

// Gives DST's item of `role`, where its format has one, the value `value`.
void kelCopySetRole(kelFile& dst, int role, int value);

// Sets the command line's items (file-wide ones with the first image);
// returns what the destination refused, or empty.
std::string kelCopyApplySettings(const kelCopyOptions& opts, kelFile& dst, bool firstImage);

#endif
