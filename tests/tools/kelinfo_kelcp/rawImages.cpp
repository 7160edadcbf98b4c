#include "rawImages.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <kel/kelConfig.h>
#include <kel/kelFile.h>

double patternValue(int x, int y, int c)
{
    return (x * 7 + y * 13 + c * 61) % 256;
}

std::string writePatternImage(const std::string& path, int w, int h, int nc)
{
    std::string name = path + "#Raw%size=" + std::to_string(w) + "," + std::to_string(h) + ",1," +
                       std::to_string(nc) + "%type=uchar%order=interleaved%orientation=tl";
    std::vector<double> data;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < nc; ++c)
                data.push_back(patternValue(x, y, c));
    kelStatus sts = kelOKAY;
    kelFile* file = kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts);
    EXPECT_NE(nullptr, file) << name << ": status " << sts;
    if (!file)
        return name;
    kelConfig config(kelDouble, kelInterleaved, nc, nullptr, 0, kelUpperLeftOrigin);
    EXPECT_EQ(kelOKAY, file->setTile(0, 0, 0, w, h, 1, data.data(), &config));
    EXPECT_EQ(kelOKAY, file->close());
    return name;
}

std::vector<double> readPixels(const std::string& name, kelSize& size)
{
    kelStatus sts = kelOKAY;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    EXPECT_NE(nullptr, file) << name << ": status " << sts;
    if (!file)
        return {};
    file->getDimensions(size);
    std::vector<double> data(size_t(size.x) * size.y * size.z * size.c, -1.0);
    kelConfig config(kelDouble, kelInterleaved, size.c, nullptr, 0, kelUpperLeftOrigin);
    kelSize seen;
    file->getSize(seen, kelUpperLeftOrigin);
    EXPECT_EQ(kelOKAY, file->getTile(0, 0, 0, seen.x, seen.y, seen.z, data.data(), &config));
    file->close();
    return data;
}
