#include <kel/kelTag.h>

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <new>
#include <string>
#include <vector>

#include <kel/kelError.h>
#include <kel/kelFile.h>

#include "kelBase64.h"
#include "kelNearestFloat.h"

namespace {

const int maxTransferCount = 5;

template <typename T> kelStatus getValues(kelFile* file, int tag, T* v, int count)
{
    switch (count) {
    case 1:
        return file->getTag(tag, v);
    case 2:
        return file->getTag(tag, v, v + 1);
    case 3:
        return file->getTag(tag, v, v + 1, v + 2);
    case 4:
        return file->getTag(tag, v, v + 1, v + 2, v + 3);
    default:
        return file->getTag(tag, v, v + 1, v + 2, v + 3, v + 4);
    }
}

// Arg is the type each value travels as through the variable arguments.
template <typename Arg, typename T> kelStatus setValues(kelFile* file, int tag, const T* v, int count)
{
    switch (count) {
    case 0:
        return file->setTag(tag);
    case 1:
        return file->setTag(tag, Arg(v[0]));
    case 2:
        return file->setTag(tag, Arg(v[0]), Arg(v[1]));
    case 3:
        return file->setTag(tag, Arg(v[0]), Arg(v[1]), Arg(v[2]));
    case 4:
        return file->setTag(tag, Arg(v[0]), Arg(v[1]), Arg(v[2]), Arg(v[3]));
    default:
        return file->setTag(tag, Arg(v[0]), Arg(v[1]), Arg(v[2]), Arg(v[3]), Arg(v[4]));
    }
}

// Whether the first len characters of text begin `word`, ignoring case.
bool isPrefixOf(const char* text, size_t len, const char* word)
{
    return len <= strlen(word) && strncasecmp(text, word, len) == 0;
}

// Any prefix of "false" (the empty text too) is 0, of "true" 1, else a number.
int decodeBoolean(const std::string& text)
{
    if (isPrefixOf(text.c_str(), text.size(), "false"))
        return 0;
    if (isPrefixOf(text.c_str(), text.size(), "true"))
        return 1;
    return (int)strtol(text.c_str(), nullptr, 10);
}

const char* enumName(const kelEnumSpec* rows, int v)
{
    for (; rows && rows->name; rows++)
        if (rows->value == v)
            return rows->name;
    return nullptr;
}

const char* skipBlanks(const char* p)
{
    return p + strspn(p, " \t");
}

} // namespace

kelTag::kelTag() : desc(nullptr), value(nullptr), ownsValues(0)
{
}

kelTag::kelTag(kelTagDescription* d) : kelTag()
{
    init(d);
}

kelTag::~kelTag()
{
    freeOwned();
    free(value);
}

void kelTag::init(kelTagDescription* d)
{
    freeOwned();
    free(value);
    desc = d;
    ownsValues = 0;
    size_t bytes = (size_t)getCount() * elementSize();
    value = bytes ? calloc(1, bytes) : nullptr;
}

int kelTag::getType() const
{
    return desc ? (int)(desc->flags & kelTagTypeMask) : 0;
}

// A block of bytes is one value whatever the count says.
int kelTag::getCount() const
{
    if (!desc)
        return 0;
    return getType() == kelTagBytes ? 1 : (int)(desc->flags & kelTagCountMask);
}

size_t kelTag::elementSize() const
{
    if (!desc)
        return 0;
    switch (getType()) {
    case kelTagShort:
    case kelTagEnumShort:
        return sizeof(short);
    case kelTagInt:
    case kelTagBoolean:
    case kelTagEnumInt:
    case kelTagLong:
        return sizeof(int);
    case kelTagFloat:
    case kelTagReal:
        return sizeof(float);
    case kelTagDouble:
    case kelTagLongDouble:
        return sizeof(double);
    case kelTagString:
        return sizeof(char*);
    case kelTagBytes:
        return sizeof(kelTagByteBlock);
    default:
        return 0;
    }
}

void kelTag::freeOwned()
{
    if (!value)
        return;
    if (getType() == kelTagBytes) {
        kelTagByteBlock* block = (kelTagByteBlock*)value;
        if (ownsValues)
            free((void*)block->data);
        *block = kelTagByteBlock{nullptr, 0};
    } else if (getType() == kelTagString) {
        char** strings = (char**)value;
        for (int i = 0; i < getCount(); i++) {
            if (ownsValues)
                free(strings[i]);
            strings[i] = nullptr;
        }
    }
    ownsValues = 0;
}

kelStatus kelTag::read(kelFile* file)
{
    int count = getCount();
    if (!value || count > maxTransferCount)
        return kelOKAY;
    if (!file)
        return kelBADPARAMS;
    switch (elementSize() == sizeof(short) ? kelTagShort : getType()) {
    case kelTagShort:
        return getValues(file, desc->tag, (short*)value, count);
    case kelTagFloat:
    case kelTagReal:
        return getValues(file, desc->tag, (float*)value, count);
    case kelTagDouble:
    case kelTagLongDouble:
        return getValues(file, desc->tag, (double*)value, count);
    case kelTagString:
        freeOwned();
        return getValues(file, desc->tag, (char**)value, count);
    case kelTagBytes: {
        freeOwned();
        kelTagByteBlock* block = (kelTagByteBlock*)value;
        return file->getTag(desc->tag, &block->data, &block->size);
    }
    default:
        return getValues(file, desc->tag, (int*)value, count);
    }
}

kelStatus kelTag::write(kelFile* file)
{
    int count = getCount();
    if (elementSize() == 0 || count > maxTransferCount || (count > 0 && !value))
        return kelOKAY;
    if (!file)
        return kelBADPARAMS;
    switch (elementSize() == sizeof(short) ? kelTagShort : getType()) {
    case kelTagShort:
        return setValues<int>(file, desc->tag, (const short*)value, count);
    case kelTagFloat:
    case kelTagReal:
        return setValues<double>(file, desc->tag, (const float*)value, count);
    case kelTagDouble:
    case kelTagLongDouble:
        return setValues<double>(file, desc->tag, (const double*)value, count);
    case kelTagString:
        return setValues<char*>(file, desc->tag, (char* const*)value, count);
    case kelTagBytes: {
        const kelTagByteBlock* block = (const kelTagByteBlock*)value;
        return file->setTag(desc->tag, block->data, block->size);
    }
    default:
        return setValues<int>(file, desc->tag, (const int*)value, count);
    }
}

// The text of value n (numbers are printed into num); null for an
// enumerated value without a name.
const char* kelTag::valueText(int n, char* num, size_t numSize) const
{
    switch (getType()) {
    case kelTagString: {
        const char* str = ((char* const*)value)[n];
        return str ? str : "";
    }
    case kelTagBoolean:
        return ((const int*)value)[n] ? "True" : "False";
    case kelTagEnumShort:
    case kelTagEnumInt:
        return enumName((const kelEnumSpec*)desc->spec, intValue(n));
    case kelTagFloat:
    case kelTagReal:
        snprintf(num, numSize, "%g", (double)((const float*)value)[n]);
        return num;
    case kelTagDouble:
    case kelTagLongDouble:
        snprintf(num, numSize, "%g", ((const double*)value)[n]);
        return num;
    default:
        snprintf(num, numSize, "%d", intValue(n));
        return num;
    }
}

kelStatus kelTag::encode(char* buf) const
{
    return encode(buf, (size_t)-1);
}

kelStatus kelTag::encode(char* buf, size_t bufSize) const
{
    try {
        return encodeValues(buf, bufSize);
    } catch (const std::bad_alloc&) {
        if (bufSize > 0)
            buf[0] = '\0';
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
}

// On failure buf holds the values encoded up to that point, cut to fit.
kelStatus kelTag::encodeValues(char* buf, size_t bufSize) const
{
    std::string text;
    kelStatus sts = kelOKAY;
    int count = value ? getCount() : 0;
    if (count && getType() == kelTagBytes) {
        const kelTagByteBlock* block = (const kelTagByteBlock*)value;
        kelBase64Encode((const unsigned char*)block->data, block->size > 0 ? (size_t)block->size : 0, text);
        count = 0;
    }
    for (int n = 0; n < count && sts == kelOKAY; n++) {
        char num[32];
        const char* one = valueText(n, num, sizeof num);
        if (!one)
            sts = kelBADPARAMS;
        else
            text.append(n ? ", " : "").append(one);
    }
    if (bufSize == 0)
        return kelBADPARAMS;
    size_t len = text.size() < bufSize ? text.size() : bufSize - 1;
    memcpy(buf, text.data(), len);
    buf[len] = '\0';
    return len < text.size() ? kelBADPARAMS : sts;
}

int kelTag::intValue(int n) const
{
    return elementSize() == sizeof(short) ? ((const short*)value)[n] : ((const int*)value)[n];
}

void kelTag::setIntValue(int n, long v)
{
    if (elementSize() == sizeof(short))
        ((short*)value)[n] = (short)v;
    else
        ((int*)value)[n] = (int)v;
}

// The first row whose name begins with the text, ignoring case.
const kelEnumSpec* kelTag::lookupEnum(const char* text, size_t len) const
{
    for (const kelEnumSpec* row = (const kelEnumSpec*)desc->spec; row && row->name; row++)
        if (isPrefixOf(text, len, row->name))
            return row;
    return nullptr;
}

const char* kelTag::tagName() const
{
    return desc->name ? desc->name : "";
}

// Converts the text of value n, which is len characters long.
void kelTag::decodeValue(int n, const char* text, size_t len)
{
    std::string s(text, len);
    switch (getType()) {
    case kelTagString: {
        char* copy = strdup(s.c_str());
        ((char**)value)[n] = copy;
        ownsValues = 1;
        break;
    }
    case kelTagBoolean:
        setIntValue(n, decodeBoolean(s));
        break;
    case kelTagEnumShort:
    case kelTagEnumInt: {
        const kelEnumSpec* row = lookupEnum(text, len);
        if (row)
            setIntValue(n, row->value);
        else
            kelError(kelSeverityWarning, "Invalid value for %s tag", tagName());
        break;
    }
    case kelTagFloat:
    case kelTagReal:
        ((float*)value)[n] = kelNearestFloat(atof(s.c_str()));
        break;
    case kelTagDouble:
    case kelTagLongDouble:
        ((double*)value)[n] = atof(s.c_str());
        break;
    default:
        setIntValue(n, strtol(s.c_str(), nullptr, 0));
        break;
    }
}

// Where value n starts and ends in the text (p points at its first
// character); returns where parsing goes on, or null when the value has no end.
const char* kelTag::delimit(const char* p, const char*& start, size_t& len) const
{
    start = p;
    if (getType() == kelTagString && (*p == '"' || *p == '\'')) {
        const char* close = strchr(p + 1, *p);
        if (!close)
            return nullptr;
        start = p + 1;
        len = (size_t)(close - start);
        return close + 1;
    }
    len = getType() == kelTagString && getCount() == 1 ? strlen(p) : strcspn(p, " \t,");
    return p + len;
}

kelStatus kelTag::decode(const char* text)
{
    try {
        return decodeValues(text);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
}

kelStatus kelTag::decodeValues(const char* text)
{
    freeOwned();
    if (value && getType() == kelTagBytes)
        return decodeBytes(text ? text : "");
    int count = value ? getCount() : 0;
    int n = 0;
    const char* p = text ? text : "";
    while (n < count) {
        p = skipBlanks(p);
        if (!*p)
            break;
        const char* start;
        size_t len;
        const char* next = delimit(p, start, len);
        if (!next)
            break;
        decodeValue(n++, start, len);
        p = skipBlanks(next);
        if (*p == ',')
            p = skipBlanks(p + 1);
    }
    if (n == count)
        return kelOKAY;
    if (n > 0)
        kelError(kelSeverityWarning, "Not enough values for %s tag", tagName());
    return kelBADPARAMS;
}

kelStatus kelTag::decodeBytes(const char* text)
{
    std::vector<unsigned char> bytes;
    if (!kelBase64Decode(text, strlen(text), bytes) || bytes.size() > (size_t)INT_MAX) {
        kelError(kelSeverityWarning, "Invalid base64 value for %s tag", tagName());
        return kelBADPARAMS;
    }
    void* data = bytes.empty() ? nullptr : malloc(bytes.size());
    if (!bytes.empty() && !data)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    if (data)
        memcpy(data, bytes.data(), bytes.size());
    *(kelTagByteBlock*)value = kelTagByteBlock{data, (int)bytes.size()};
    ownsValues = 1;
    return kelOKAY;
}
