// libjpeg's source and destination managers over the shared byte reader
// and writer of the plug-in's descriptor.
#ifndef KEL_JPEGSTREAMS_H
#define KEL_JPEGSTREAMS_H

#include <stddef.h>
#include <stdio.h>

#include <jpeglib.h>

#include "kelByteReader.h"
#include "kelByteWriter.h"

// Reads the file from its start. At its end the source gives an end-of-image
// marker with a warning, as libjpeg's own file source does, so that a
// truncated file decodes like djpeg decodes it.
struct kelJPEGSource {
    jpeg_source_mgr pub; // first: the library sees only this
    kelByteReader* reader;
    int startOfFile;
    // As large as the reader's buffer, so that refills go straight here.
    unsigned char buffer[128 * 1024];
};

void kelJPEGAttachSource(j_decompress_ptr cinfo, kelJPEGSource& src, kelByteReader& reader);
// Back to the file's first byte, for decoding again.
void kelJPEGRewind(kelJPEGSource& src);

// Writes from the writer's offset on; a failed write sticks in the writer.
struct kelJPEGDestination {
    jpeg_destination_mgr pub; // first
    kelByteWriter* writer;
    unsigned char buffer[128 * 1024];
};

void kelJPEGAttachDestination(j_compress_ptr cinfo, kelJPEGDestination& dst, kelByteWriter& writer);

#endif
