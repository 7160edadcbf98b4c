#include <gtest/gtest.h>

#include <limits.h>
#include <pthread.h>
#include <string.h>

#include <memory>
#include <vector>

#include "kelDbMatch.h"

namespace {

using Node = kelDbMatch;
using Tree = std::unique_ptr<kelDbMatch>;

Node* num(int v)
{
    return new Node(ImmedINT, v, 0);
}
Node* read(OpCode op, int offset, int length = 0)
{
    return new Node(op, offset, length);
}
Node* text(const char* s)
{
    return new Node(ImmedSTR, strdup(s));
}
Node* cond(OpCode op, Node* l, Node* r)
{
    return new Node(op, l, r);
}

// The file's first bytes in a heap block of exactly their size, so that a
// read past them is caught under AddressSanitizer.
class Bytes {
public:
    Bytes(std::initializer_list<unsigned char> b) : data(new unsigned char[b.size()]), size(int(b.size()))
    {
        std::copy(b.begin(), b.end(), data.get());
    }
    explicit Bytes(const char* s) : data(new unsigned char[strlen(s)]), size(int(strlen(s)))
    {
        memcpy(data.get(), s, strlen(s));
    }
    // The value of `rule` over these bytes, which must cover its need.
    int eval(const Tree& rule) const
    {
        EXPECT_LE(rule->need, size);
        return rule->eval(data.get()).i;
    }

    std::unique_ptr<unsigned char[]> data;
    int size;
};

TEST(MatchNeed, FileReadsNeedOffsetPlusWidth)
{
    EXPECT_EQ(6, Tree(read(FuncSTR, 2, 4))->need);
    EXPECT_EQ(4, Tree(read(FuncUCHAR, 3))->need);
    EXPECT_EQ(4, Tree(read(FuncCHAR, 3))->need);
    EXPECT_EQ(5, Tree(read(FuncUSHORT, 3))->need);
    EXPECT_EQ(5, Tree(read(FuncSHORT, 3))->need);
    EXPECT_EQ(7, Tree(read(FuncUINT, 3))->need);
    EXPECT_EQ(7, Tree(read(FuncINT, 3))->need);
    EXPECT_EQ(0, Tree(num(1000))->need);
    Tree s(text("GIF8"));
    EXPECT_EQ(0, s->need);
    EXPECT_EQ(4, s->ival2);
    EXPECT_STREQ("GIF8", s->sval);
}

TEST(MatchNeed, ConditionsNeedTheLargerOperand)
{
    EXPECT_EQ(8, Tree(cond(CondAND, read(FuncUINT, 4), read(FuncUCHAR, 2)))->need);
    EXPECT_EQ(8, Tree(cond(CondOR, read(FuncUCHAR, 2), read(FuncUINT, 4)))->need);
    EXPECT_EQ(3, Tree(cond(CondEQ, read(FuncUCHAR, 2), nullptr))->need);
    EXPECT_EQ(0, Tree(cond(CondEQ, num(1), num(1)))->need);
}

TEST(MatchNeed, NegativeOrOverflowingReadsNeverMatch)
{
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncUCHAR, -1))->need);
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncUINT, -3))->need);
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncSTR, 0, -4))->need);
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncSTR, -2, 4))->need);
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncUINT, INT_MAX - 2))->need);
    EXPECT_EQ(kelDbNeverMatches, Tree(read(FuncSTR, INT_MAX, INT_MAX))->need);
    // One bad read poisons the whole rule, whichever branch it is on.
    EXPECT_EQ(kelDbNeverMatches,
              Tree(cond(CondOR, cond(CondEQ, num(1), num(1)), cond(CondEQ, read(FuncCHAR, -5), num(0))))->need);
}

TEST(MatchEval, ConstantsOnlyMatchAnEmptyFile)
{
    Tree rule(cond(CondEQ, num(7), num(7)));
    EXPECT_EQ(0, rule->need);
    std::unique_ptr<unsigned char[]> empty(new unsigned char[0]);
    EXPECT_EQ(1, rule->eval(empty.get()).i);
    EXPECT_EQ(0, Tree(cond(CondNE, num(7), num(7)))->eval(empty.get()).i);
}

TEST(MatchEval, MultiByteValuesAreBigEndian)
{
    Bytes b{0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncUSHORT, 0), num(4660)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncUSHORT, 2), num(0x5678)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncUINT, 0), num(0x12345678)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncINT, 0), num(0x12345678)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncUCHAR, 3), num(0x78)))));
    EXPECT_EQ(0x3456, Tree(read(FuncUSHORT, 1))->eval(b.data.get()).i);
}

TEST(MatchEval, SignedAndUnsignedReads)
{
    Bytes b{0xFF, 0xFE, 0x80, 0x7F};
    EXPECT_EQ(-2, Tree(read(FuncSHORT, 0))->eval(b.data.get()).i);
    EXPECT_EQ(0xFFFE, Tree(read(FuncUSHORT, 0))->eval(b.data.get()).i);
    EXPECT_EQ(-128, Tree(read(FuncCHAR, 2))->eval(b.data.get()).i);
    EXPECT_EQ(128, Tree(read(FuncUCHAR, 2))->eval(b.data.get()).i);
    EXPECT_EQ(127, Tree(read(FuncCHAR, 3))->eval(b.data.get()).i);
    EXPECT_EQ(-32641, Tree(read(FuncSHORT, 2))->eval(b.data.get()).i);
    EXPECT_EQ(1, b.eval(Tree(cond(CondGT, read(FuncUCHAR, 2), num(127)))));
    EXPECT_EQ(0, b.eval(Tree(cond(CondGT, read(FuncCHAR, 2), num(127)))));
}

TEST(MatchEval, HighBitWordsAreEqualButOrderedSigned)
{
    Bytes b{0xFF, 0xFF, 0xFF, 0xFF};
    int allOnes = int(0xFFFFFFFFu);
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncUINT, 0), num(allOnes)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondEQ, read(FuncINT, 0), num(-1)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondLT, read(FuncUINT, 0), num(0)))));
    EXPECT_EQ(0, b.eval(Tree(cond(CondGT, read(FuncUINT, 0), num(0)))));
}

TEST(MatchEval, Comparisons)
{
    Bytes b{5};
    struct {
        OpCode op;
        int right;
        int expected;
    } cases[] = {
        {CondEQ, 5, 1}, {CondEQ, 4, 0}, {CondNE, 4, 1}, {CondNE, 5, 0}, {CondLE, 5, 1}, {CondLE, 4, 0},
        {CondGE, 5, 1}, {CondGE, 6, 0}, {CondLT, 6, 1}, {CondLT, 5, 0}, {CondGT, 4, 1}, {CondGT, 5, 0},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.expected, b.eval(Tree(cond(c.op, read(FuncUCHAR, 0), num(c.right))))) << c.op << " " << c.right;
}

TEST(MatchEval, LogicalOperatorsGiveZeroOrOne)
{
    Bytes b{3};
    EXPECT_EQ(1, b.eval(Tree(cond(CondAND, read(FuncUCHAR, 0), num(9)))));
    EXPECT_EQ(0, b.eval(Tree(cond(CondAND, read(FuncUCHAR, 0), num(0)))));
    EXPECT_EQ(1, b.eval(Tree(cond(CondOR, num(0), read(FuncUCHAR, 0)))));
    EXPECT_EQ(0, b.eval(Tree(cond(CondOR, num(0), num(0)))));
}

TEST(MatchEval, ShortCircuitSkipsReadsBeyondTheLeftOperand)
{
    // Only the bytes the left operand reads exist; the right operand would
    // read far beyond them (caught under AddressSanitizer if it did).
    Bytes four{'G', 'I', 'F', '8'};
    Tree andRule(cond(CondAND, cond(CondEQ, read(FuncUINT, 0), num(0x89504E47)),
                 cond(CondEQ, read(FuncUCHAR, 4000), num(0))));
    EXPECT_EQ(0, andRule->eval(four.data.get()).i);
    Tree orRule(cond(CondOR, cond(CondStrEQ, read(FuncSTR, 0, 4), text("GIF8")),
                cond(CondEQ, read(FuncUINT, 4000), num(0))));
    EXPECT_EQ(1, orRule->eval(four.data.get()).i);
}

TEST(MatchEval, StringEquality)
{
    Bytes gif("GIF89a");
    EXPECT_EQ(1, gif.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 4), text("GIF8")))));
    EXPECT_EQ(1, gif.eval(Tree(cond(CondStrEQ, text("89a"), read(FuncSTR, 3, 3)))));
    EXPECT_EQ(0, gif.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 4), text("GIF7")))));
    // Lengths differ: false, whatever the bytes.
    EXPECT_EQ(0, gif.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 4), text("GIF")))));
    EXPECT_EQ(0, gif.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 3), text("GIF8")))));
    EXPECT_EQ(1, gif.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 2), read(FuncSTR, 0, 2)))));

    // A zero byte in the file where the constant has a character differs.
    Bytes zero{'G', 0, 'F', '8'};
    EXPECT_EQ(0, zero.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 4), text("GIF8")))));
    // Two file regions agree up to a zero byte at the same place.
    Bytes twin{'A', 0, 'x', 'A', 0, 'y'};
    EXPECT_EQ(1, twin.eval(Tree(cond(CondStrEQ, read(FuncSTR, 0, 3), read(FuncSTR, 3, 3)))));
}

TEST(MatchEval, StringTermsEvaluateToAddresses)
{
    Bytes b("abcdef");
    EXPECT_EQ(reinterpret_cast<char*>(b.data.get()) + 2, Tree(read(FuncSTR, 2, 3))->eval(b.data.get()).s);
    Tree s(text("xyz"));
    EXPECT_EQ(s->sval, s->eval(b.data.get()).s);
    EXPECT_EQ(-17, Tree(num(-17))->eval(b.data.get()).i);
}

} // namespace

namespace {

// Runs `body` on a thread with a small stack, where deep recursion fails.
void onSmallStack(void (*body)())
{
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 512 * 1024);
    pthread_t thread;
    ASSERT_EQ(0, pthread_create(
                     &thread, &attr,
                     [](void* f) -> void* {
                         reinterpret_cast<void (*)()>(f)();
                         return nullptr;
                     },
                     reinterpret_cast<void*>(body)));
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// "uchar(0) == filler <op> ... <op> last" as the parser builds it: nested
// on the left.
Node* longChain(OpCode op, int terms, int filler, Node* last)
{
    Node* chain = cond(CondEQ, read(FuncUCHAR, 0), num(filler));
    for (int i = 2; i < terms; i++)
        chain = cond(op, chain, cond(CondEQ, read(FuncUCHAR, 0), num(filler)));
    return cond(op, chain, last);
}

int chainResults[4];

// Only the last operand decides each chain; building, evaluating and
// destroying it must not recurse once per operand.
TEST(MatchEval, LongChainsNeedNoDeepRecursion)
{
    onSmallStack([] {
        const int terms = 100000;
        unsigned char zero = 0;
        Tree allHold(longChain(CondAND, terms, 0, cond(CondEQ, read(FuncUCHAR, 0), num(0))));
        Tree lastFails(longChain(CondAND, terms, 0, cond(CondEQ, read(FuncUCHAR, 0), num(1))));
        Tree noneHolds(longChain(CondOR, terms, 1, cond(CondEQ, read(FuncUCHAR, 0), num(1))));
        Tree lastHolds(longChain(CondOR, terms, 1, cond(CondEQ, read(FuncUCHAR, 0), num(0))));
        chainResults[0] = allHold->eval(&zero).i;
        chainResults[1] = lastFails->eval(&zero).i;
        chainResults[2] = noneHolds->eval(&zero).i;
        chainResults[3] = lastHolds->eval(&zero).i;
    });
    EXPECT_EQ(1, chainResults[0]);
    EXPECT_EQ(0, chainResults[1]);
    EXPECT_EQ(0, chainResults[2]);
    EXPECT_EQ(1, chainResults[3]);
}

} // namespace
