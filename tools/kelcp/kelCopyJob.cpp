#include "kelCopyJob.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include <kel/kelColormap.h>
#include <kel/kelDatabase.h>
#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>
#include <kel/kelFrameComposer.h>

#include "kelCopyFrames.h"
#include "kelCopyItems.h"
#include "kelCopyOptions.h"
#include "kelCopyPalette.h"
#include "kelCopyPixels.h"
#include "kelCopyQuantize.h"
#include "kelToolErrorLog.h"
#include "kelToolImageIndex.h"
#include "kelToolNames.h"
#include "kelToolOptions.h"
#include "kelToolOutputFile.h"
#include "kelToolRawName.h"

namespace {

// A failure already worded for the user: "subject: text".
struct CopyFailure {
    std::string subject;
    std::string text;
};

// A command line that DST's format shows to be wrong.
struct CopyUsageFailure {
    std::string text;
};

// The destination's name taken apart: path, format name, index, arguments.
struct DestinationName {
    std::string path;
    std::string formatName;
    std::string args;
    int index = -1;
};

struct FileCloser {
    void operator()(kelFile* f) const
    {
        if (f)
            f->close(1);
    }
};
using FilePtr = std::unique_ptr<kelFile, FileCloser>;

DestinationName splitName(const kelCopyOptions& opts)
{
    char* formatName = nullptr;
    char* args = nullptr;
    DestinationName name;
    char* block = kelFile::parseFileName(opts.destination.c_str(), &formatName, &name.index, &args);
    name.path = block;
    name.formatName = !opts.formatName.empty() ? opts.formatName : formatName ? formatName : "";
    name.args = args ? args : "";
    free(block);
    if (!opts.formatArgs.empty())
        name.args += (name.args.empty() ? "" : "%") + opts.formatArgs;
    return name;
}

// A format the database knows but whose plug-in does not load is named as such.
kelFormat* loadedFormat(const kelCopyOptions& opts, kelDatabase* entry)
{
    kelFormat* format = entry->getFormat(1);
    if (!format)
        throw CopyFailure{opts.destination, std::string("the plug-in of format ") + entry->getName() +
                                                " cannot be loaded"};
    return format;
}

kelFormat* chooseFormat(const kelCopyOptions& opts, const DestinationName& name)
{
    kelDatabase* entry = nullptr;
    if (!name.formatName.empty()) {
        entry = kelDatabase::findByFormatName(name.formatName.c_str());
        if (!entry)
            throw CopyFailure{opts.destination, "unknown format '" + name.formatName + "' (kelinfo lists the formats)"};
    } else {
        entry = kelDatabase::findByFileName(name.path.c_str(), 0);
        if (!entry)
            throw CopyFailure{opts.destination, "no format claims this file name; name one with --format or #FORMAT"};
    }
    if (!entry->accessModeIsSupported(O_RDWR))
        throw CopyFailure{opts.destination, std::string("format ") + entry->getName() + " cannot write files"};
    return loadedFormat(opts, entry);
}

void requireSupported(const kelCopyOptions& opts, bool supported, const char* what, const char* value,
                      kelFormat* format)
{
    if (!supported)
        throw CopyFailure{opts.destination,
                          std::string("format ") + format->getName() + " cannot store " + what + " " + value};
}

// Explicit choices that the format cannot store, named one by one.
void checkChoices(const kelCopyOptions& o, kelFormat* f)
{
    if (o.dtype)
        requireSupported(o, f->typeIsSupported(o.dtype), "data type", kelToolNameOf(kelToolDataTypes, o.dtype), f);
    if (o.order)
        requireSupported(o, f->orderIsSupported(o.order), "order", kelToolNameOf(kelToolOrders, o.order), f);
    if (o.orientation)
        requireSupported(o, f->orientationIsSupported(o.orientation), "orientation",
                         kelToolNameOf(kelToolOrientations, o.orientation), f);
    if (o.cm)
        requireSupported(o, f->colorModelIsSupported(o.cm), "color model", kelToolNameOf(kelToolColorModels, o.cm),
                         f);
    if (o.compression)
        requireSupported(o, f->compressionIsSupported(o.compression), "compression",
                         kelToolNameOf(kelToolCompressions, o.compression), f);
}

kelFileConfig wantedConfig(const kelCopyOptions& o)
{
    return kelFileConfig(nullptr, o.dtype, o.order, o.cm, o.orientation, o.compression, &o.pageSize);
}

FilePtr openSource(const kelCopyOptions& opts, kelToolErrorLog& log)
{
    kelStatus sts = kelOKAY;
    FilePtr src(kelFile::open(opts.source.c_str(), O_RDONLY, &sts));
    if (!src) {
        log.fail(opts.source, sts);
        throw CopyFailure{};
    }
    return src;
}

// A palette destination takes the source's colormap; without one its
// indices would mean nothing. Expanded indices need none.
void carryColormap(const kelCopyOptions& opts, kelFile& src, kelFile& dst, kelToolErrorLog& log, bool expand)
{
    const kelColormap* cmap = nullptr;
    bool srcPalette = src.getColorModel() == kelRGBPalette && src.getColormap(cmap) == kelOKAY && cmap;
    if (expand)
        return;
    if (dst.getColorModel() != kelRGBPalette) {
        if (src.getColorModel() == kelRGBPalette)
            throw CopyFailure{opts.destination, "the source is a palette image without a colormap; copy it with "
                                                "--colormodel palette"};
        return;
    }
    if (!srcPalette)
        throw CopyFailure{opts.destination,
                          "a palette image needs a colormap and the source has none; choose another --colormodel"};
    if (dst.setColormap(cmap) != kelOKAY)
        log.warn(opts.destination + ": format " + dst.getFormat()->getName() +
                 " keeps no colormap; palette indices are copied without it");
}

kelCopyQuantizeHow quantizing(const kelCopyOptions& opts)
{
    return {opts.colors ? opts.colors : 256, opts.dither, opts.stripBytes};
}

// A palette or bitmap destination from a source of more colors.
kelStatus quantizePixels(const kelCopyOptions& opts, kelFile& src, kelFile& dst, std::string& problem)
{
    kelCopyRows rows;
    if (!kelCopyFileRows(src, kelCopyOpaqueValue(src, nullptr), rows, problem))
        return kelBADPARAMS;
    return kelCopyQuantized(rows, dst, quantizing(opts), problem);
}

// The items go along (an animation keeps its timing), then the command
// line's settings. An item the destination refuses is dropped with a
// warning: the pixels matter more than, say, a count of significant colors
// that a 24-bit file cannot keep. A setting asked for is not dropped.
void copyImage(const kelCopyOptions& opts, kelFile& src, kelFile& dst, kelToolErrorLog& log, bool firstImage,
               bool expand)
{
    const bool quantize = !expand && kelCopyQuantizes(dst, kelCopySourceColormap(src) != nullptr, src.getDataType());
    if (!quantize)
        carryColormap(opts, src, dst, log, expand);
    kelCopyCarryItems(opts, src, dst, firstImage, log);
    std::string problem = kelCopyApplySettings(opts, dst, firstImage);
    if (!problem.empty())
        throw CopyFailure{opts.destination, problem};
    kelCopyStrips how{opts.stripBytes, !opts.quiet, "kelcp: " + opts.destination,
                      expand ? kelCopySourceColormap(src) : nullptr,
                      opts.hasBackground ? opts.background.rgb : nullptr};
    kelStatus sts = quantize ? quantizePixels(opts, src, dst, problem) : kelCopyPixels(src, dst, how, problem);
    if (sts != kelOKAY)
        throw CopyFailure{opts.destination, problem.empty() ? kelToolErrorLog::statusText(sts) : problem};
    if (opts.verbose) {
        kelSize size, page;
        dst.getDimensions(size);
        dst.getPageDimensions(page);
        printf("%s -> %s: image %d: %s %s %s %s %s, pages %s\n", opts.source.c_str(), opts.destination.c_str(),
               src.getCurrentImg(), kelToolSizeText(size).c_str(), kelToolNameOf(kelToolDataTypes, dst.getDataType()),
               kelToolNameOf(kelToolOrders, dst.getOrder()), kelToolNameOf(kelToolOrientations, dst.getOrientation()),
               kelToolNameOf(kelToolColorModels, dst.getColorModel()), kelToolSizeText(page).c_str());
    }
}

// The configuration of a destination image; with `expand`, the color model
// of the source image's expanded colormap (each image has its own: a later
// frame may be the first with a transparent color).
kelFileConfig imageConfig(const kelCopyOptions& opts, kelFile& src, kelFormat* format, bool expand)
{
    kelFileConfig cfg = wantedConfig(opts);
    const kelColormap* map = expand && !opts.cm ? kelCopySourceColormap(src) : nullptr;
    if (map) {
        kelColorModel model = kelCopyExpandedModel(*map);
        cfg.setColorModel(format->colorModelIsSupported(model) ? model : kelRGB);
    }
    return cfg;
}

// With `expand`, the source's palette indices become the colors of its
// colormap: RGB or RGBA unless another color model is asked for; RGB when
// the format stores no alpha (which is then dropped, or composed over
// --background).
FilePtr createDestination(const kelCopyOptions& opts, const DestinationName& name, kelFormat* format,
                          const kelToolOutputFile& out, kelFile& src, bool expand)
{
    kelFileDesc desc(out.temporaryPath().c_str(), -1, format, name.args.empty() ? nullptr : name.args.c_str());
    kelFileConfig cfg = imageConfig(opts, src, format, expand);
    kelStatus sts = kelOKAY;
    FilePtr dst(kelFile::create(desc, &src, &cfg, &sts));
    if (!dst)
        throw CopyFailure{opts.destination, kelToolErrorLog::statusText(sts)};
    return dst;
}

// A palette image is expanded into colors when another color model is
// asked for, or when the destination's format stores no palette images.
bool expandsPalette(const kelCopyOptions& opts, kelFile& src, kelFormat* format)
{
    if (!kelCopySourceColormap(src))
        return false;
    if (opts.cm)
        return opts.cm != kelRGBPalette;
    return !format->colorModelIsSupported(kelRGBPalette);
}

// A palette destination that refuses the colormap (unless the palette was
// asked for by name) is made again for expanded colors.
bool keepsNoColormap(const kelCopyOptions& opts, kelFile& src, kelFile& dst)
{
    const kelColormap* map = kelCopySourceColormap(src);
    return map && !opts.cm && dst.getColorModel() == kelRGBPalette && dst.setColormap(map) != kelOKAY;
}

void appendImage(const kelCopyOptions& opts, kelFile& src, kelFile& dst, int index, int count, kelFileConfig cfg)
{
    kelStatus sts = src.setCurrentImg(index);
    if (sts != kelOKAY)
        throw CopyFailure{opts.source + ":" + std::to_string(index), kelToolErrorLog::statusText(sts)};
    sts = dst.appendImg(&src, &cfg);
    if (sts == kelUNSUPPORTEDBYFORMAT)
        throw CopyFailure{opts.destination, std::string("format ") + dst.getFormat()->getName() +
                                                " holds one image only and the source has " + std::to_string(count) +
                                                "; copy one with SRC:N"};
    if (sts == kelOKAY && dst.getCurrentImg() != dst.getNumImgs() - 1)
        sts = dst.setCurrentImg(dst.getNumImgs() - 1);
    if (sts != kelOKAY)
        throw CopyFailure{opts.destination, kelToolErrorLog::statusText(sts)};
}

void finish(const kelCopyOptions& opts, FilePtr dst, kelToolOutputFile& out, const DestinationName& name)
{
    std::string rawArgs = std::string(dst->getFormat()->getName()) == "Raw" ? kelToolRawArguments(*dst) : "";
    kelStatus sts = dst.release()->close();
    if (sts == kelOKAY)
        sts = out.commit();
    if (sts != kelOKAY)
        throw CopyFailure{opts.destination, kelToolErrorLog::statusText(sts)};
    // Raw files keep no header: say how to open the result.
    if (opts.verbose && !rawArgs.empty())
        printf("%s: open it as '%s#Raw%%%s%s%s'\n", opts.destination.c_str(), name.path.c_str(),
               name.args.c_str(), name.args.empty() ? "" : "%", rawArgs.c_str());
}

// What the source and destination are, checked before anything is written.
struct CopyEnds {
    DestinationName name;
    FilePtr src;
    kelFormat* format;
};

CopyEnds prepare(const kelCopyOptions& opts, kelToolErrorLog& log, kelToolOutputFile& out)
{
    DestinationName name = splitName(opts);
    if (name.index >= 0)
        throw CopyFailure{opts.destination, "an image index (:N) cannot be given for the destination"};
    FilePtr src = openSource(opts, log);
    kelFormat* format = chooseFormat(opts, name);
    checkChoices(opts, format);
    std::string wrong = kelCopyCheckSettings(opts, format);
    if (!wrong.empty())
        throw CopyUsageFailure{wrong};
    kelStatus sts = out.reserve(name.path);
    if (sts != kelOKAY)
        throw CopyFailure{opts.destination, "cannot create a file beside it: " + kelToolErrorLog::statusText(sts)};
    return {name, std::move(src), format};
}

// A composed frame lies at the canvas's corner and covers it; where it has
// transparent pixels the frame before must go first.
void placeWholeFrame(kelFile& dst, bool transparent)
{
    kelCopySetRole(dst, kelTagRoleLeft, 0);
    kelCopySetRole(dst, kelTagRoleTop, 0);
    kelCopySetRole(dst, kelTagRoleDisposal, transparent ? kelDisposeBackground : kelDisposeNone);
    kelCopySetRole(dst, kelTagRoleBlend, kelBlendSource);
}

void copyFrame(const kelCopyOptions& opts, kelFrameComposer& comp, int frame, bool first, kelFile& src,
               kelFile& dst, kelToolErrorLog& log, std::vector<unsigned char>& canvas)
{
    kelStatus sts = src.setCurrentImg(frame);
    if (sts != kelOKAY)
        throw CopyFailure{opts.source + ":" + std::to_string(frame), kelToolErrorLog::statusText(sts)};
    kelCopyCarryItems(opts, src, dst, first, log);
    placeWholeFrame(dst, comp.hasTransparency() != 0);
    std::string problem = kelCopyApplySettings(opts, dst, first);
    if (problem.empty() && (sts = kelCopyComposedFrame(comp, frame, dst, opts, canvas, problem)) != kelOKAY &&
        problem.empty())
        problem = kelToolErrorLog::statusText(sts);
    if (!problem.empty())
        throw CopyFailure{opts.destination, problem};
}

void coalesceAll(const kelCopyOptions& opts, kelToolErrorLog& log, kelToolOutputFile& out)
{
    CopyEnds ends = prepare(opts, log, out);
    kelFile& src = *ends.src;
    const int only = kelToolImageIndex(opts.source.c_str());
    kelFrameComposer comp(src);
    kelStatus sts = comp.init();
    if (sts != kelOKAY)
        throw CopyFailure{opts.source, "cannot compose its frames: " + kelToolErrorLog::statusText(sts)};
    const int first = only >= 0 ? only : 0, last = only >= 0 ? only : comp.getNumFrames() - 1;
    if (first >= comp.getNumFrames())
        throw CopyFailure{opts.source, "has no frame " + std::to_string(first)};
    kelFileConfig cfg = kelCopyFrameConfig(comp, ends.format, opts);
    kelFileDesc desc(out.temporaryPath().c_str(), -1, ends.format,
                     ends.name.args.empty() ? nullptr : ends.name.args.c_str());
    if ((sts = src.setCurrentImg(first)) != kelOKAY)
        throw CopyFailure{opts.source, kelToolErrorLog::statusText(sts)};
    FilePtr dst(kelFile::create(desc, &src, &cfg, &sts));
    if (!dst)
        throw CopyFailure{opts.destination, kelToolErrorLog::statusText(sts)};
    std::vector<unsigned char> canvas;
    for (int f = first; f <= last; ++f) {
        if (f > first)
            appendImage(opts, src, *dst, f, comp.getNumFrames(), cfg);
        copyFrame(opts, comp, f, f == first, src, *dst, log, canvas);
    }
    finish(opts, std::move(dst), out, ends.name);
}

void copyAll(const kelCopyOptions& opts, kelToolErrorLog& log, kelToolOutputFile& out)
{
    CopyEnds ends = prepare(opts, log, out);
    DestinationName& name = ends.name;
    FilePtr& src = ends.src;
    kelFormat* format = ends.format;
    kelStatus sts = kelOKAY;
    bool oneImage = kelToolImageIndex(opts.source.c_str()) >= 0;
    int count = oneImage ? 1 : src->getNumImgs();
    if (!oneImage && src->getCurrentImg() != 0 && (sts = src->setCurrentImg(0)) != kelOKAY)
        throw CopyFailure{opts.source + ":0", kelToolErrorLog::statusText(sts)};
    bool expand = expandsPalette(opts, *src, format);
    FilePtr dst = createDestination(opts, name, format, out, *src, expand);
    if (!expand && keepsNoColormap(opts, *src, *dst)) {
        dst.reset();
        expand = true;
        dst = createDestination(opts, name, format, out, *src, expand);
    }
    copyImage(opts, *src, *dst, log, true, expand);
    for (int i = 1; i < count; ++i) {
        // Selected first, so that the image's own colormap chooses its model.
        src->setCurrentImg(i);
        appendImage(opts, *src, *dst, i, count, imageConfig(opts, *src, dst->getFormat(), expand));
        copyImage(opts, *src, *dst, log, false, expand);
    }
    finish(opts, std::move(dst), out, name);
}

} // namespace

int kelCopyRun(const kelCopyOptions& opts, kelToolErrorLog& log)
{
    kelToolOutputFile out;
    log.setFatalCleanup([&out] { out.discard(); });
    try {
        if (opts.coalesce)
            coalesceAll(opts, log, out);
        else
            copyAll(opts, log, out);
    } catch (const CopyFailure& failure) {
        if (!failure.subject.empty())
            log.fail(failure.subject, failure.text);
        out.discard();
        return EXIT_FAILURE;
    } catch (const CopyUsageFailure& failure) {
        out.discard();
        kelCopyUsageError(failure.text);
    }
    return EXIT_SUCCESS;
}
