#include "kelInfoFiles.h"

#include <fcntl.h>

#include <kel/kelColormap.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>

#include "kelInfoAnimation.h"
#include "kelInfoItems.h"
#include "kelToolErrorLog.h"
#include "kelToolImageIndex.h"
#include "kelToolNames.h"

static nlohmann::json sizeArray(const kelSize& s)
{
    return {s.x, s.y, s.z, s.c};
}

static nlohmann::json minMax(kelStatus sts, double min, double max)
{
    if (sts != kelOKAY)
        return nullptr;
    return {{"min", min}, {"max", max}};
}

static nlohmann::json colormapOf(kelFile& file)
{
    const kelColormap* cmap = nullptr;
    if (file.getColormap(cmap) != kelOKAY || !cmap)
        return nullptr;
    double first = 0, last = 0;
    cmap->getDomain(first, last);
    return {{"entries", cmap->getLength()},
            {"channels", cmap->getNumChans()},
            {"data_type", kelToolNameOf(kelToolDataTypes, cmap->getDataType())},
            {"first", first},
            {"last", last}};
}

static nlohmann::json currentImage(kelFile& file)
{
    kelSize size, page;
    file.getDimensions(size);
    file.getPageDimensions(page);
    double min = 0, max = 0;
    nlohmann::json image = {{"index", file.getCurrentImg()},
                            {"size", sizeArray(size)},
                            {"page_size", sizeArray(page)},
                            {"data_type", kelToolNameOf(kelToolDataTypes, file.getDataType())},
                            {"order", kelToolNameOf(kelToolOrders, file.getOrder())},
                            {"orientation", kelToolNameOf(kelToolOrientations, file.getOrientation())},
                            {"color_model", kelToolNameOf(kelToolColorModels, file.getColorModel())},
                            {"compression", kelToolNameOf(kelToolCompressions, file.getCompression())},
                            {"colormap", colormapOf(file)}};
    kelStatus sts = file.getScaleMinMax(min, max);
    image["scale"] = minMax(sts, min, max);
    sts = file.getStatMinMax(min, max);
    image["statistics"] = minMax(sts, min, max);
    image["items"] = kelInfoItems(file, false);
    return image;
}

static nlohmann::json allImages(kelFile& file, const char* name, kelToolErrorLog& log)
{
    nlohmann::json images = nlohmann::json::array();
    if (kelToolImageIndex(name) >= 0) {
        images.push_back(currentImage(file));
        return images;
    }
    for (int i = 0; i < file.getNumImgs(); ++i) {
        kelStatus sts = file.setCurrentImg(i);
        if (sts != kelOKAY) {
            std::string subject = std::string(name) + ":" + std::to_string(i);
            images.push_back({{"index", i}, {"error", kelToolErrorLog::statusText(sts)}});
            log.fail(subject, sts);
            continue;
        }
        images.push_back(currentImage(file));
    }
    return images;
}

nlohmann::json kelInfoFile(const char* name, kelToolErrorLog& log)
{
    kelStatus sts = kelOKAY;
    log.clear();
    kelFile* file = kelFile::open(name, O_RDONLY, &sts);
    if (!file) {
        log.fail(name, sts);
        return {{"file", name}, {"error", kelToolErrorLog::statusText(sts)}};
    }
    kelFormat* format = file->getFormat();
    nlohmann::json info = {{"file", name},
                           {"format", format->getName() ? format->getName() : ""},
                           {"description", format->getDescription() ? format->getDescription() : ""},
                           {"image_count", file->getNumImgs()},
                           {"items", kelInfoItems(*file, true)}};
    nlohmann::json animation = kelInfoAnimation(*file);
    if (!animation.is_null())
        info["animation"] = animation;
    info["images"] = allImages(*file, name, log);
    file->close();
    return info;
}
