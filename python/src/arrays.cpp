#include "arrays.h"

#include <kel/kelConfig.h>
#include <kel/kelCoord.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>
#include <kel/kelLimits.h>

#include "dtypes.h"
#include "errors.h"

namespace py = pybind11;

namespace {

std::vector<py::ssize_t> shapeOf(const kelPyTile& t)
{
    py::ssize_t nc = py::ssize_t(t.channels.size());
    if (t.separate)
        return {nc, t.height, t.width};
    return {t.height, t.width, nc};
}

kelConfig configOf(const kelPyTile& t, kelDataType type)
{
    return kelConfig(kelPyBufferType(type), t.separate ? kelSeparate : kelInterleaved, int(t.channels.size()),
                     const_cast<int*>(t.channels.data()), 0, kelUpperLeftOrigin);
}

// The package checks its arguments; this keeps a direct caller of kel._kel
// inside the image and its channels too.
void checkTile(kelFile& file, const kelPyTile& t)
{
    kelSize size;
    file.getSize(size, kelUpperLeftOrigin);
    bool inside = t.x >= 0 && t.y >= 0 && t.width > 0 && t.height > 0 && t.x <= size.x - t.width &&
                  t.y <= size.y - t.height && !t.channels.empty();
    for (int c : t.channels)
        inside = inside && c >= -1 && c < size.c;
    if (!inside)
        throw py::value_error("region: the tile or its channels lie outside the image");
}

} // namespace

py::array kelPyReadTile(kelFile& file, const kelPyTile& tile, kelDataType type)
{
    checkTile(file, tile);
    // A hostile file's size must not make the array: the library's own
    // limit on one buffer holds for it too.
    kelPyMessages limit;
    unsigned long long bytes = 1ull * tile.width * tile.height * tile.channels.size() *
                               kelDataSize(kelPyBufferType(type), 1);
    limit.check(kelCheckPageBytes(bytes, "the array"), "reading pixels");
    py::array out(kelPyNumpyType(type), shapeOf(tile));
    kelConfig cfg = configOf(tile, type);
    void* data = out.mutable_data();
    kelPyMessages messages;
    kelStatus sts;
    {
        py::gil_scoped_release unlocked;
        sts = file.getTile(tile.x, tile.y, 0, tile.width, tile.height, 1, data, &cfg);
    }
    messages.check(sts, "reading pixels");
    return out;
}

void kelPyWriteTile(kelFile& file, const kelPyTile& tile, const py::array& pixels)
{
    checkTile(file, tile);
    kelDataType type = kelPyKelType(pixels.dtype());
    std::vector<py::ssize_t> want = shapeOf(tile);
    bool fits = type != 0 && (pixels.flags() & py::array::c_style) && pixels.ndim() == 3 &&
                std::equal(want.begin(), want.end(), pixels.shape());
    if (!fits)
        throw py::value_error("array: its shape or type does not fit the tile being written");
    kelConfig cfg = configOf(tile, type);
    const void* data = pixels.data();
    kelPyMessages messages;
    kelStatus sts;
    {
        py::gil_scoped_release unlocked;
        sts = file.setTile(tile.x, tile.y, 0, tile.width, tile.height, 1, data, &cfg);
    }
    messages.check(sts, "writing pixels");
}
