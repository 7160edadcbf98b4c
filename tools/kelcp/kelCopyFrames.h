// The frames of an animation as they are shown (kelcp --coalesce): each the
// full canvas, written as RGB, RGBA, a palette image or a bitmap.
#ifndef KEL_COPY_FRAMES_H
#define KEL_COPY_FRAMES_H

#include <string>
#include <vector>

#include <kel/kelFileConfig.h>
#include <kel/kelStatus.h>

struct kelCopyOptions;
class kelFile;
class kelFormat;
class kelFrameComposer;

// DST's attributes for the canvas: the command line's, else RGBA where some
// pixel may be transparent and the format stores it, else RGB, else what
// the format prefers; unsigned bytes where the format stores them.
kelFileConfig kelCopyFrameConfig(const kelFrameComposer& comp, kelFormat* format, const kelCopyOptions& opts);

// Composes frame `frame` into `canvas` and writes it as DST's current image.
kelStatus kelCopyComposedFrame(kelFrameComposer& comp, int frame, kelFile& dst, const kelCopyOptions& opts,
                               std::vector<unsigned char>& canvas, std::string& problem);

#endif
