// A lookup table: per channel, a run of entries of one data type, addressed
// by a real-valued domain mapped linearly onto the entry indices.
#ifndef KEL_LUT_H
#define KEL_LUT_H

#include <stddef.h>

#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

class KEL_API kelLut {
public:
    // Over the caller's table (borrowed, never freed by the lookup table).
    kelLut(void* table, int tabChannels, kelDataType tabType, double min, double max, int length);
    // A length below 1 is derived from the domain; storage is allocated.
    kelLut(int tabChannels, kelDataType tabType, double min, double max, int length);
    kelLut();
    kelLut(const kelLut& from);
    virtual ~kelLut();

    int getNumChans() const { return numChannels; }
    kelDataType getDataType() const { return type; }
    int getLength() const { return tabLength; }
    void* getData() const { return data; }
    void getDomain(double& min, double& max) const;
    double getDomainMin() const { return domainMin; }
    double getDomainMax() const { return domainMax; }
    // The domain distance between neighbouring entries.
    double getDomainStep() const { return 1.0 / scale; }

    // Reads clamp the index to the table; writes outside it are refused.
    double getVal(double domainIdx, int chan) const;
    kelStatus setVal(double val, double domainIdx, int chan);

    // For kelBit tables these are the bytes that hold the entry in question
    // (its bit is (element index mod 8) counted from the most significant).
    void* getChan(int chan) const;
    void* getOrigin(int chan) const;

    kelStatus setDomain(double min, double max);
    void getRange(double& min, double& max) const;
    void setData(void* dataPnt);

    // The copy always owns its storage.
    kelLut& operator=(const kelLut& from);
    int isDiff(const kelLut& from) const;

protected:
    // A table that cannot be allocated comes out empty: no data, length 0.
    // Storage the table owns is released, unless `table` is that storage,
    // which the table then keeps owning.
    void init(void* table, int tabChannels, kelDataType tabType, double min, double max, int length);

private:
    void setType(kelDataType t);
    void setNumChans(int n);
    static double clampToInt(double v);

    void setup(void* table, int tabChannels, kelDataType tabType, double min, double max, int length);
    void copyFrom(const kelLut& from);
    void freeStorage();
    void makePrivate();
    size_t byteSize() const;
    int hasEntries() const;
    double entryIndex(double domainIdx) const;
    double readEntry(long long element) const;
    void writeEntry(long long element, double val);
    void* entryAddress(double element) const;

    void* data = nullptr;
    void* allocFlg = nullptr;
    kelDataType type;
    int numChannels;
    unsigned int tabWidth;
    int tabLength;
    double domainMin, domainMax;
    double scale, bias;
};

#endif
