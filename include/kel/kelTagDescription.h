/* The description of a tag: its code, value count and type, names and
   default. Plain data, shared with C callers, who walk a format's table of
   descriptions. */
#ifndef KEL_TAGDESCRIPTION_H
#define KEL_TAGDESCRIPTION_H

#include <kel/kelTypes.h>

/* One row of an enumeration; a table ends with a row whose name is null. */
typedef struct kelEnumSpec {
    const char* name;
    int value;
} kelEnumSpec;

/* The values an integer tag may take, both ends included. */
typedef struct kelIntRangeSpec {
    int min;
    int max;
} kelIntRangeSpec;

typedef struct kelTagDescription {
    int tag;
    /* Bits 0-3: number of values; bits 4-7: value type; higher bits are the
       format's own attributes. */
    unsigned int flags;
    const char* description;
    const char* name;
    const char* defaultValue;
    /* kelEnumSpec table of the two enumerated types; a kelIntRangeSpec
       for an integer tag whose format limits its values. */
    const void* spec;
} kelTagDescription;

enum {
    kelTagCountMask = 0x0f,
    kelTagTypeMask = 0xf0
};

/* Value types; the comments give the element each value is held in. */
KEL_ENUM(kelTagType) {
    kelTagShort = 0x00,      /* 16-bit integer */
    kelTagInt = 0x10,        /* 32-bit integer */
    kelTagFloat = 0x20,      /* float */
    kelTagString = 0x30,     /* char* */
    kelTagBoolean = 0x40,    /* int */
    kelTagEnumShort = 0x50,  /* 16-bit integer */
    kelTagEnumInt = 0x60,    /* 32-bit integer */
    kelTagLong = 0x70,       /* 32-bit integer */
    kelTagReal = 0x80,       /* float */
    kelTagDouble = 0x90,     /* double */
    kelTagLongDouble = 0xa0  /* double */
} KEL_ENUM_END(kelTagType);

#endif
