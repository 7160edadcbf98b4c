// Match expressions over the first bytes of a file: a tree of nodes built by
// the database parser, evaluated by format detection.
#ifndef KEL_DBMATCH_H
#define KEL_DBMATCH_H

#include <vector>

#include "kelInternal.h"

enum OpCode : int {
    CondEQ = 0,
    CondNE = 1,
    CondLE = 2,
    CondGE = 3,
    CondLT = 4,
    CondGT = 5,
    CondAND = 6,
    CondOR = 7,
    CondStrEQ = 8,
    ImmedINT = 9,
    ImmedSTR = 10,
    FuncSTR = 11,
    FuncUCHAR = 12,
    FuncCHAR = 13,
    FuncUSHORT = 14,
    FuncSHORT = 15,
    FuncUINT = 16,
    FuncINT = 17
};

union kelDbValue {
    char* s;
    int i;
};

// The `need` of a rule that reads at a negative offset or length, or beyond
// any addressable offset: no file ever provides that many bytes, so such a
// rule never matches.
#define kelDbNeverMatches 0x7fffffff

class KEL_INTERNAL kelDbMatch {
public:
    kelDbMatch(OpCode Op, kelDbMatch* Left, kelDbMatch* Right);
    kelDbMatch(OpCode Op, char* val);
    kelDbMatch(OpCode Op, int val1, int val2);
    ~kelDbMatch();
    kelDbMatch(const kelDbMatch&) = delete;
    kelDbMatch& operator=(const kelDbMatch&) = delete;

    // `data` holds at least `need` bytes.
    kelDbValue eval(const void* data) const;

    // The nodes of the "&&" or "||" chain that this node heads, innermost
    // first: this node and, down the left operands, those of its kind. The
    // chain's first operand is the innermost node's left. Long chains nest
    // deeply on the left, so walkers iterate over them instead of recursing.
    std::vector<const kelDbMatch*> chain() const;

    OpCode op;
    int ival1 = 0;
    int ival2 = 0;
    char* sval = nullptr;
    int need = 0;
    kelDbMatch* left = nullptr;
    kelDbMatch* right = nullptr;

private:
    int evalChain(const void* data) const;
};

#endif
