// The application markers that a JPEG file's header may carry and kel
// keeps: the EXIF block (APP1), the ICC profile in APP2 chunks, and COM
// comments. libjpeg hands them to our processors, which keep at most
// kelJPEGMarkerBytes of them in all and skip the rest.
#ifndef KEL_JPEGMARKERS_H
#define KEL_JPEGMARKERS_H

#include <kel/kelStatus.h>

#include <stddef.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <jpeglib.h>

enum : size_t { kelJPEGMarkerBytes = size_t(16) << 20 };

struct kelJPEGMarkers {
    struct Chunk {
        int seq;
        int count;
        size_t at; // in iccBytes
        size_t size;
    };

    // Cleared once the header was read: reading it again to decode anew
    // must not keep the markers twice.
    int collecting = 1;
    size_t kept = 0;
    int overflowed = 0; // markers were skipped for the limit
    std::vector<unsigned char> exif; // the TIFF structure after "Exif\0\0"
    int hasExif = 0;
    std::string comment;             // every COM marker, joined by line feeds
    int hasComment = 0;
    std::vector<Chunk> iccChunks;    // in the order of the file
    std::vector<unsigned char> iccBytes;
    unsigned char payload[65535];    // the marker being read
};

// Installs the processors of APP1, APP2 and COM, which fill `m` while
// m.collecting is set.
void kelJPEGCollectMarkers(j_decompress_ptr cinfo, kelJPEGMarkers& m);

// The ICC profile, its chunks joined in sequence order: kelOKAY, or
// kelCORRUPTED (reported as a warning) when a chunk is missing, repeated or
// numbered against the count, so that no mixed profile comes out. An empty
// profile when the file has none.
kelStatus kelJPEGAssembleProfile(const kelJPEGMarkers& m, std::vector<unsigned char>& profile,
                                 const char* fileName);

#endif
