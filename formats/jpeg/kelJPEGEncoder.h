// Encoding a new JPEG file with libjpeg: the settings, EXIF block, ICC
// profile and comment at the start, then rows in order.
#ifndef KEL_JPEGENCODER_H
#define KEL_JPEGENCODER_H

#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

#include <stddef.h>
#include <stdio.h>

#include <vector>

#include <jpeglib.h>

#include "kelByteWriter.h"
#include "kelJPEGError.h"
#include "kelJPEGSettings.h"
#include "kelJPEGStreams.h"

struct kelJPEGImage {
    int width;
    int height;
    kelColorModel model; // luminance, RGB or CMYK
    int orientation;     // written as the EXIF orientation when not 1
};

class kelJPEGEncoder {
public:
    kelJPEGEncoder(int fd, const char* fileName);
    ~kelJPEGEncoder();

    kelStatus start(const kelJPEGImage& image, const kelJPEGSettings& settings,
                    const std::vector<unsigned char>& profile);
    // The next `count` rows, `stride` bytes apart; CMYK rows are inverted in
    // place (stored as Adobe's applications store them).
    kelStatus write(unsigned char* rows, int count, size_t stride);
    // The end of the image, and every byte out to the file.
    kelStatus finish();

    kelJPEGEncoder(const kelJPEGEncoder&) = delete;
    kelJPEGEncoder& operator=(const kelJPEGEncoder&) = delete;

private:
    kelStatus configure(const kelJPEGImage& image, const kelJPEGSettings& settings);

    jpeg_compress_struct cinfo;
    kelJPEGError err;
    kelByteWriter writer;
    kelJPEGDestination destination;
    int cmyk;
};

#endif
