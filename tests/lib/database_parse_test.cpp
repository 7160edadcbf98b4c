// The grammar and its actions, seen through the entries a database loads.
#include <string.h>

#include "database_test_support.h"

namespace {

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

// A complete entry, so that validation keeps it without warnings.
std::string entry(const std::string& name, const std::string& clauses)
{
    return "format " + name + "\n    description \"d\"\n    dll lib" + name + ".so\n    subsystem ss\n" + clauses + "\n";
}

kelDbMatch* matchOf(const char* name)
{
    kelFormatDB* e = kelTestEntry(name);
    return e ? e->match : nullptr;
}

class DatabaseParse : public DatabaseFiles {};

// The comparisons and reads of the rule "NK" below, in order.
const OpCode conds[] = {CondNE, CondLE, CondGE, CondLT, CondGT, CondEQ, CondEQ, CondEQ};
const OpCode reads[] = {FuncUCHAR, FuncCHAR, FuncUSHORT, FuncSHORT, FuncUINT, FuncUINT, FuncINT, FuncINT};

TEST_F(DatabaseParse, EmptyAndCommentOnlyDatabasesAreValid)
{
    std::string path = write("db", "! nothing here\n\n   \n! at all\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            int index = 0;
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(kelDatabase::findNext(index) == nullptr);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseParse, AndBindsTighterThanOrAndBothAssociateLeft)
{
    std::string path = write("db", entry("PR", "match 1==1 && 2==2 || 3==3 && 4==4") +
                                       entry("LA", "match 1==1 || 2==2 || 3==3") +
                                       entry("PA", "match 1==1 && (2==2 || 3==3)"));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDbMatch* m = matchOf("PR");
            CHILD_CHECK(m && m->op == CondOR && m->left->op == CondAND && m->right->op == CondAND);
            CHILD_CHECK(m->right->right->left->ival1 == 4);
            m = matchOf("LA");
            CHILD_CHECK(m && m->op == CondOR && m->left->op == CondOR && m->right->op == CondEQ);
            CHILD_CHECK(m->right->left->ival1 == 3);
            m = matchOf("PA");
            CHILD_CHECK(m && m->op == CondAND && m->left->op == CondEQ && m->right->op == CondOR);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseParse, EveryTermAndComparisonBuildsItsNode)
{
    std::string path = write("db", entry("NK", "match uchar(0) != 1 && char(1) <= 2 && ushort(2) >= 3 &&\n"
                                               "  short(3) < 4 && uint(4) > 5 && ulong(5) == 6 &&\n"
                                               "  int(6) == 7 && long(7) == 8 ! remark\n") +
                                       entry("SK", "match string(2,4) == \"GIF8\""));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelDbMatch* m = matchOf("NK");
            for (int i = 7; i >= 0; i--) {
                kelDbMatch* cmp = i > 0 ? m->right : m;
                CHILD_CHECK(cmp->op == conds[i]);
                CHILD_CHECK(cmp->left->op == reads[i] && cmp->left->ival1 == i);
                CHILD_CHECK(cmp->right->op == ImmedINT && cmp->right->ival1 == i + 1);
                if (i > 0) {
                    CHILD_CHECK(m->op == CondAND);
                    m = m->left;
                }
            }
            m = matchOf("SK");
            CHILD_CHECK(m && m->op == CondStrEQ && m->need == 6);
            CHILD_CHECK(m->left->op == FuncSTR && m->left->ival1 == 2 && m->left->ival2 == 4);
            CHILD_CHECK(m->right->op == ImmedSTR && strcmp(m->right->sval, "GIF8") == 0 && m->right->ival2 == 4);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

TEST_F(DatabaseParse, ClausesReplaceEarlierOnesAndDsoNeverOverridesDll)
{
    std::string path = write("db", "format AB description \"one\" description \"t\\\"wo\" match 1==1 match 2==2\n"
                                   "  suffixes .a, .b suffixes .c, \".D\" dll first.so dso x.dll dll second.so\n"
                                   "  subsystem \"s s\" access readonly\n"
                                   "format CD dso x.dll dll cd.so subsystem cd access writeonly access readwrite\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB* e = kelTestEntry("AB");
            CHILD_CHECK(e && strcmp(e->getDescription(), "t\\\"wo") == 0);
            CHILD_CHECK(e->match->left->ival1 == 2);
            CHILD_CHECK(strcmp(e->getDSOName(), "second.so") == 0);
            CHILD_CHECK(strcmp(e->getInstSubSystem(), "s s") == 0);
            CHILD_CHECK(strcmp(e->getSuffixes()->head()->suffix, ".c") == 0);
            CHILD_CHECK(strcmp(e->getSuffixes()->tail()->suffix, ".D") == 0);
            CHILD_CHECK(e->accessModeIsSupported(0) && !e->accessModeIsSupported(1));
            e = kelTestEntry("CD");
            CHILD_CHECK(e && strcmp(e->getDSOName(), "cd.so") == 0);
            CHILD_CHECK(e->accessModeIsSupported(0) && e->accessModeIsSupported(1));
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
}

// Each text must stop the parse with "parse error"; entries before it stay.
void expectParseError(const std::string& path)
{
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            CHILD_CHECK(kelFormatDB::getDictionary() != nullptr);
            CHILD_CHECK(kelDatabase::findByFormatName("OK") != nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Error: parse error in KEL database file"))
        << path;
}

TEST_F(DatabaseParse, SyntaxErrors)
{
    const char* const bad[] = {
        "format X\n",                             // a one-letter word is no name
        "format match\n",                         // keywords are no names
        "format AB match 1 == 1 == 1\n",          // comparisons do not chain
        "format AB match (1) == 1\n",             // parentheses group conditions only
        "format AB match (1 == 1\n",              // unbalanced
        "format AB match 1 == 1)\n",              // unbalanced
        "format AB match 1 ==\n",                 // missing operand
        "format AB match \"a\" != \"b\"\n",       // strings compare for equality only
        "format AB match \"a\" == 1\n",           // no mixed comparisons
        "format AB match uchar(x1) == 1\n",       // offsets are numbers
        "format AB match string(0) == \"a\"\n",   // a string read needs a length
        "format AB suffixes \".a\", .b\n",        // a suffix list starts with a name
        "format AB suffixes .a,\n",               // dangling comma
        "format AB description name\n",          // descriptions are strings
        "format AB dll \"x.so\"\n",               // library names are names
        "format AB access both\n",                // unknown access mode
        "format AB description \"open\n",         // unterminated string
        "format AB\tdescription \"d\" ; \n",      // a character that no rule uses
        " #include x\n",                          // not an include statement
        "format AB subsystem\n",                  // a clause without its operand
    };
    for (const char* text : bad)
        expectParseError(write("db", "format OK\n" + std::string(text)));
}

TEST_F(DatabaseParse, CaretMarksTheOffendingTokenKeepingTabs)
{
    std::string path = write("db", "format OK dll ok.so\n\tmatch\t1 == 1 >= 2\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB::getDictionary();
            exit(0);
        },
        ExitedWithCode(0),
        HasSubstr("Error: parse error in KEL database file, line 2:\n\tmatch\t1 == 1 >= 2\n\n\t     \t       ^\n"));
}

TEST_F(DatabaseParse, LineNumbersCountAcrossIncludes)
{
    std::string inc = write("inc", "format IN dll in.so\n! two\n");
    std::string path = write("db", "format OK dll ok.so\n#include \"" + inc + "\" trailing text\nformat 12\n");
    EXPECT_EXIT(
        {
            kelTestUseDatabase(path);
            kelFormatDB::getDictionary();
            CHILD_CHECK(kelTestEntry("IN") != nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("parse error in KEL database file, line 5:\nformat 12\n\n       ^"));
}

TEST_F(DatabaseParse, DeepParenthesesUseTheParserStack)
{
    const int deep = 9000, tooDeep = 10001;
    std::string ok = write("ok", entry("OK", "match " + std::string(deep, '(') + "1==1" + std::string(deep, ')')));
    std::string over = write("over", entry("OK", "match " + std::string(tooDeep, '(') + "1==1" + std::string(tooDeep, ')')));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(ok);
            kelDbMatch* m = matchOf("OK");
            CHILD_CHECK(m && m->op == CondEQ);
            exit(0);
        },
        ExitedWithCode(0), Not(HasSubstr("Error")));
    EXPECT_EXIT(
        {
            kelTestUseDatabase(over);
            CHILD_CHECK(kelTestEntry("OK") != nullptr);
            CHILD_CHECK(kelTestEntry("OK")->match == nullptr);
            exit(0);
        },
        ExitedWithCode(0), HasSubstr("Error: parser stack overflow in KEL database file, line 5:"));
}

TEST_F(DatabaseParse, ScannerFailureIsFatal)
{
    EXPECT_EXIT(kelFormatDB::scannerFatal("input buffer overflow"), ExitedWithCode(1),
                HasSubstr("Fatal error: Fatal error parsing KEL format database:\n    input buffer overflow\n"));
}

} // namespace
