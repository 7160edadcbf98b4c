#include "kelJPEGMarkers.h"

#include <kel/kelError.h>

#include <string.h>

#include <new>

#include <jerror.h>

#include "kelJPEGError.h"

namespace {

const unsigned char exifId[6] = {'E', 'x', 'i', 'f', 0, 0};
const unsigned char iccId[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
const size_t iccHeader = sizeof iccId + 2; // the identifier, sequence number and count

kelJPEGMarkers* markersOf(j_decompress_ptr cinfo)
{
    return static_cast<kelJPEGMarkers*>(cinfo->client_data);
}

// Our source never suspends: at the file's end it gives an end-of-image marker.
int nextByte(j_decompress_ptr cinfo)
{
    jpeg_source_mgr* src = cinfo->src;
    if (src->bytes_in_buffer == 0)
        src->fill_input_buffer(cinfo);
    src->bytes_in_buffer--;
    return *src->next_input_byte++;
}

void readBytes(j_decompress_ptr cinfo, unsigned char* out, size_t n)
{
    jpeg_source_mgr* src = cinfo->src;
    while (n > 0) {
        if (src->bytes_in_buffer == 0)
            src->fill_input_buffer(cinfo);
        size_t chunk = n < src->bytes_in_buffer ? n : src->bytes_in_buffer;
        memcpy(out, src->next_input_byte, chunk);
        src->next_input_byte += chunk;
        src->bytes_in_buffer -= chunk;
        out += chunk;
        n -= chunk;
    }
}

bool startsWith(const unsigned char* p, size_t n, const unsigned char* id, size_t idLen)
{
    return n >= idLen && memcmp(p, id, idLen) == 0;
}

// Keeps what the marker holds for us; false when memory ran out.
bool keep(kelJPEGMarkers& m, int marker, const unsigned char* p, size_t n)
{
    try {
        if (marker == JPEG_COM) {
            if (m.hasComment)
                m.comment += '\n';
            m.comment.append(reinterpret_cast<const char*>(p), n);
            m.hasComment = 1;
        } else if (marker == JPEG_APP0 + 1 && !m.hasExif && startsWith(p, n, exifId, sizeof exifId)) {
            m.exif.assign(p + sizeof exifId, p + n);
            m.hasExif = 1;
        } else if (marker == JPEG_APP0 + 2 && startsWith(p, n, iccId, sizeof iccId) && n >= iccHeader) {
            m.iccChunks.push_back({p[12], p[13], m.iccBytes.size(), n - iccHeader});
            m.iccBytes.insert(m.iccBytes.end(), p + iccHeader, p + n);
        } else {
            return true;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    m.kept += n;
    return true;
}

boolean processMarker(j_decompress_ptr cinfo)
{
    kelJPEGMarkers& m = *markersOf(cinfo);
    int high = nextByte(cinfo);
    long length = (long(high) << 8 | nextByte(cinfo)) - 2;
    if (length < 0)
        return TRUE;
    if (!m.collecting || length == 0) {
        if (m.collecting && cinfo->unread_marker == JPEG_COM)
            keep(m, JPEG_COM, m.payload, 0);
        cinfo->src->skip_input_data(cinfo, length);
        return TRUE;
    }
    readBytes(cinfo, m.payload, size_t(length));
    if (m.kept + size_t(length) > kelJPEGMarkerBytes) {
        if (!m.overflowed++)
            kelError(kelSeverityWarning, "JPEG file %s: markers beyond %d MiB skipped",
                     reinterpret_cast<kelJPEGError*>(cinfo->err)->fileName, int(kelJPEGMarkerBytes >> 20));
        return TRUE;
    }
    if (!keep(m, cinfo->unread_marker, m.payload, size_t(length)))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    return TRUE;
}

} // namespace

void kelJPEGCollectMarkers(j_decompress_ptr cinfo, kelJPEGMarkers& m)
{
    cinfo->client_data = &m;
    jpeg_set_marker_processor(cinfo, JPEG_COM, processMarker);
    jpeg_set_marker_processor(cinfo, JPEG_APP0 + 1, processMarker);
    jpeg_set_marker_processor(cinfo, JPEG_APP0 + 2, processMarker);
}

kelStatus kelJPEGAssembleProfile(const kelJPEGMarkers& m, std::vector<unsigned char>& profile, const char* fileName)
{
    profile.clear();
    const size_t count = m.iccChunks.size();
    if (count == 0)
        return kelOKAY;
    std::vector<const kelJPEGMarkers::Chunk*> bySeq(count + 1, nullptr);
    for (const kelJPEGMarkers::Chunk& c : m.iccChunks) {
        if (size_t(c.count) != count || c.seq < 1 || size_t(c.seq) > count || bySeq[size_t(c.seq)]) {
            kelError(kelSeverityWarning, "JPEG file %s: inconsistent ICC profile chunks: profile ignored",
                     fileName);
            return kelCORRUPTED;
        }
        bySeq[size_t(c.seq)] = &c;
    }
    for (size_t seq = 1; seq <= count; seq++)
        profile.insert(profile.end(), m.iccBytes.begin() + long(bySeq[seq]->at),
                       m.iccBytes.begin() + long(bySeq[seq]->at + bySeq[seq]->size));
    return kelOKAY;
}
