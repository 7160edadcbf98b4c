#include "file.h"

#include <fcntl.h>

#include <kel/kelColormap.h>
#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>

#include "dtypes.h"
#include "errors.h"
#include "formats.h"
#include "items.h"

namespace py = pybind11;

class kelPyFile::Use {
public:
    explicit Use(kelPyFile& owner) : lock(owner.busy, std::try_to_lock)
    {
        if (!owner.file)
            throw std::runtime_error("the file is closed");
        if (!lock.owns_lock())
            throw std::runtime_error("the file is in use by another thread");
    }

private:
    std::unique_lock<std::mutex> lock;
};

namespace {

const char* nameOrNull(const std::string& s)
{
    return s.empty() ? nullptr : s.c_str();
}

std::string subject(const std::string& path)
{
    return path.empty() ? std::string("<bytes>") : path;
}

// The library takes a name as C text and asserts that a file without a
// descriptor has one.
void requireName(const std::string& path, int fd)
{
    if (path.find('\0') != std::string::npos)
        throw py::value_error("source: the path holds a NUL character");
    if (path.empty() && fd < 0)
        throw py::value_error("source: an empty path");
}

// Entries as the map's own type; a bit map's as bytes.
py::array colormapArray(const kelColormap& map)
{
    int length = map.getLength(), nc = map.getNumChans();
    kelDataType type = map.getDataType() == kelBit ? kelUChar : map.getDataType();
    py::array out(kelPyNumpyType(type), std::vector<py::ssize_t>{length, nc});
    py::array_t<double> values({length, nc});
    auto v = values.mutable_unchecked<2>();
    double first = map.getDomainMin(), step = map.getDomainStep();
    for (int i = 0; i < length; ++i)
        for (int c = 0; c < nc; ++c)
            v(i, c) = map.getVal(first + i * step, c);
    py::module_::import("numpy").attr("copyto")(out, values, "unsafe");
    return out;
}

} // namespace

kelPyFile* kelPyFile::open(const std::string& path, int fd, const std::string& format)
{
    requireName(path, fd);
    kelFormat* fmt = nullptr;
    kelPyMessages messages;
    if (!format.empty() && !(fmt = kelFormat::findByFormatName(format.c_str(), 1)))
        throw py::value_error("format: unknown format or one whose plug-in does not load: '" + format + "'");
    kelStatus sts = kelOKAY;
    kelFile* f;
    {
        py::gil_scoped_release unlocked;
        f = kelFile::open(fd, nameOrNull(path), O_RDONLY, fmt, &sts);
    }
    messages.check(f ? kelOKAY : sts, subject(path));
    return new kelPyFile(f);
}

kelPyFile* kelPyFile::create(const std::string& path, int fd, const std::string& format, const py::dict& config,
                             const std::string& args)
{
    requireName(path, fd);
    kelFormat* fmt = kelPyWriteFormat(format, path);
    kelFileConfig cfg = kelPyConfigOf(config);
    kelFileDesc desc(nameOrNull(path), -1, fmt, nameOrNull(args));
    if (fd >= 0)
        desc.setFileDesc(fd);
    kelPyMessages messages;
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::create(desc, nullptr, &cfg, &sts);
    messages.check(f ? kelOKAY : sts, subject(path));
    return new kelPyFile(f);
}

// A file never closed is still flushed: a new file keeps what was written.
kelPyFile::~kelPyFile()
{
    if (file)
        file->close();
}

void kelPyFile::close()
{
    Use use(*this);
    kelPyMessages messages;
    std::string name = subject(file->getFileName() ? file->getFileName() : "");
    kelStatus sts;
    {
        py::gil_scoped_release unlocked;
        sts = file->close();
    }
    file = nullptr;
    tables.clear();
    messages.check(sts, name);
}

py::dict kelPyFile::info()
{
    Use use(*this);
    kelSize size;
    file->getSize(size, kelUpperLeftOrigin);
    py::dict d;
    d["format"] = file->getFormat()->getName();
    d["n_images"] = file->getNumImgs();
    d["image"] = file->getCurrentImg();
    d["width"] = size.x;
    d["height"] = size.y;
    d["depth"] = size.z;
    d["channels"] = size.c;
    d["dtype"] = int(file->getDataType());
    d["order"] = int(file->getOrder());
    d["color_model"] = int(file->getColorModel());
    d["orientation"] = int(file->getOrientation());
    d["compression"] = int(file->getCompression());
    return d;
}

void kelPyFile::select(int image)
{
    Use use(*this);
    if (image == file->getCurrentImg())
        return;
    kelPyMessages messages;
    messages.check(file->setCurrentImg(image), "image " + std::to_string(image));
}

void kelPyFile::append(const py::dict& config)
{
    Use use(*this);
    kelFileConfig cfg = kelPyConfigOf(config);
    kelPyMessages messages;
    kelStatus sts = file->appendImg(nullptr, &cfg);
    if (sts == kelUNSUPPORTEDBYFORMAT)
        throw py::value_error(std::string("append: format ") + file->getFormat()->getName() + " holds one image only");
    if (sts == kelOKAY && file->getCurrentImg() != file->getNumImgs() - 1)
        sts = file->setCurrentImg(file->getNumImgs() - 1);
    messages.check(sts, "append");
}

py::array kelPyFile::read(const kelPyTile& tile, int dtype)
{
    Use use(*this);
    return kelPyReadTile(*file, tile, kelDataType(dtype));
}

void kelPyFile::write(const py::array& pixels, const kelPyTile& tile)
{
    Use use(*this);
    kelPyWriteTile(*file, tile, pixels);
}

py::object kelPyFile::colormap()
{
    Use use(*this);
    const kelColormap* map = nullptr;
    kelPyMessages messages;
    if (file->getColorModel() != kelRGBPalette || file->getColormap(map) != kelOKAY || !map || map->getLength() < 1) {
        kelPyMessages::take();
        return py::none();
    }
    return colormapArray(*map);
}

void kelPyFile::setColormap(const py::array& table)
{
    Use use(*this);
    kelDataType type = kelPyKelType(table.dtype());
    if (table.ndim() != 2 || !(table.flags() & py::array::c_style) || type == 0 || type == kelBit ||
        table.shape(0) < 1 || table.shape(0) > 65536 || table.shape(1) < 1)
        throw py::value_error("colormap: an N x channels array of 1 to 65536 rows of a numeric type is needed");
    tables.push_back(table);
    kelColormap map(const_cast<void*>(table.data()), int(table.shape(1)), type, 0, int(table.shape(0)) - 1);
    kelPyMessages messages;
    messages.check(file->setColormap(&map), "colormap");
}

py::object kelPyFile::iccProfile()
{
    Use use(*this);
    int size = 0;
    void* profile = nullptr;
    kelPyMessages messages;
    if (file->getICCProfile(size, profile) != kelOKAY || !profile) {
        kelPyMessages::take();
        return py::none();
    }
    py::bytes out(static_cast<const char*>(profile), size_t(size));
    file->freeICCProfile(profile);
    return std::move(out);
}

void kelPyFile::setIccProfile(const py::bytes& profile)
{
    Use use(*this);
    std::string data = profile;
    kelPyMessages messages;
    messages.check(file->setICCProfile(int(data.size()), data.data()), "icc_profile");
}

py::dict kelPyFile::items(bool fileWide)
{
    Use use(*this);
    return kelPyGetItems(*file, fileWide);
}

void kelPyFile::setItem(const std::string& key, const std::string& text)
{
    Use use(*this);
    kelPySetItem(*file, key, text);
}

py::list kelPyFile::itemKeys()
{
    Use use(*this);
    return kelPyItemKeys(file->getFormat());
}
