// A file format as the framework sees it: what it can store, what it
// prefers, and how to make a file object of its own class. Every plug-in
// defines one subclass and one static instance, whose construction registers
// it with the database entry of the same name.
#ifndef KEL_FORMAT_H
#define KEL_FORMAT_H

#include <kel/kelExport.h>
#include <kel/kelList.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

class kelDatabase;
class kelFile;
class kelFileConfig;
struct kelTagDescription;

class KEL_API kelFormat : public kelListItem {
public:
    // The slot order of these virtual operations is the interface between
    // the core and separately built plug-ins. Sizes are upright.
    virtual int typeIsSupported(kelDataType type) = 0;
    virtual int orderIsSupported(kelOrder order) = 0;
    virtual int orientationIsSupported(kelOrientation orientation) = 0;
    virtual int colorModelIsSupported(kelColorModel cm) = 0;
    virtual int compressionIsSupported(kelCompression compression) = 0;
    virtual int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) = 0;
    virtual int pagingIsSupported() = 0;
    virtual int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                                    kelOrientation orientation) = 0;
    virtual int randomAccessReadIsSupported() = 0;
    virtual int randomAccessWriteIsSupported() = 0;
    virtual kelDataType getPreferredType() = 0;
    virtual kelOrder getPreferredOrder() = 0;
    virtual kelOrientation getPreferredOrientation() = 0;
    // `nc` 0: no channel count known.
    virtual kelColorModel getPreferredColorModel(int nc) = 0;
    virtual kelCompression getPreferredCompression() = 0;
    // The outputs come in holding the values known so far (0 where open).
    virtual void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                                      kelOrientation orientation) = 0;
    virtual kelFile* newfileobj();

protected:
    virtual kelTagDescription* _getTagDescriptions(int& count);
    // Registers with the database entry of the same name. A plug-in that
    // names no version implements interface 1.3; one that implements the
    // optional file services and tag descriptions declares 2.1.
    explicit kelFormat(const char* formatName);
    kelFormat(const char* formatName, int interfaceMajor, int interfaceMinor);
    virtual ~kelFormat();

public:
    // Lookups; `openDSOifNecessary` non-zero lets the database load the
    // plug-in of a format whose object does not exist yet.
    static kelFormat* findNext(int& index, int openDSOifNecessary);
    static kelFormat* findByMagic(int fd, int openDSOifNecessary);
    static kelFormat* findByFormatName(const char* formatName, int openDSOifNecessary);
    static kelFormat* findByFileName(const char* fileName, int noMatchRule, int openDSOifNecessary);

    const char* getName() const { return name; }
    const char* getDefaultSuffix() const;
    const char* getDescription() const;
    int accessModeIsSupported(int mode) const;
    int haveDSOVersion(int wantMajor, int wantMinor) const;
    kelTagDescription* getTagDescriptions(int& count);

    // Decides every field of `fc` still 0, from `source` where given, else
    // from the format's preferences, and checks the result against the format.
    kelStatus applyDefaults(kelFile* source, kelFileConfig& fc);
    kelStatus applyDefaults(kelFileConfig* source, kelFileConfig& fc);

    kelFormat(const kelFormat&) = delete;
    kelFormat& operator=(const kelFormat&) = delete;

protected:
    char* name;
    kelDatabase* db;

private:
    void defaultsFromSource(const kelFileConfig& src, kelFileConfig& fc);
    void defaultsFromFormat(kelFileConfig& fc);
    kelStatus checkConfig(const kelFileConfig& fc);
};

#endif
