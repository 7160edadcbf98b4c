#include <kel/kelFile.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>

#include <stdlib.h>
#include <string.h>

kelFileDesc::kelFileDesc(const char* name, kelFormat* fmt) : sts(kelOKAY)
{
    char* fmtName;
    int idx;
    char* args;
    char* block = kelFile::parseFileName(name, &fmtName, &idx, &args);
    if (!fmt && fmtName)
        fmt = lookupFormat(fmtName);
    init(block, idx, fmt, args);
}

kelFileDesc::kelFileDesc(const char* fname, int idx, const char* fmtName, const char* fmtSpecific) : sts(kelOKAY)
{
    kelFormat* fmt = fmtName ? lookupFormat(fmtName) : nullptr;
    copyInto(fname, fmtSpecific, idx, fmt);
}

kelFileDesc::kelFileDesc(const char* fname, int idx, kelFormat* fmt, const char* fmtSpecific) : sts(kelOKAY)
{
    copyInto(fname, fmtSpecific, idx, fmt);
}

kelFileDesc::~kelFileDesc()
{
    free(fileName ? fileName : formatSpecific);
}

// Name and arguments go into one block, each present only when given.
void kelFileDesc::copyInto(const char* fname, const char* fmtSpecific, int idx, kelFormat* fmt)
{
    size_t nameBytes = fname ? strlen(fname) + 1 : 0;
    size_t argBytes = fmtSpecific ? strlen(fmtSpecific) + 1 : 0;
    char* block = nameBytes + argBytes ? static_cast<char*>(malloc(nameBytes + argBytes)) : nullptr;
    if (!block) {
        init(nullptr, idx, fmt, nullptr);
        return;
    }
    memcpy(block, fname ? fname : "", nameBytes);
    memcpy(block + nameBytes, fmtSpecific ? fmtSpecific : "", argBytes);
    init(fname ? block : nullptr, idx, fmt, fmtSpecific ? block + nameBytes : nullptr);
}

void kelFileDesc::init(char* fname, int idx, kelFormat* fmt, char* fmtSpecific)
{
    fileName = fname;
    index = idx;
    format = fmt;
    formatSpecific = fmtSpecific;
    fd = -1;
    if (!fileName && sts == kelOKAY)
        sts = kelBADPARAMS;
}

kelFormat* kelFileDesc::lookupFormat(const char* formatName)
{
    kelFormat* fmt = kelFormat::findByFormatName(formatName, 1);
    if (!fmt)
        sts = kelBADIMGFMT;
    return fmt;
}

void kelFileDesc::setFileDesc(int filedesc)
{
    // No negative number is a descriptor: it reads as none (-1) and must
    // neither stand in for a missing name nor be read for a magic number.
    fd = filedesc < 0 ? -1 : filedesc;
    if (fd < 0)
        return;
    if (sts == kelBADPARAMS)
        sts = kelOKAY;
    if (!format)
        format = kelFormat::findByMagic(fd, 1);
}

const char* kelFileDesc::getFormatName() const
{
    return format ? format->getName() : nullptr;
}
