// The grammar of the format database. Conditions are parsed by shift and
// reduce over an explicit stack, so that deep nesting costs stack entries
// rather than native stack frames.
#include <stdlib.h>

#include <kelFormatDB.h>

#include "kelFormatLex.h"

namespace {

// Entries are bounded so that no database text, however it includes
// itself, can make loading take long.
enum { initialStackSize = 200, maximalStackSize = 10000, maximalEntries = 4096 };

// Symbols held by the condition stack.
enum StackSymbol { SymOpenParen, SymCondition, SymAnd, SymOr };

struct StackEntry {
    StackSymbol sym;
    kelDbMatch* match;
};

enum ParseResult { ParseAccepted = 0, ParseSyntaxError = 1, ParseOverflow = 2 };

class Parser {
public:
    Parser() : stack(static_cast<StackEntry*>(malloc(initialStackSize * sizeof(StackEntry)))) {}
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    int run();

private:
    void advance();
    void dropText();
    char* takeText();
    bool fail();
    bool expect(int token);
    bool push(StackSymbol sym, kelDbMatch* match);
    kelDbMatch* pop();

    bool attributes(kelFormatDB* entry);
    bool attribute(kelFormatDB* entry);
    bool textAttribute(kelFormatDB* entry, void (kelFormatDB::*set)(char*), int kind1, int kind2);
    bool suffixList(kelFormatDB* entry);
    bool accessMode(kelFormatDB* entry);

    kelDbMatch* condition();
    void combine(kelDbMatch*& operand, int lowestPrecedence);
    kelDbMatch* comparison();
    kelDbMatch* numberTerm();
    kelDbMatch* stringTerm();
    bool number(int& value);
    bool offset(int& value);

    int token = 0;
    KELSTYPE value{};
    int result = ParseAccepted;
    StackEntry* stack;
    int stackSize = initialStackSize;
    int depth = 0;
};

Parser::~Parser()
{
    while (depth > 0)
        delete pop();
    free(stack);
    dropText();
}

// Releases the current name or string unless a clause has taken it.
void Parser::dropText()
{
    if (token == kelTokNAME || token == kelTokSTRING)
        free(value.sval);
    value.sval = nullptr;
}

void Parser::advance()
{
    dropText();
    token = kellex();
    value = kellval;
}

// The current name or string, now owned by the caller.
char* Parser::takeText()
{
    char* s = value.sval;
    value.sval = nullptr;
    return s;
}

bool Parser::fail()
{
    result = ParseSyntaxError;
    kelFormatDB::error("parse error");
    return false;
}

bool Parser::expect(int tok)
{
    if (token != tok)
        return fail();
    advance();
    return true;
}

bool Parser::push(StackSymbol sym, kelDbMatch* match)
{
    if (depth == stackSize) {
        StackEntry* bigger = nullptr;
        if (stackSize < maximalStackSize) {
            int newSize = stackSize * 2 < maximalStackSize ? stackSize * 2 : maximalStackSize;
            bigger = static_cast<StackEntry*>(realloc(stack, size_t(newSize) * sizeof(StackEntry)));
            if (bigger)
                stackSize = newSize;
        }
        if (!bigger) {
            result = ParseOverflow;
            kelFormatDB::error("parser stack overflow");
            return false;
        }
        stack = bigger;
    }
    stack[depth++] = {sym, match};
    return true;
}

kelDbMatch* Parser::pop()
{
    return stack[--depth].match;
}

int Parser::run()
{
    if (!stack) {
        kelFormatDB::error("parser stack overflow");
        return ParseOverflow;
    }
    advance();
    for (int entries = 0; token == kelTokFORMAT; entries++) {
        if (entries == maximalEntries) {
            result = ParseSyntaxError;
            kelFormatDB::error("too many format entries");
            return result;
        }
        advance();
        if (token != kelTokNAME) {
            fail();
            return result;
        }
        kelFormatDB* entry = kelFormatDB::newEntry(takeText());
        advance();
        if (!attributes(entry))
            return result;
    }
    if (token != 0)
        fail();
    return result;
}

bool Parser::attributes(kelFormatDB* entry)
{
    for (;;) {
        switch (token) {
        case kelTokMATCH:
        case kelTokDESCRIPTION:
        case kelTokDSO:
        case kelTokDLL:
        case kelTokSUBSYSTEM:
        case kelTokSUFFIXES:
        case kelTokACCESS:
            if (!attribute(entry))
                return false;
            break;
        default:
            return true;
        }
    }
}

bool Parser::attribute(kelFormatDB* entry)
{
    int keyword = token;
    advance();
    switch (keyword) {
    case kelTokMATCH: {
        kelDbMatch* m = condition();
        if (m)
            entry->setMatch(m);
        return m != nullptr;
    }
    case kelTokDESCRIPTION:
        return textAttribute(entry, &kelFormatDB::setDescription, kelTokSTRING, kelTokSTRING);
    case kelTokDSO:
        return textAttribute(entry, &kelFormatDB::setDso, kelTokNAME, kelTokNAME);
    case kelTokDLL:
        return textAttribute(entry, &kelFormatDB::setDll, kelTokNAME, kelTokNAME);
    case kelTokSUBSYSTEM:
        return textAttribute(entry, &kelFormatDB::setSubSystem, kelTokNAME, kelTokSTRING);
    case kelTokSUFFIXES:
        return suffixList(entry);
    default:
        return accessMode(entry);
    }
}

// A clause whose operand is a name or string of one of the two kinds.
bool Parser::textAttribute(kelFormatDB* entry, void (kelFormatDB::*set)(char*), int kind1, int kind2)
{
    if (token != kind1 && token != kind2)
        return fail();
    (entry->*set)(takeText());
    advance();
    return true;
}

bool Parser::suffixList(kelFormatDB* entry)
{
    if (token != kelTokNAME)
        return fail();
    kelList<kelSuffixItem>* list = new kelList<kelSuffixItem>;
    for (;;) {
        char* text = takeText();
        list->append(new kelSuffixItem(text));
        free(text);
        advance();
        if (token != ',')
            break;
        advance();
        if (token != kelTokNAME && token != kelTokSTRING) {
            kelDeleteSuffixList(list);
            return fail();
        }
    }
    entry->setSuffixes(list);
    return true;
}

bool Parser::accessMode(kelFormatDB* entry)
{
    if (token != kelTokREADWRITE && token != kelTokREADONLY && token != kelTokWRITEONLY)
        return fail();
    entry->setAccess(token);
    advance();
    return true;
}

int precedence(StackSymbol sym)
{
    return sym == SymAnd ? 2 : sym == SymOr ? 1 : 0;
}

// Reduces "condition operator operand" at the top of the stack into the
// operand while the operator binds at least as tightly as `lowestPrecedence`
// (left associativity).
void Parser::combine(kelDbMatch*& operand, int lowestPrecedence)
{
    while (depth >= 2 && precedence(stack[depth - 1].sym) >= lowestPrecedence) {
        OpCode op = stack[depth - 1].sym == SymAnd ? CondAND : CondOR;
        depth--;
        kelDbMatch* left = pop();
        operand = new kelDbMatch(op, left, operand);
    }
}

// A whole condition; null after an error. The token after it is current.
kelDbMatch* Parser::condition()
{
    int base = depth;
    for (;;) {
        if (token == '(') {
            if (!push(SymOpenParen, nullptr))
                return nullptr;
            advance();
            continue;
        }
        kelDbMatch* operand = comparison();
        if (!operand)
            return nullptr;
        for (;;) {
            if (token == kelTokAND || token == kelTokOR) {
                StackSymbol op = token == kelTokAND ? SymAnd : SymOr;
                combine(operand, precedence(op));
                if (!push(SymCondition, operand)) {
                    delete operand;
                    return nullptr;
                }
                if (!push(op, nullptr))
                    return nullptr;
                advance();
                break;
            }
            combine(operand, 1);
            bool open = depth > base && stack[depth - 1].sym == SymOpenParen;
            if (token == ')' && open) {
                depth--;
                advance();
                continue;
            }
            if (token == ')' || open) {
                delete operand;
                fail();
                return nullptr;
            }
            return operand;
        }
    }
}

// The comparison operator after a term of the given kind.
bool relation(int tok, bool strings, OpCode& op)
{
    if (strings) {
        op = CondStrEQ;
        return tok == kelTokEQ;
    }
    switch (tok) {
    case kelTokEQ:
        op = CondEQ;
        return true;
    case kelTokNE:
        op = CondNE;
        return true;
    case kelTokLE:
        op = CondLE;
        return true;
    case kelTokGE:
        op = CondGE;
        return true;
    case '<':
        op = CondLT;
        return true;
    case '>':
        op = CondGT;
        return true;
    default:
        return false;
    }
}

kelDbMatch* Parser::comparison()
{
    bool strings = token == kelTokSTRING || token == kelTokSTRINGFN;
    kelDbMatch* left = strings ? stringTerm() : numberTerm();
    if (!left)
        return nullptr;
    OpCode op;
    if (!relation(token, strings, op)) {
        delete left;
        fail();
        return nullptr;
    }
    advance();
    kelDbMatch* right = strings ? stringTerm() : numberTerm();
    if (!right) {
        delete left;
        return nullptr;
    }
    return new kelDbMatch(op, left, right);
}

bool Parser::number(int& v)
{
    if (token != kelTokNUMBER)
        return fail();
    v = value.ival;
    advance();
    return true;
}

// "(" number ")" after a file-read keyword.
bool Parser::offset(int& v)
{
    return expect('(') && number(v) && expect(')');
}

OpCode readKind(int tok)
{
    switch (tok) {
    case kelTokUCHAR:
        return FuncUCHAR;
    case kelTokCHAR:
        return FuncCHAR;
    case kelTokUSHORT:
        return FuncUSHORT;
    case kelTokSHORT:
        return FuncSHORT;
    case kelTokUINT:
        return FuncUINT;
    default:
        return FuncINT;
    }
}

kelDbMatch* Parser::numberTerm()
{
    if (token == kelTokNUMBER) {
        int v = value.ival;
        advance();
        return new kelDbMatch(ImmedINT, v, 0);
    }
    if (token < kelTokUCHAR || token > kelTokINT) {
        fail();
        return nullptr;
    }
    OpCode kind = readKind(token);
    advance();
    int at;
    if (!offset(at))
        return nullptr;
    return new kelDbMatch(kind, at, 0);
}

kelDbMatch* Parser::stringTerm()
{
    if (token == kelTokSTRING) {
        kelDbMatch* m = new kelDbMatch(ImmedSTR, takeText());
        advance();
        return m;
    }
    if (token != kelTokSTRINGFN) {
        fail();
        return nullptr;
    }
    advance();
    int at, length;
    if (!expect('(') || !number(at) || !expect(',') || !number(length) || !expect(')'))
        return nullptr;
    return new kelDbMatch(FuncSTR, at, length);
}

} // namespace

int kelFormatDB::parse()
{
    kellexRestart();
    Parser parser;
    return parser.run();
}
