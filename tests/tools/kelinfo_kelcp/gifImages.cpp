#include "gifImages.h"

#include <gtest/gtest.h>

#include <kel/kel.h>

int gifColor(int i, int c)
{
    return (i * (40 + 30 * c) + 17 * c) & 0xff;
}

GifFrame gifFrame(int w, int h, int colors, int seed)
{
    GifFrame f{w, h, 0, 0, 0, 0, -1, colors, {}};
    for (int i = 0; i < w * h; ++i)
        f.pixels.push_back((unsigned char)((i * 7 + seed) % colors));
    return f;
}

void writeGif(const std::string& path, const std::vector<GifFrame>& frames, int loopCount, double aspect)
{
    kelFile* file = nullptr;
    kelStatus sts = kelOKAY;
    for (size_t n = 0; n < frames.size(); ++n) {
        const GifFrame& f = frames[n];
        kelSize dims(f.width, f.height, 1, 1);
        kelFileConfig cfg(&dims);
        if (n == 0) {
            file = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
            ASSERT_NE(nullptr, file) << path << ": status " << sts;
            file->setItem(kelGIFscreenWidth, 40);
            file->setItem(kelGIFscreenHeight, 30);
            file->setItem(kelGIFloopCount, loopCount);
            file->setItem(kelGIFaspectRatio, aspect);
        } else {
            ASSERT_EQ(kelOKAY, file->appendImg(nullptr, &cfg));
        }
        kelColormap map(3, kelUChar, 0, f.colors - 1);
        for (int i = 0; i < f.colors; ++i)
            for (int c = 0; c < 3; ++c)
                map.setVal(gifColor(i, c), i, c);
        file->setColormap(&map);
        file->setTag(kelGIFtransparentIndex, f.transIndex);
        file->setTag(kelGIFleftPosition, f.left);
        file->setTag(kelGIFtopPosition, f.top);
        file->setTag(kelGIFdelayTime, f.delay);
        file->setTag(kelGIFdisposalMethod, f.disposal);
        ASSERT_EQ(kelOKAY, file->setTile(0, 0, 0, f.width, f.height, 1, f.pixels.data()));
    }
    ASSERT_EQ(kelOKAY, file->close());
}
