// A parsed file name: path, image index, format, format arguments and an
// optional open descriptor, with the status of the parse.
#ifndef KEL_FILEDESC_H
#define KEL_FILEDESC_H

#include <kel/kelExport.h>
#include <kel/kelStatus.h>

class kelFormat;

class KEL_API kelFileDesc {
public:
    // Parses "path#format:index%arguments"; `fmt`, when given, wins over a
    // format named in the name.
    explicit kelFileDesc(const char* name, kelFormat* fmt = nullptr);
    kelFileDesc(const char* fname, int idx, const char* fmtName, const char* fmtSpecific);
    kelFileDesc(const char* fname, int idx, kelFormat* fmt, const char* fmtSpecific);
    ~kelFileDesc();

    // A descriptor stands in for a missing name; with no format known yet
    // the format is found from the file's first bytes.
    void setFileDesc(int filedesc);

    kelStatus getStatus() const { return sts; }
    const char* getFileName() const { return fileName; }
    int getFileDesc() const { return fd; }
    int getIndex() const { return index; }
    kelFormat* getFormat() const { return format; }
    const char* getFormatSpecific() const { return formatSpecific; }
    const char* getFormatName() const;

    kelFileDesc(const kelFileDesc&) = delete;
    kelFileDesc& operator=(const kelFileDesc&) = delete;

private:
    void init(char* fname, int idx, kelFormat* fmt, char* fmtSpecific);
    kelFormat* lookupFormat(const char* formatName);
    void copyInto(const char* fname, const char* fmtSpecific, int idx, kelFormat* fmt);

    // fileName starts the one owned block; without a name, formatSpecific does.
    char* fileName;
    int index;
    char* formatSpecific;
    kelFormat* format;
    int fd;
    kelStatus sts;
};

#endif
