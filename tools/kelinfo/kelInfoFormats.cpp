#include "kelInfoFormats.h"

#include <fcntl.h>

#include <kel/kelDatabase.h>

#include "kelToolErrorLog.h"

static const char* accessName(const kelDatabase& db)
{
    bool read = db.accessModeIsSupported(O_RDONLY);
    bool write = db.accessModeIsSupported(O_WRONLY);
    return read && write ? "read-write" : write ? "write" : "read";
}

static const char* orEmpty(const char* text)
{
    return text ? text : "";
}

static std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "; ") + line;
    return text;
}

static nlohmann::json describe(kelDatabase& db, kelToolErrorLog& log)
{
    nlohmann::json suffixes = nlohmann::json::array();
    if (db.getSuffixes()) {
        kelListIter<kelSuffixItem> it(*db.getSuffixes());
        while (kelSuffixItem* item = it.next())
            suffixes.push_back(item->suffix);
    }
    nlohmann::json entry = {{"name", orEmpty(db.getName())},
                            {"description", orEmpty(db.getDescription())},
                            {"suffixes", suffixes},
                            {"access", accessName(db)},
                            {"library", orEmpty(db.getDSOName())}};
    // A plug-in that cannot be loaded is reported through the error handler;
    // the log keeps the reason instead of ending the process.
    log.clear();
    entry["loadable"] = db.getFormat(1) != nullptr;
    if (!entry["loadable"].get<bool>())
        entry["reason"] = joined(log.messages());
    log.clear();
    return entry;
}

nlohmann::json kelInfoFormats(kelToolErrorLog& log)
{
    nlohmann::json formats = nlohmann::json::array();
    int index = 0;
    while (kelDatabase* db = kelDatabase::findNext(index))
        formats.push_back(describe(*db, log));
    return formats;
}
