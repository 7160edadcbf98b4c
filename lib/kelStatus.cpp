#include <kel/kelStatus.h>

#include <string.h>

static const char* const mainStatusTexts[] = {
    "Successful operation",
    "Object is not writable",
    "Object is not readable",
    "Bad parameter(s)",
    "Attempted operation is unsupported by library",
    "Attempted operation is unsupported by file format",
    "Unrecognized magic number in file",
    "Bad image file format",
    "Failed to set field in file header",
    "Failed to get field in file header",
    "System configuration error",
    "Image index out of range of file",
    "Can't allocate memory",
    "File open failed",
    "File close failed",
    "File read failed",
    "File write failed",
    "File seek failed",
    "File stat failed",
    "Can't open file type database",
    "Script execution failed",
    "Premature end of file",
    "Corrupted image data",
    "Attempted operation is unsupported by file",
};

extern "C" const char* kelMainStatusToString(kelMainStatus status)
{
    int n = int(sizeof mainStatusTexts / sizeof mainStatusTexts[0]);
    if (status < 0 || status >= n)
        return "(unrecognized kelMainStatus value)";
    return mainStatusTexts[status];
}

extern "C" char* kelStatusToString(kelStatus sts, char* buf, int bufsize)
{
    if (bufsize < 1)
        return buf;
    const char* text = kelStatusKind(sts) == 1 ? strerror(kelStatusErrno(sts))
                                               : kelMainStatusToString(kelMainStatus(kelStatusMain(sts)));
    strncpy(buf, text, size_t(bufsize - 1));
    buf[bufsize - 1] = '\0';
    return buf;
}
