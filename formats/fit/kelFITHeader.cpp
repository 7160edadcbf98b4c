#include "kelFITHeader.h"

#include <kel/kelColor.h>
#include <kel/kelDataSize.h>
#include <kel/kelLimits.h>

#include <limits.h>
#include <stdint.h>

#include <initializer_list>

#include "kelFITByteOrder.h"
#include "kelFITFile.h"
#include "kelPositionedIO.h"

namespace {

const uint32_t magicAndVersion1 = 0x49543031; // "IT01"
const uint32_t magicAndVersion2 = 0x49543032; // "IT02"

enum Field {
    fieldSize = 4,
    fieldDataType = 20,
    fieldOrder = 24,
    fieldOrientation = 28,
    fieldColorModel = 32,
    fieldPageSize = 36,
    fieldVersion1DataOffset = 52,
    fieldScaleMin = 56,
    fieldScaleMax = 64,
    fieldDataOffset = 72
};

int32_t getInt(const unsigned char* header, int field)
{
    return int32_t(kelFITGet32(header + field));
}

void putInt(unsigned char* header, int field, int v)
{
    kelFITPut32(header + field, uint32_t(v));
}

void readSize(const unsigned char* header, int field, kelSize& s)
{
    s.init(getInt(header, field), getInt(header, field + 4), getInt(header, field + 8), getInt(header, field + 12));
}

void writeSize(unsigned char* header, int field, const kelSize& s)
{
    putInt(header, field, s.x);
    putInt(header, field + 4, s.y);
    putInt(header, field + 8, s.z);
    putInt(header, field + 12, s.c);
}

int isPositive(const kelSize& s)
{
    return s.x > 0 && s.y > 0 && s.z > 0 && s.c > 0;
}

int mulChecked(uint64_t& acc, uint64_t factor)
{
    return !__builtin_mul_overflow(acc, factor, &acc);
}

} // namespace

kelStatus kelFITFile::readHeader()
{
    unsigned char header[kelFITHeaderBytes];
    ssize_t n = kelReadAt(fd, header, sizeof header, 0);
    if (n < 0)
        return kelSystemStatus(kelREADFAILED);
    if (n >= 2 && (header[0] != 'I' || header[1] != 'T'))
        return kelBADMAGIC;
    if (n < 4)
        return kelREADFAILED;
    const uint32_t version = kelFITGet32(header);
    if (version != magicAndVersion1 && version != magicAndVersion2)
        return kelBADIMGFMT;
    headerVersion = version == magicAndVersion1 ? 1 : 2;
    userOffset = headerVersion == 1 ? kelFITVersion1HeaderBytes : kelFITHeaderBytes;
    if (n < userOffset)
        return kelREADFAILED;
    return takeHeader(header);
}

// Every field is checked before anything is computed from it.
kelStatus kelFITFile::takeHeader(const unsigned char* header)
{
    readSize(header, fieldSize, size);
    readSize(header, fieldPageSize, pageSize);
    dtype = kelDataType(getInt(header, fieldDataType));
    order = kelOrder(getInt(header, fieldOrder));
    orientation = kelOrientation(getInt(header, fieldOrientation));
    const uint32_t storedModel = kelFITGet32(header + fieldColorModel);
    cm = kelColorModel(int32_t(headerVersion == 1 ? storedModel + 1 : storedModel));
    if (headerVersion == 1) {
        dataOffset = getInt(header, fieldVersion1DataOffset);
        scaleMinValue = kelDataMin(dtype);
        scaleMaxValue = kelDataMax(dtype);
    } else {
        dataOffset = getInt(header, fieldDataOffset);
        scaleMinValue = kelFITGetDouble(header + fieldScaleMin);
        scaleMaxValue = kelFITGetDouble(header + fieldScaleMax);
    }
    if (dataOffset < userOffset || !calcPageParams())
        return kelBADIMGFMT;
    return kelCheckPageBytes(pageSizeBytes, "FIT page");
}

// A version-1 file keeps its 56 bytes: a longer header would overwrite its
// user area or pages. Its scale range stays in memory.
kelStatus kelFITFile::writeHeader()
{
    unsigned char header[kelFITHeaderBytes] = {};
    kelFITPut32(header, headerVersion == 1 ? magicAndVersion1 : magicAndVersion2);
    writeSize(header, fieldSize, size);
    putInt(header, fieldDataType, dtype);
    putInt(header, fieldOrder, order);
    putInt(header, fieldOrientation, orientation);
    putInt(header, fieldColorModel, headerVersion == 1 ? cm - 1 : cm);
    writeSize(header, fieldPageSize, pageSize);
    if (headerVersion == 1) {
        putInt(header, fieldVersion1DataOffset, dataOffset);
    } else {
        kelFITPutDouble(header + fieldScaleMin, scaleMinValue);
        kelFITPutDouble(header + fieldScaleMax, scaleMaxValue);
        putInt(header, fieldDataOffset, dataOffset);
    }
    size_t written = 0;
    if (kelWriteAt(fd, header, size_t(userOffset), 0, written) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}

// Refuses what no file can hold: sizes that are not positive, values that
// are no enumerator, pages beyond the range of an int's elements or an
// unsigned int's bytes.
int kelFITFile::calcPageParams()
{
    if (!isPositive(size) || !isPositive(pageSize) || kelDataSize(dtype, 1) == 0 ||
        (order != kelInterleaved && order != kelSequential && order != kelSeparate) ||
        orientation < kelUpperLeftOrigin || orientation > kelLeftLowerOrigin || kelColorModelChans(cm) < 0 ||
        (pageSize.c != size.c && order != kelSeparate))
        return 0;
    uint64_t elements = 1;
    for (int v : {pageSize.x, pageSize.y, pageSize.z, pageSize.c})
        if (!mulChecked(elements, uint64_t(v)))
            return 0;
    if (elements > uint64_t(INT_MAX))
        return 0;
    const uint64_t bytes = dtype == kelBit ? (elements + 7) / 8 : elements * kelDataSize(dtype, 1);
    if (bytes > uint64_t(UINT_MAX))
        return 0;
    pageSizeBytes = unsigned(bytes);
    pageCount.init((size.x - 1) / pageSize.x + 1, (size.y - 1) / pageSize.y + 1, (size.z - 1) / pageSize.z + 1);
    return layoutFits(dataOffset);
}

// Whether every page, placed from data offset `offset` on, ends within the
// range of a 64-bit file offset.
int kelFITFile::layoutFits(long long offset) const
{
    uint64_t end = uint64_t((size.c - 1) / pageSize.c + 1);
    for (uint64_t factor : {uint64_t(pageCount.x), uint64_t(pageCount.y), uint64_t(pageCount.z)})
        if (!mulChecked(end, factor))
            return 0;
    if (!mulChecked(end, pageSizeBytes))
        return 0;
    return offset >= 0 && end <= uint64_t(INT64_MAX - offset);
}
