#include "dtypes.h"

namespace py = pybind11;

namespace {

struct TypePair {
    kelDataType kel;
    char numpy; // numpy's one-letter code
};

const TypePair pairs[] = {{kelBit, '?'},    {kelUChar, 'B'}, {kelChar, 'b'},  {kelUShort, 'H'}, {kelShort, 'h'},
                          {kelUInt, 'I'},   {kelInt, 'i'},   {kelFloat, 'f'}, {kelDouble, 'd'}};

} // namespace

py::dtype kelPyNumpyType(kelDataType type)
{
    for (const TypePair& p : pairs)
        if (p.kel == type)
            return py::dtype(std::string(1, p.numpy));
    throw py::value_error("kel data type " + std::to_string(int(type)) + " has no numpy type");
}

kelDataType kelPyKelType(const py::dtype& type)
{
    for (const TypePair& p : pairs)
        if (type.equal(py::dtype(std::string(1, p.numpy))))
            return p.kel;
    return kelDataType(0);
}

kelDataType kelPyBufferType(kelDataType type)
{
    return type == kelBit ? kelUChar : type;
}
