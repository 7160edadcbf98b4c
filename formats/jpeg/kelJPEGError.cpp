#include "kelJPEGError.h"

#include <kel/kelError.h>

#include <errno.h>

#include <jerror.h>

namespace {

const char* const ownMessages[] = {"More than %d scans: refused as hostile"};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<kelJPEGError*>(cinfo->err)->escape, 1);
}

// Only the first warning is shown, as libjpeg's own manager does for an
// image (but once for all the passes over the file); trace messages
// (levels above -1) never are.
void emitMessage(j_common_ptr cinfo, int level)
{
    kelJPEGError* err = reinterpret_cast<kelJPEGError*>(cinfo->err);
    if (level >= 0)
        return;
    err->pub.num_warnings++;
    if (!err->warned) {
        err->warned = 1;
        char text[JMSG_LENGTH_MAX];
        err->pub.format_message(cinfo, text);
        kelError(kelSeverityWarning, "JPEG file %s: %s", err->fileName, text);
    }
}

void outputMessage(j_common_ptr) {}

} // namespace

void kelJPEGInitError(kelJPEGError& err, j_common_ptr cinfo, const char* fileName)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    err.pub.addon_message_table = ownMessages;
    err.pub.first_addon_message = kelJPEGErrScans;
    err.pub.last_addon_message = kelJPEGErrLastMessage;
    err.owner = cinfo;
    err.fileName = fileName ? fileName : "";
    err.ioStatus = kelOKAY;
    err.warned = 0;
    cinfo->err = &err.pub;
}

int kelJPEGTrap(kelJPEGError& err, void (*step)(void*), void* arg)
{
    if (setjmp(err.escape))
        return 1;
    step(arg);
    return 0;
}

kelStatus kelJPEGFailure(kelJPEGError& err, kelStatus dataFailure)
{
    char text[JMSG_LENGTH_MAX];
    err.pub.format_message(err.owner, text);
    kelError(kelSeverityError, "JPEG file %s: %s", err.fileName, text);
    if (err.ioStatus != kelOKAY)
        return err.ioStatus;
    switch (err.pub.msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    case JERR_NO_SOI:
        return kelBADMAGIC;
    case JERR_INPUT_EMPTY:
        return kelPREMATUREEOF;
    default:
        return dataFailure;
    }
}
