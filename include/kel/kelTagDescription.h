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

/* Attributes in the high bits of `flags` that every format means alike, so
   that tools and bindings handle a format's tags without knowing it. Bits
   8-23 stay the format's own. */
enum {
    kelTagReadOnly = 0x01000000, /* getTag only: shown, never set or carried */
    kelTagFileWide = 0x02000000, /* one value for the whole file, not per image */
    kelTagRoleShift = 26,
    kelTagRoleMask = 0x7c000000  /* a kelTagRole */
};

/* Common meanings a tag may declare (flags bits 26-30), through which code
   that knows no format reads and writes frames of an animation. Each role
   fixes the tag's value type and unit. */
KEL_ENUM(kelTagRole) {
    kelTagRoleNone = 0,
    kelTagRoleCanvasWidth = 1,   /* int: the canvas that frames are placed on */
    kelTagRoleCanvasHeight = 2,  /* int */
    kelTagRoleLeft = 3,          /* int: the frame's place on the canvas */
    kelTagRoleTop = 4,           /* int */
    kelTagRoleDelayCs = 5,       /* int: how long the frame shows, 1/100 s */
    kelTagRoleDelayMs = 6,       /* int: the same in 1/1000 s */
    kelTagRoleDisposal = 7,      /* int, a kelFrameDisposal */
    kelTagRoleBlend = 8,         /* int, a kelFrameBlend */
    kelTagRoleLoopCount = 9,     /* int: times the animation plays, 0 forever */
    kelTagRoleBackground = 10,   /* 4 ints: R, G, B, A of the canvas's background */
    kelTagRoleQuality = 11       /* int 0-100: a lossy encoder's quality, 100 best */
} KEL_ENUM_END(kelTagRole);

/* What is done with a frame's rectangle before the next frame is drawn. */
KEL_ENUM(kelFrameDisposal) {
    kelDisposeUnspecified = 0, /* as kelDisposeNone */
    kelDisposeNone = 1,        /* the frame stays */
    kelDisposeBackground = 2,  /* the rectangle becomes transparent */
    kelDisposePrevious = 3     /* the rectangle returns to what it was before the frame */
} KEL_ENUM_END(kelFrameDisposal);

/* How a frame's pixels meet the canvas under them. */
KEL_ENUM(kelFrameBlend) {
    kelBlendOver = 0,  /* alpha-composited over the canvas */
    kelBlendSource = 1 /* the rectangle is replaced, alpha included */
} KEL_ENUM_END(kelFrameBlend);

/* The value of a kelTagBytes tag as a kelTag holds it (kelTagGetValue):
   read, the bytes are the file's; decoded from text, the tag's own. */
typedef struct kelTagByteBlock {
    const void* data;
    int size;
} kelTagByteBlock;

#define kelTagRoleOf(flags) ((kelTagRole)(((flags) & kelTagRoleMask) >> kelTagRoleShift))
/* The flag bits that give a description the role r. */
#define kelTagRoleFlags(r) ((unsigned int)(r) << kelTagRoleShift)

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
    kelTagLongDouble = 0xa0, /* double */
    kelTagBytes = 0xb0       /* a block of bytes, count 1: getTag takes
                                const void** and int* (the bytes stay the
                                file's), setTag a const void* and an int */
} KEL_ENUM_END(kelTagType);

#endif
