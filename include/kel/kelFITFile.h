/* Items of the FIT format, kel's own tiled format: a fixed header, an
   optional user area of free bytes, then every page at a computed offset.
   Pass them to kelFile::getItem and setItem (from C: kelFileGetItem and
   kelFileSetItem). */
#ifndef KEL_FIT_FILE_H
#define KEL_FIT_FILE_H

typedef enum kelFITItem {
    /* get: int* receives the user area's size in bytes.
       set: int, the user area's size; refused with kelBADFIELDSET once the
       file holds pages. */
    kelFITextensionSize = 1,
    /* get: void* buffer, int size: the first size bytes of the user area
       (kelBADPARAMS when size exceeds the area).
       set: const void* data, int size: written at the start of the user
       area, which grows to size bytes when it is smaller; growing is refused
       with kelBADPARAMS once the file holds pages. */
    kelFITextensionData = 2,
    /* get: int* receives the header's version, 1 or 2. Files are written
       with version 2; version-1 files are read and keep their version.
       Cannot be set (kelBADFIELDSET). */
    kelFITheaderVersion = 3,
    /* The whole user area as one block of bytes (a kelTagBytes item).
       get: const void** data, int* size: the bytes stay the file's until
       the next get or the file is closed; an empty area gives size 0.
       set: const void* data, int size: the area becomes exactly these
       bytes; changing its size is refused with kelBADFIELDSET once the file
       holds pages. */
    kelFITuserArea = 4
} kelFITItem;

#endif
