#include "kelDbWriter.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "kelFormatDB.h"

namespace {

// Columns of one line of a match expression, and the remainder at which the
// expression continues on the next line.
enum { lineBudget = 56, breakBudget = 20 };

struct MatchWriter {
    std::string text;
    int budget = lineBudget;

    void put(const std::string& s)
    {
        text += s;
        budget -= int(s.size());
    }
    void write(const kelDbMatch* m, OpCode parent);
    void writeLogical(const kelDbMatch* m, OpCode parent);
    void writeLeaf(const kelDbMatch* m);
};

const char* comparisonText(OpCode op)
{
    switch (op) {
    case CondNE:
        return " != ";
    case CondLE:
        return " <= ";
    case CondGE:
        return " >= ";
    case CondLT:
        return " < ";
    case CondGT:
        return " > ";
    default:
        return " == ";
    }
}

// The name under which a one-argument function reads back; the signed int
// function is "long".
const char* functionName(OpCode op)
{
    static const struct {
        OpCode op;
        const char* name;
    } names[] = {{FuncUCHAR, "uchar"}, {FuncCHAR, "char"}, {FuncUSHORT, "ushort"}, {FuncSHORT, "short"},
                 {FuncUINT, "ulong"}};
    for (const auto& n : names)
        if (n.op == op)
            return n.name;
    return "long";
}

template <typename... Args>
std::string format(const char* fmt, Args... args)
{
    char buf[48];
    snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

void MatchWriter::writeLogical(const kelDbMatch* m, OpCode parent)
{
    // "&&" and "||" groups nested in each other are parenthesised.
    bool paren = (m->op == CondAND && parent == CondOR) || (m->op == CondOR && parent == CondAND);
    if (paren)
        put("(");
    std::vector<const kelDbMatch*> nodes = m->chain();
    write(nodes.front()->left, m->op);
    for (const kelDbMatch* n : nodes) {
        put(m->op == CondAND ? " && " : " || ");
        if (budget <= breakBudget) {
            text += "\n\t\t\t";
            budget = lineBudget;
        }
        write(n->right, m->op);
    }
    if (paren)
        put(")");
}

void MatchWriter::writeLeaf(const kelDbMatch* m)
{
    switch (m->op) {
    case ImmedINT:
        put(m->ival1 >= 0 && m->ival1 <= 31 ? format("%d", m->ival1) : format("0x%x", unsigned(m->ival1)));
        break;
    case ImmedSTR:
        put("\"" + std::string(m->sval ? m->sval : "") + "\"");
        break;
    case FuncSTR:
        put(format("string(%d,%d)", m->ival1, m->ival2));
        break;
    default:
        put(format("%s(%d)", functionName(m->op), m->ival1));
        break;
    }
}

void MatchWriter::write(const kelDbMatch* m, OpCode parent)
{
    switch (m->op) {
    case CondAND:
    case CondOR:
        writeLogical(m, parent);
        break;
    case CondEQ:
    case CondNE:
    case CondLE:
    case CondGE:
    case CondLT:
    case CondGT:
    case CondStrEQ:
        write(m->left, m->op);
        put(comparisonText(m->op));
        write(m->right, m->op);
        break;
    default:
        writeLeaf(m);
        break;
    }
}

bool isKeyword(const char* s)
{
    static const char* const keywords[] = {"format", "match",  "description", "dso",    "dll",      "subsystem",
                                           "suffixes", "access", "uchar",     "char",   "ushort",   "short",
                                           "uint",   "ulong",  "int",         "long",   "string",   "readwrite",
                                           "readonly", "writeonly"};
    for (const char* k : keywords)
        if (strcmp(s, k) == 0)
            return true;
    return false;
}

bool isNameChar(char c, bool first)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' || (!first && c >= '0' && c <= '9');
}

// Whether `s` scans back as one name token.
bool isName(const char* s)
{
    size_t len = strlen(s);
    if (len < 2 || isKeyword(s))
        return false;
    for (size_t i = 0; i < len; i++)
        if (!isNameChar(s[i], i == 0))
            return false;
    return true;
}

// A suffix that came from a string and is not a name stays a string, so
// that the list reads back the same.
std::string suffixesText(const kelList<kelSuffixItem>* list)
{
    std::string text;
    kelListIter<kelSuffixItem> it(*list);
    while (kelSuffixItem* s = it.next()) {
        if (!text.empty())
            text += ",";
        const char* v = s->suffix ? s->suffix : "";
        text += isName(v) ? std::string(v) : "\"" + std::string(v) + "\"";
    }
    return text;
}

} // namespace

std::string kelDbMatchText(const kelDbMatch* m)
{
    MatchWriter w;
    w.write(m, ImmedINT);
    return w.text;
}

std::string kelDbEntryText(const kelFormatDB* e)
{
    std::string text = "format " + std::string(e->name) + "\n";
    if (e->match)
        text += "    match\t\t" + kelDbMatchText(e->match) + "\n";
    if (e->description)
        text += "    description\t\t\"" + std::string(e->description) + "\"\n";
    if (e->dsoname)
        text += "    dll\t\t\t" + std::string(e->dsoname) + "\n";
    if (e->access != 2)
        text += std::string("    access\t\t") + (e->access == 1 ? "writeonly" : "readonly") + "\n";
    if (e->subsystem)
        text += "    subsystem\t\t\"" + std::string(e->subsystem) + "\"\n";
    if (e->suffixes && !e->suffixes->isEmpty())
        text += "    suffixes\t\t" + suffixesText(e->suffixes) + "\n";
    return text;
}
