// Tags: named, typed header values that a format exposes besides its pixels.
// kelTag holds the values of one described tag, exchanges them with a file
// and converts them to and from text.
#ifndef KEL_TAG_H
#define KEL_TAG_H

#include <stddef.h>

#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTagDescription.h>

class kelFile;

class KEL_API kelTag {
public:
    kelTag();
    explicit kelTag(kelTagDescription* d);
    ~kelTag();

    // Zeroed storage for the description's values (any earlier values go).
    void init(kelTagDescription* d);

    void* getValue() const { return value; }
    int getType() const;
    int getCount() const;

    // getTag with one pointer per value; string values then point into the
    // file, and so do the bytes of a kelTagBytes value (a kelTagByteBlock).
    kelStatus read(kelFile* file);
    // setTag with every value, 16-bit ones as int and floats as double.
    kelStatus write(kelFile* file);

    // The values as text, separated by ", "; a block of bytes as base64
    // (RFC 4648, '=' padding), which decode takes back. The first form
    // trusts `buf` to be large enough; the second fails with kelBADPARAMS
    // when it is not.
    kelStatus encode(char* buf) const;
    kelStatus encode(char* buf, size_t bufSize) const;
    kelStatus decode(const char* text);

    kelTag(const kelTag&) = delete;
    kelTag& operator=(const kelTag&) = delete;

private:
    kelStatus decodeValues(const char* text);
    kelStatus decodeBytes(const char* text);
    kelStatus encodeValues(char* buf, size_t bufSize) const;
    void freeOwned();
    size_t elementSize() const;
    int intValue(int n) const;
    void setIntValue(int n, long v);
    const char* tagName() const;
    const char* valueText(int n, char* num, size_t numSize) const;
    const kelEnumSpec* lookupEnum(const char* text, size_t len) const;
    const char* delimit(const char* p, const char*& start, size_t& len) const;
    void decodeValue(int n, const char* text, size_t len);

    kelTagDescription* desc;
    void* value;
    int ownsValues; // strings or bytes were allocated by decode
};

#endif
