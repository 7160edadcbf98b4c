#include "kelDbMatch.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

// Bytes a file read needs: offset plus length, or kelDbNeverMatches when a
// negative offset or length (or an overflowing sum) would read outside the
// bytes read.
static int readNeed(long long offset, long long length)
{
    if (offset < 0 || length < 0 || offset + length >= kelDbNeverMatches)
        return kelDbNeverMatches;
    return int(offset + length);
}

kelDbMatch::kelDbMatch(OpCode Op, kelDbMatch* Left, kelDbMatch* Right) : op(Op), left(Left), right(Right)
{
    int l = Left ? Left->need : 0, r = Right ? Right->need : 0;
    need = l > r ? l : r;
}

kelDbMatch::kelDbMatch(OpCode Op, char* val) : op(Op), ival2(val ? int(strlen(val)) : 0), sval(val) {}

kelDbMatch::kelDbMatch(OpCode Op, int val1, int val2) : op(Op), ival1(val1), ival2(val2)
{
    switch (op) {
    case FuncSTR:
        need = readNeed(val1, val2);
        break;
    case FuncUCHAR:
    case FuncCHAR:
        need = readNeed(val1, 1);
        break;
    case FuncUSHORT:
    case FuncSHORT:
        need = readNeed(val1, 2);
        break;
    case FuncUINT:
    case FuncINT:
        need = readNeed(val1, 4);
        break;
    default:
        need = 0;
        break;
    }
}

// The left spine of a long chain is freed in a loop, not by recursion.
kelDbMatch::~kelDbMatch()
{
    kelDbMatch* next = left;
    while (next) {
        kelDbMatch* node = next;
        next = node->left;
        node->left = nullptr;
        delete node;
    }
    delete right;
    free(sval);
}

std::vector<const kelDbMatch*> kelDbMatch::chain() const
{
    std::vector<const kelDbMatch*> nodes;
    for (const kelDbMatch* m = this; m && m->op == op; m = m->left)
        nodes.push_back(m);
    std::reverse(nodes.begin(), nodes.end());
    return nodes;
}

// Left to right with short-circuit: an operand is evaluated only while the
// result is still open.
int kelDbMatch::evalChain(const void* data) const
{
    std::vector<const kelDbMatch*> nodes = chain();
    // The operand value that settles the result: false for "&&", true for "||".
    bool decided = op == CondOR;
    if ((nodes.front()->left->eval(data).i != 0) == decided)
        return decided;
    for (const kelDbMatch* m : nodes)
        if ((m->right->eval(data).i != 0) == decided)
            return decided;
    return !decided;
}

static int compareInts(OpCode op, int a, int b)
{
    switch (op) {
    case CondEQ:
        return a == b;
    case CondNE:
        return a != b;
    case CondLE:
        return a <= b;
    case CondGE:
        return a >= b;
    case CondLT:
        return a < b;
    default:
        return a > b;
    }
}

kelDbValue kelDbMatch::eval(const void* data) const
{
    // Only file reads use this address; their need keeps it inside the data.
    const unsigned char* b = static_cast<const unsigned char*>(data);
    if (op >= FuncSTR)
        b += ival1;
    kelDbValue v;
    v.i = 0;
    switch (op) {
    case CondEQ:
    case CondNE:
    case CondLE:
    case CondGE:
    case CondLT:
    case CondGT:
        v.i = compareInts(op, left->eval(data).i, right->eval(data).i);
        break;
    case CondAND:
    case CondOR:
        v.i = evalChain(data);
        break;
    case CondStrEQ: {
        const char* l = left->eval(data).s;
        const char* r = right->eval(data).s;
        v.i = l && r && left->ival2 == right->ival2 && strncmp(l, r, size_t(left->ival2)) == 0;
        break;
    }
    case ImmedINT:
        v.i = ival1;
        break;
    case ImmedSTR:
        v.s = sval;
        break;
    case FuncSTR:
        v.s = const_cast<char*>(reinterpret_cast<const char*>(b));
        break;
    case FuncUCHAR:
        v.i = b[0];
        break;
    case FuncCHAR:
        v.i = static_cast<signed char>(b[0]);
        break;
    case FuncUSHORT:
        v.i = b[0] * 256 + b[1];
        break;
    case FuncSHORT:
        v.i = static_cast<signed char>(b[0]) * 256 + b[1];
        break;
    case FuncUINT:
    case FuncINT:
        v.i = int(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]));
        break;
    }
    return v;
}
