// kelFile::open and kelFile::create: the framework's part of opening and
// creating a file; the plug-in's object does the rest.
#include <kel/kelError.h>
#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static char* copyOrNull(const char* s)
{
    return s ? strdup(s) : nullptr;
}

static void storeStatus(kelStatus sts, kelStatus* status)
{
    if (status)
        *status = sts;
}

// Opens the path for `open`; the result is the descriptor or a failure.
static int openPath(const char* path, int mode, kelStatus& sts)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        sts = kelSystemStatus(kelOPENFAILED);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        sts = kelOPENFAILED;
        return -1;
    }
    int fd = ::open(path, mode);
    if (fd < 0)
        sts = kelSystemStatus(kelOPENFAILED);
    return fd;
}

static kelFile* newFileObject(kelFormat* fmt, kelStatus& sts)
{
    kelFile* f = fmt->newfileobj();
    if (!f)
        sts = kelSystemStatus(kelMALLOCFAILED);
    return f;
}

static kelStatus checkAccess(kelFormat* fmt, int mode)
{
    return fmt->accessModeIsSupported(mode) ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFORMAT);
}

// The format of an existing file: named, found by magic number, else by
// suffix among the formats that have no match rule.
static kelFormat* formatForOpen(const kelFileDesc& fileDesc)
{
    kelFormat* fmt = fileDesc.getFormat();
    if (!fmt && fileDesc.getFileName())
        fmt = kelFormat::findByFileName(fileDesc.getFileName(), 1, 1);
    return fmt;
}

// Also run again before a retried openFile: the first one may have split
// the argument text in place.
void kelFile::attach(const kelFileDesc& fileDesc, int fdesc, int mode, kelFormat* fmt)
{
    free(filename);
    free(formatArgs);
    filename = copyOrNull(fileDesc.getFileName());
    fd = fdesc;
    accessmode = mode;
    format = fmt;
    formatArgs = copyOrNull(fileDesc.getFormatSpecific());
}

// Closes a descriptor that open made itself, and forgets it in the
// descriptor object too, so that no closed number stays behind there.
static void closeOwnFd(kelFileDesc& fileDesc, int& ownFd)
{
    ::close(ownFd);
    ownFd = -1;
    fileDesc.setFileDesc(-1);
}

kelFile* kelFile::open(kelFileDesc& fileDesc, int mode, kelStatus* status)
{
    int ownFd = -1; // opened here; closed again when the open fails
    kelFile* file = nullptr;
    int plugInOpened = 0;
    int retried = 0;

    auto steps = [&]() -> kelStatus {
        if (fileDesc.getStatus() != kelOKAY)
            return fileDesc.getStatus();
        if (mode != O_RDONLY && mode != O_RDWR)
            return kelBADPARAMS;
        int fdesc = fileDesc.getFileDesc();
        kelStatus sts = kelOKAY;
        if (fdesc < 0) {
            KEL_ASSERT(fileDesc.getFileName() != NULL);
            if ((fdesc = openPath(fileDesc.getFileName(), mode, sts)) < 0)
                return sts;
            ownFd = fdesc;
            fileDesc.setFileDesc(fdesc);
        }
        kelFormat* fmt = formatForOpen(fileDesc);
        if (!fmt)
            return kelBADMAGIC;
        if ((sts = checkAccess(fmt, mode)) != kelOKAY || !(file = newFileObject(fmt, sts)))
            return sts;
        file->attach(fileDesc, fdesc, mode, fmt);
        sts = file->openFile();
        if (sts == kelUNSUPPORTEDBYLIBRARY && ownFd >= 0) {
            // The plug-in opens the file by name itself.
            closeOwnFd(fileDesc, ownFd);
            retried = 1;
            file->attach(fileDesc, -1, mode, fmt);
            if (file->filename)
                sts = file->openFile();
        }
        if (sts != kelOKAY)
            return sts;
        plugInOpened = 1;
        return fileDesc.getIndex() >= 0 ? file->setCurrentImg(fileDesc.getIndex()) : kelOKAY;
    };

    kelStatus sts = steps();
    storeStatus(sts, status);
    if (sts == kelOKAY)
        return file;
    // The descriptor that the object was given is the caller's or closed
    // below, so the object forgets it: a destructor that closes its
    // descriptor must leave it alone. One that the plug-in opened by name
    // is closed when a later step failed, and stays the plug-in's when its
    // own second openFile failed.
    if (file && (!retried || plugInOpened)) {
        if (retried && file->fd >= 0)
            ::close(file->fd);
        file->fd = -1;
    }
    delete file;
    if (ownFd >= 0)
        closeOwnFd(fileDesc, ownFd);
    return nullptr;
}

kelFile* kelFile::open(int fd, const char* fullname, int mode, kelFormat* format, kelStatus* status)
{
    kelFileDesc desc(fullname, format);
    desc.setFileDesc(fd);
    return open(desc, mode, status);
}

kelFile* kelFile::open(const char* fullname, int mode, kelStatus* status)
{
    return open(-1, fullname, mode, nullptr, status);
}

// The format of a new file: named, else by suffix, else the fallback.
static kelFormat* formatForCreate(const kelFileDesc& fileDesc)
{
    kelFormat* fmt = fileDesc.getFormat();
    if (!fmt && fileDesc.getFileName())
        fmt = kelFormat::findByFileName(fileDesc.getFileName(), 0, 1);
    if (!fmt)
        fmt = kelFormat::findByFormatName("TIFF", 1);
    return fmt;
}

static void copyScales(kelFile* source, kelFile* file)
{
    double lo, hi;
    if (source->getScaleMinMax(lo, hi) == kelOKAY)
        file->setScaleMinMax(lo, hi);
    if (source->getStatMinMax(lo, hi) == kelOKAY)
        file->setStatMinMax(lo, hi);
}

kelFile* kelFile::create(kelFileDesc& fileDesc, kelFile* source, const kelFileConfig* cfg, kelStatus* status)
{
    kelFile* file = nullptr;

    auto steps = [&]() -> kelStatus {
        if (fileDesc.getStatus() != kelOKAY)
            return fileDesc.getStatus();
        kelFileConfig work;
        kelFormat* fmt = formatForCreate(fileDesc);
        if (!fmt)
            return kelSYSTEM_CONFIGURATION_ERROR;
        kelStatus sts = checkAccess(fmt, O_RDWR);
        if (sts != kelOKAY)
            return sts;
        if (cfg)
            work = *cfg;
        if ((sts = fmt->applyDefaults(source, work)) != kelOKAY || !(file = newFileObject(fmt, sts)))
            return sts;
        file->attach(fileDesc, fileDesc.getFileDesc(), O_RDWR, fmt);
        file->dtype = work.getDataType();
        file->order = work.getOrder();
        file->cm = work.getColorModel();
        file->orientation = work.getOrientation();
        file->compression = work.getCompression();
        file->channelPermutation = nullptr;
        work.getSize(file->size);
        work.getPageSize(file->pageSize);
        if ((sts = file->createFile()) != kelOKAY)
            return sts;
        if (source)
            copyScales(source, file);
        return kelOKAY;
    };

    kelStatus sts = steps();
    storeStatus(sts, status);
    if (sts == kelOKAY)
        return file;
    // The caller's descriptor stays open: the object must not close it.
    if (file && fileDesc.getFileDesc() >= 0 && file->fd == fileDesc.getFileDesc())
        file->fd = -1;
    delete file;
    return nullptr;
}

kelFile* kelFile::create(int fd, const char* fullname, kelFile* source, const kelFileConfig* cfg,
                         kelFormat* format, kelStatus* status)
{
    kelFileDesc desc(fullname, format);
    desc.setFileDesc(fd);
    return create(desc, source, cfg, status);
}

kelFile* kelFile::create(const char* fullname, kelFile* source, const kelFileConfig* cfg, kelFormat* format,
                         kelStatus* status)
{
    return create(-1, fullname, source, cfg, format, status);
}
