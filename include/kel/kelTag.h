// Tags: named, typed header values that a format exposes besides its pixels.
// kelTag holds the values of one described tag, exchanges them with a file
// and converts them to and from text.
#ifndef KEL_TAG_H
#define KEL_TAG_H

#include <stddef.h>

#include <kel/kelStatus.h>

class kelFile;

// One row of an enumeration; a table ends with a row whose name is null.
struct kelEnumSpec {
    const char* name;
    int value;
};

// The values an integer tag may take, both ends included.
struct kelIntRangeSpec {
    int min;
    int max;
};

struct kelTagDescription {
    int tag;
    // Bits 0-3: number of values; bits 4-7: value type; higher bits are the
    // format's own attributes.
    unsigned int flags;
    const char* description;
    const char* name;
    const char* defaultValue;
    // kelEnumSpec table of the two enumerated types; a kelIntRangeSpec
    // for an integer tag whose format limits its values.
    const void* spec;
};

enum {
    kelTagCountMask = 0x0f,
    kelTagTypeMask = 0xf0
};

// Value types; the comments give the element each value is held in.
enum kelTagType : int {
    kelTagShort = 0x00,      // 16-bit integer
    kelTagInt = 0x10,        // 32-bit integer
    kelTagFloat = 0x20,      // float
    kelTagString = 0x30,     // char*
    kelTagBoolean = 0x40,    // int
    kelTagEnumShort = 0x50,  // 16-bit integer
    kelTagEnumInt = 0x60,    // 32-bit integer
    kelTagLong = 0x70,       // 32-bit integer
    kelTagReal = 0x80,       // float
    kelTagDouble = 0x90,     // double
    kelTagLongDouble = 0xa0  // double
};

class kelTag {
public:
    kelTag();
    explicit kelTag(kelTagDescription* d);
    ~kelTag();

    // Zeroed storage for the description's values (any earlier values go).
    void init(kelTagDescription* d);

    void* getValue() const { return value; }
    int getType() const;
    int getCount() const;

    // getTag with one pointer per value; string values then point into the file.
    kelStatus read(kelFile* file);
    // setTag with every value, 16-bit ones as int and floats as double.
    kelStatus write(kelFile* file);

    // The values as text, separated by ", ". The first form trusts `buf` to
    // be large enough; the second fails with kelBADPARAMS when it is not.
    kelStatus encode(char* buf) const;
    kelStatus encode(char* buf, size_t bufSize) const;
    kelStatus decode(const char* text);

    kelTag(const kelTag&) = delete;
    kelTag& operator=(const kelTag&) = delete;

private:
    void freeStrings();
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
    int strAllocated;
};

#endif
