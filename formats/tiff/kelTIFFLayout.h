// A TIFF directory in kel's terms: the type, channels, order and color
// model of its samples, its blocks (the file's tiles or strips, which are
// kel's pages), and how a block's bytes become a page.
#ifndef KEL_TIFFLAYOUT_H
#define KEL_TIFFLAYOUT_H

#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

#include <stddef.h>
#include <tiffio.h>

enum class kelTIFFDecode {
    Direct, // libtiff's bytes are the page's
    Unpack, // samples of other depths, padded bit rows: unpacked into the page
    RGBA    // through libtiff's RGBA interface (YCbCr without JPEG, CIE Lab, ...)
};

struct kelTIFFLayout {
    int width = 0;
    int height = 0;
    int bits = 0;          // per sample, as stored
    int samples = 0;       // per pixel, as stored
    int sampleFormat = SAMPLEFORMAT_UINT;
    int photometric = PHOTOMETRIC_MINISBLACK;
    int planar = PLANARCONFIG_CONTIG;
    int compressionCode = COMPRESSION_NONE;
    int tiled = 0;
    int blockW = 0;        // a tile's extent, or the width and RowsPerStrip
    int blockH = 0;
    size_t blockBytes = 0; // what libtiff decodes one block into
    kelTIFFDecode decode = kelTIFFDecode::Direct;
    kelDataType type = kelUChar;
    kelColorModel cm = kelLuminance;
    kelOrder order = kelInterleaved;
    int channels = 1;      // in kel's pages
    kelOrientation orientation = kelUpperLeftOrigin;
    kelCompression compression = kelNoCompression;
    int repaired = 0;      // libtiff worked around damage in the directory

    // Channels in one page: all of them, or one plane's.
    int pageChannels() const { return order == kelSeparate ? 1 : channels; }
    // Bytes of one kel page.
    unsigned long long pageBytes() const;
};

// Describes the current directory for reading; kelBADIMGFMT or
// kelUNSUPPORTEDBYFORMAT (reported) when kel cannot read it. A
// JPEG-compressed YCbCr directory is switched to libtiff's RGB output.
kelStatus kelTIFFDescribe(TIFF* tif, kelTIFFLayout& l, const char* name);

// The TIFF compression code of a kel compression, 0 when TIFF has none;
// and the kel compression of a code.
int kelTIFFCompressionCode(kelCompression c);
kelCompression kelTIFFCompressionOf(int code);

// Sets the fields of a new directory from `l` (its width, height, type,
// channels, order, model, blocks, orientation and compression).
kelStatus kelTIFFSetFields(TIFF* tif, kelTIFFLayout& l, const char* name);

#endif
