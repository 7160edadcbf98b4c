#include "kelCopyDestinationArguments.h"

#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>
#include <utility>
#include <vector>

#include <kel/kelFile.h>

#include "kelCopyOptions.h"
#include "kelToolNames.h"
#include "kelToolOptions.h"

namespace {

enum Choice { chooseNothing, chooseModel, chooseType, chooseOrder, chooseOrientation, choosePage };

// Whether `text` (not empty) begins `word`, in any letter case.
bool abbreviates(const std::string& text, const char* word)
{
    return !text.empty() && text.size() <= strlen(word) && strncasecmp(word, text.c_str(), text.size()) == 0;
}

// Raw's argument names in its own order, so that an abbreviation means here
// what it means to Raw.
Choice choiceOf(const std::string& name)
{
    static const struct {
        const char* name;
        Choice choice;
    } names[] = {{"size", chooseNothing},    {"pagesize", choosePage}, {"colormodel", chooseModel},
                 {"type", chooseType},       {"order", chooseOrder},   {"orientation", chooseOrientation},
                 {"minimum", chooseNothing}, {"maximum", chooseNothing}, {"offset", chooseNothing}};
    for (const auto& n : names)
        if (abbreviates(name, n.name))
            return n.choice;
    return chooseNothing;
}

// "name=value" pairs, separated as the library separates format arguments.
std::vector<std::pair<std::string, std::string>> split(const std::string& args)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t at = 0;
    while ((at = args.find_first_not_of(" \t%", at)) != std::string::npos) {
        size_t end = args.find_first_of(" \t%", at);
        std::string word = args.substr(at, end == std::string::npos ? std::string::npos : end - at);
        size_t eq = word.find('=');
        if (eq != std::string::npos)
            pairs.emplace_back(word.substr(0, eq), word.substr(eq + 1));
        at = end;
    }
    return pairs;
}

// The whole keyword, else the first one the text begins.
int keyword(const kelToolName* table, const std::string& text)
{
    int value = kelToolLookup(table, text.c_str());
    for (const kelToolName* row = table; !value && row->name; ++row)
        if (abbreviates(text, row->name))
            value = row->value;
    return value;
}

struct Taker {
    const std::string argument; // "name=value", for messages

    template <typename T> void keywordOf(T& option, const char* optionName, const kelToolName* table,
                                         const std::string& text) const
    {
        T value = T(keyword(table, text));
        if (!value)
            throw kelToolUsageError{"invalid value in DST's argument " + argument + "; expected one of " +
                                    kelToolKeywords(table)};
        if (option && option != value)
            throw kelToolUsageError{std::string(optionName) + " " + kelToolNameOf(table, option) +
                                    " disagrees with DST's argument " + argument};
        option = value;
    }

    // Components that both give must be equal; those --page leaves open
    // come from the argument.
    void pageOf(kelSize& option, const std::string& text) const
    {
        kelSize value = kelToolParseSize("DST's argument " + argument, text.c_str());
        int* mine[4] = {&option.x, &option.y, &option.z, &option.c};
        const int theirs[4] = {value.x, value.y, value.z, value.c};
        for (int i = 0; i < 4; ++i) {
            if (*mine[i] && theirs[i] && *mine[i] != theirs[i])
                throw kelToolUsageError{"--page disagrees with DST's argument " + argument};
            if (!*mine[i])
                *mine[i] = theirs[i];
        }
    }
};

std::string argumentsOf(const kelCopyOptions& opts)
{
    char* args = nullptr;
    char* block = kelFile::parseFileName(opts.destination.c_str(), nullptr, nullptr, &args);
    std::string text = args ? args : "";
    free(block);
    return text + "%" + opts.formatArgs;
}

} // namespace

void kelCopyTakeDestinationArguments(kelCopyOptions& opts)
{
    for (const auto& arg : split(argumentsOf(opts))) {
        Taker take{arg.first + "=" + arg.second};
        switch (choiceOf(arg.first)) {
        case chooseModel:
            take.keywordOf(opts.cm, "--colormodel", kelToolColorModels, arg.second);
            break;
        case chooseType:
            take.keywordOf(opts.dtype, "--type", kelToolDataTypes, arg.second);
            break;
        case chooseOrder:
            take.keywordOf(opts.order, "--order", kelToolOrders, arg.second);
            break;
        case chooseOrientation:
            take.keywordOf(opts.orientation, "--orientation", kelToolOrientations, arg.second);
            break;
        case choosePage:
            take.pageOf(opts.pageSize, arg.second);
            break;
        default:
            break;
        }
    }
}
