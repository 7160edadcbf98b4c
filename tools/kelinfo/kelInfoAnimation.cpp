#include "kelInfoAnimation.h"

#include <kel/kelFile.h>
#include <kel/kelFrameComposer.h>

static const char* disposalName(kelFrameDisposal d)
{
    return d == kelDisposeBackground ? "background" : d == kelDisposePrevious ? "previous" : "none";
}

nlohmann::json kelInfoAnimation(kelFile& file)
{
    if (file.getNumImgs() < 2)
        return nullptr;
    const int current = file.getCurrentImg();
    kelFrameComposer comp(file);
    kelStatus sts = comp.init();
    file.setCurrentImg(current);
    if (sts != kelOKAY)
        return nullptr;
    nlohmann::json frames = nlohmann::json::array();
    for (int i = 0; i < comp.getNumFrames(); ++i) {
        kelFrameInfo f;
        comp.getFrameInfo(i, f);
        frames.push_back({{"index", i},
                          {"delay_ms", f.delayMs < 0 ? nlohmann::json(nullptr) : nlohmann::json(f.delayMs)},
                          {"disposal", disposalName(f.disposal)},
                          {"blend", f.blend == kelBlendSource ? "source" : "over"},
                          {"rectangle", {f.left, f.top, f.width, f.height}}});
    }
    int loops = comp.getLoopCount();
    return {{"canvas", {comp.getCanvasWidth(), comp.getCanvasHeight()}},
            {"loop_count", loops < 0 ? nlohmann::json(nullptr) : nlohmann::json(loops)},
            {"frames", frames}};
}
