#include "kelCopyItems.h"

#include <math.h>

#include <utility>
#include <vector>

#include <kel/kelError.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>
#include <kel/kelTag.h>

#include "kelCopyOptions.h"
#include "kelToolErrorLog.h"
#include "kelToolItems.h"

namespace {

bool isIntegral(int type)
{
    switch (type) {
    case kelTagShort:
    case kelTagInt:
    case kelTagBoolean:
    case kelTagEnumShort:
    case kelTagEnumInt:
    case kelTagLong:
        return true;
    default:
        return false;
    }
}

bool sameValues(const kelTagDescription& a, const kelTagDescription& b)
{
    return (a.flags & (kelTagTypeMask | kelTagCountMask)) == (b.flags & (kelTagTypeMask | kelTagCountMask));
}

// Roles whose values convert: the same role, or a delay in the other unit.
bool rolesMeet(kelTagRole from, kelTagRole to)
{
    bool delays = (from == kelTagRoleDelayCs || from == kelTagRoleDelayMs) &&
                  (to == kelTagRoleDelayCs || to == kelTagRoleDelayMs);
    return to != kelTagRoleNone && (from == to || delays);
}

bool convertible(const kelTagDescription& from, const kelTagDescription& to)
{
    return isIntegral(int(from.flags & kelTagTypeMask)) && isIntegral(int(to.flags & kelTagTypeMask)) &&
           (from.flags & kelTagCountMask) == (to.flags & kelTagCountMask);
}

// The source's description that feeds `to`: the same key, value type and
// count, else the first of a role that converts.
kelTagDescription* feeding(kelTagDescription* rows, int count, const kelTagDescription& to)
{
    const std::string key = kelToolItemKey(to.name);
    kelTagDescription* byRole = nullptr;
    for (int i = 0; i < count; ++i) {
        kelTagDescription& from = rows[i];
        if (kelToolItemIsReadOnly(from))
            continue;
        if (kelToolItemKey(from.name) == key && sameValues(from, to))
            return &from;
        if (!byRole && rolesMeet(kelTagRoleOf(from.flags), kelTagRoleOf(to.flags)) && convertible(from, to))
            byRole = &from;
    }
    return byRole;
}

int element(const kelTag& tag, int n)
{
    int type = tag.getType();
    return type == kelTagShort || type == kelTagEnumShort ? static_cast<const short*>(tag.getValue())[n]
                                                          : static_cast<const int*>(tag.getValue())[n];
}

void setElement(kelTag& tag, int n, long v)
{
    int type = tag.getType();
    if (type == kelTagShort || type == kelTagEnumShort)
        static_cast<short*>(tag.getValue())[n] = short(v);
    else
        static_cast<int*>(tag.getValue())[n] = int(v);
}

long converted(long v, kelTagRole from, kelTagRole to)
{
    if (from == kelTagRoleDelayCs && to == kelTagRoleDelayMs)
        return v * 10;
    if (from == kelTagRoleDelayMs && to == kelTagRoleDelayCs)
        return lround(double(v) / 10.0);
    return v;
}

// Reads the source's item; writes it as the destination's. The status of
// the read, or of the write once the read succeeded.
struct Transfer {
    kelFile& src;
    kelFile& dst;
    bool readOkay = false;

    kelStatus same(const kelTagDescription& from, const kelTagDescription& to)
    {
        // Value type and count are the same: one tag holds the values, read
        // under the source's tag number and written under the destination's.
        kelTagDescription as = from;
        kelTag tag(&as);
        kelStatus sts = tag.read(&src);
        readOkay = sts == kelOKAY;
        if (!readOkay)
            return sts;
        as.tag = to.tag;
        return tag.write(&dst);
    }

    kelStatus byRole(kelTagDescription& from, kelTagDescription& to)
    {
        kelTag in(&from), out(&to);
        kelStatus sts = in.read(&src);
        readOkay = sts == kelOKAY;
        if (!readOkay)
            return sts;
        for (int n = 0; n < in.getCount(); ++n)
            setElement(out, n, converted(element(in, n), kelTagRoleOf(from.flags), kelTagRoleOf(to.flags)));
        return out.write(&dst);
    }
};

// kelTag::decode takes what it can and warns about the rest: a value it
// warns about is as wrong as one it refuses.
void countMessage(void* count, int, const char*, va_list)
{
    ++*static_cast<int*>(count);
}

bool decodesCleanly(kelTagDescription* desc, const std::string& text)
{
    int messages = 0;
    kelSetLocalErrorHandler quiet(countMessage, &messages);
    kelTag tag(desc);
    return tag.decode(text.c_str()) == kelOKAY && messages == 0;
}

void carryProfile(const kelCopyOptions& opts, kelFile& src, kelFile& dst, kelToolErrorLog& log)
{
    int size = 0;
    void* profile = nullptr;
    if (src.getICCProfile(size, profile) != kelOKAY || !profile)
        return;
    kelStatus sts = dst.setICCProfile(size, profile);
    src.freeICCProfile(profile);
    if (sts != kelOKAY && sts != kelUNSUPPORTEDBYFORMAT)
        log.warn(opts.destination + ": ICC profile not kept: " + kelToolErrorLog::statusText(sts));
}

} // namespace

void kelCopyCarryItems(const kelCopyOptions& opts, kelFile& src, kelFile& dst, bool firstImage,
                       kelToolErrorLog& log)
{
    if (firstImage)
        carryProfile(opts, src, dst, log);
    int srcCount = 0, dstCount = 0;
    kelTagDescription* srcRows = kelToolItemsOf(src, srcCount);
    kelTagDescription* dstRows = kelToolItemsOf(dst, dstCount);
    for (int i = 0; i < dstCount; ++i) {
        kelTagDescription& to = dstRows[i];
        bool fileWide = kelToolItemIsFileWide(to);
        if (kelToolItemIsReadOnly(to) || (fileWide && !firstImage))
            continue;
        kelTagDescription* from = feeding(srcRows, srcCount, to);
        if (!from)
            continue;
        Transfer transfer{src, dst};
        // Values in another unit (a delay in 1/100 s for one in 1/1000 s)
        // are converted even where both are ints.
        bool asIs = sameValues(*from, to) && kelTagRoleOf(from->flags) == kelTagRoleOf(to.flags);
        kelStatus sts = asIs ? transfer.same(*from, to) : transfer.byRole(*from, to);
        if (!transfer.readOkay && !fileWide && to.defaultValue) {
            kelTag absent(&to);
            if (absent.decode(to.defaultValue) == kelOKAY)
                absent.write(&dst);
        } else if (transfer.readOkay && sts != kelOKAY) {
            log.warn(opts.destination + ": " + to.name + " not kept: " + kelToolErrorLog::statusText(sts));
        }
    }
}

void kelCopySetRole(kelFile& dst, int role, int value)
{
    kelTagDescription* desc = kelToolFindRole(dst.getFormat(), kelTagRole(role));
    if (!desc || kelToolItemIsReadOnly(*desc) || !isIntegral(int(desc->flags & kelTagTypeMask)))
        return;
    kelTag tag(desc);
    if (!tag.getValue())
        return;
    setElement(tag, 0, value);
    tag.write(&dst);
}

std::string kelCopyCheckSettings(const kelCopyOptions& opts, kelFormat* format)
{
    const std::string fmt = std::string("format ") + format->getName();
    for (const auto& item : opts.items) {
        kelTagDescription* desc = kelToolFindItem(format, item.first);
        if (!desc)
            return fmt + " has no item '" + item.first + "' (--item); its items: " + kelToolSettableItemKeys(format);
        if (kelToolItemIsReadOnly(*desc))
            return "item '" + item.first + "' of " + fmt + " cannot be set; its items: " +
                   kelToolSettableItemKeys(format);
        if (!decodesCleanly(desc, item.second))
            return "invalid value '" + item.second + "' for item '" + item.first + "' of " + fmt;
    }
    if (opts.quality >= 0 && !kelToolFindRole(format, kelTagRoleQuality))
        return fmt + " has no quality to set (--quality)";
    return "";
}

std::string kelCopyApplySettings(const kelCopyOptions& opts, kelFile& dst, bool firstImage)
{
    std::vector<std::pair<kelTagDescription*, std::string>> settings;
    if (opts.quality >= 0)
        settings.emplace_back(kelToolFindRole(dst.getFormat(), kelTagRoleQuality), std::to_string(opts.quality));
    for (const auto& item : opts.items)
        settings.emplace_back(kelToolFindItem(dst.getFormat(), item.first), item.second);
    for (auto& setting : settings) {
        kelTagDescription* desc = setting.first;
        if (!desc || (kelToolItemIsFileWide(*desc) && !firstImage))
            continue;
        kelTag tag(desc);
        kelStatus sts = tag.decode(setting.second.c_str());
        if (sts == kelOKAY)
            sts = tag.write(&dst);
        if (sts != kelOKAY)
            return std::string("cannot set ") + desc->name + " to '" + setting.second +
                   "': " + kelToolErrorLog::statusText(sts);
    }
    return "";
}
