// An open or new image file: the object behind kel.open and kel.create.
#ifndef KEL_PY_FILE_H
#define KEL_PY_FILE_H

#include <mutex>
#include <string>
#include <vector>

#include <pybind11/numpy.h>

#include "arrays.h"

class kelFile;

class kelPyFile {
public:
    // `fd` -1: open `path`; else the descriptor, which the file then owns.
    static kelPyFile* open(const std::string& path, int fd, const std::string& format);
    static kelPyFile* create(const std::string& path, int fd, const std::string& format, const pybind11::dict& config,
                             const std::string& args);
    ~kelPyFile();

    void close();
    bool closed() const { return file == nullptr; }
    pybind11::dict info();
    void select(int image);
    void append(const pybind11::dict& config);
    pybind11::array read(const kelPyTile& tile, int dtype);
    void write(const pybind11::array& pixels, const kelPyTile& tile);
    pybind11::object colormap();
    void setColormap(const pybind11::array& table);
    pybind11::object iccProfile();
    void setIccProfile(const pybind11::bytes& profile);
    pybind11::dict items(bool fileWide);
    void setItem(const std::string& key, const std::string& text);
    pybind11::list itemKeys();

private:
    explicit kelPyFile(kelFile* f) : file(f) {}
    // The file, with the object held by this thread; RuntimeError when it
    // is closed or in use by another.
    class Use;

    kelFile* file;
    std::mutex busy;
    // Colormaps handed to the file, which plug-ins may keep pointing at.
    std::vector<pybind11::array> tables;
};

#endif
