// Tokens of the database language, scanned straight from files.
#include <string.h>

#include "database_test_support.h"
#include "kelFormatLex.h"

namespace {

// Keywords and operators by token code, from kelTokNUMBER on.
const char* const tokenTexts[] = {"number", "&&",        "||",        "==",       "!=",     "<=",     ">=",
                                  "string", "uchar",     "char",      "ushort",   "short",  "uint",   "int",
                                  "format", "match",     "description", "dso",    "dll",    "subsystem",
                                  "suffixes", "access",  "readwrite", "readonly", "writeonly"};

std::string describe(int token)
{
    if (token == kelTokNUMBER)
        return "#" + std::to_string(kellval.ival);
    if (token == kelTokNAME || token == kelTokSTRING) {
        std::string text = (token == kelTokNAME ? "name:" : "str:") + std::string(kellval.sval);
        free(kellval.sval);
        return text;
    }
    if (token >= kelTokNUMBER && token < kelTokSTRING)
        return std::string("<") + tokenTexts[token - kelTokNUMBER] + ">";
    if (token == kelTokInvalid)
        return "<invalid>";
    return std::string("'") + char(token) + "'";
}

class DatabaseLex : public DatabaseFiles {
protected:
    // Every token of `text`, blank-separated.
    std::string scan(const std::string& text)
    {
        std::string path = write("lex", text);
        EXPECT_TRUE(kelFormatDB::openInput(path.c_str()));
        kellexRestart();
        std::string out;
        while (int token = kellex())
            out += (out.empty() ? "" : " ") + describe(token);
        kelFormatDB::closeInput();
        return out;
    }
};

TEST_F(DatabaseLex, NumbersTakeTheirBaseFromTheirPrefix)
{
    EXPECT_EQ(scan("12 010 08 0 0x1f 0XfF 0x10\n"), "#12 #8 #0 #0 #31 #255 #16");
    // Hexadecimal digits end at the first other character.
    EXPECT_EQ(scan("0x1G\n"), "#1 'G'");
    // "0x" without a digit is the number 0 and the token x.
    EXPECT_EQ(scan("0x \n"), "#0 'x'");
    EXPECT_EQ(scan("0xg1\n"), "#0 name:xg1");
}

TEST_F(DatabaseLex, NumbersAreUnsigned32BitStoredSigned)
{
    EXPECT_EQ(scan("4294967295 2147483648 -1 +5 -0 -010\n"), "#-1 #-2147483648 #-1 #5 #0 #-8");
    // Beyond 32 bits the value saturates, with or without a sign.
    EXPECT_EQ(scan("4294967296 99999999999999999999 -4294967296\n"), "#-1 #-1 #-1");
    EXPECT_EQ(scan("-4294967295\n"), "#1");
    // A sign binds only to decimal digits.
    EXPECT_EQ(scan("-0x10 - 1\n"), "#0 name:x10 '-' #1");
}

TEST_F(DatabaseLex, NamesNeedTwoCharacters)
{
    EXPECT_EQ(scan("x _ . AB _a .gif a1 ..\n"), "'x' '_' '.' name:AB name:_a name:.gif name:a1 name:..");
    EXPECT_EQ(scan("1abc\n"), "#1 name:abc");
}

TEST_F(DatabaseLex, KeywordsAreExactAndLowerCase)
{
    EXPECT_EQ(scan("format Format FORMAT formats match description dso dll subsystem suffixes access\n"),
              "<format> name:Format name:FORMAT name:formats <match> <description> <dso> <dll> <subsystem> "
              "<suffixes> <access>");
    EXPECT_EQ(scan("uchar char ushort short uint ulong int long string readwrite readonly writeonly\n"),
              "<uchar> <char> <ushort> <short> <uint> <uint> <int> <int> <string> <readwrite> <readonly> "
              "<writeonly>");
}

TEST_F(DatabaseLex, OperatorsTakeTheLongestMatch)
{
    EXPECT_EQ(scan("&& || == != <= >= < > ( ) , & | = \n"),
              "<&&> <||> <==> <!=> <<=> <>=> '<' '>' '(' ')' ',' '&' '|' '='");
    EXPECT_EQ(scan("<==\n"), "<<=> '='");
}

TEST_F(DatabaseLex, CommentsRunToALineFeed)
{
    EXPECT_EQ(scan("AB ! a remark && 1\nCD!=EF !x\n!\nGH\n"), "name:AB name:CD <!=> name:EF name:GH");
    // Without a final line feed "!" is a token of its own.
    EXPECT_EQ(scan("AB\n! no line feed"), "name:AB '!' name:no name:line name:feed");
}

TEST_F(DatabaseLex, StringsKeepBackslashQuotePairs)
{
    EXPECT_EQ(scan("\"a\\\"b\" \"\" \"\\\"\"\n"), "str:a\\\"b str: str:\\\"");
    // A string spans lines.
    EXPECT_EQ(scan("\"one\ntwo\" AB\n"), "str:one\ntwo name:AB");
    // Unterminated but for a backslash-quote pair: that pair closes it.
    EXPECT_EQ(scan("\"ab\\\"cd\n"), "str:ab\\ name:cd");
    // Nothing to close it: a lone quote character.
    EXPECT_EQ(scan("\"ab\n"), "'\"' name:ab");
}

TEST_F(DatabaseLex, CarriageReturnBeforeLineFeedIsFolded)
{
    EXPECT_EQ(scan("format\r\nAB ! note\r\n\"x\r\ny\"\r\n"), "<format> name:AB str:x\ny");
    // Anywhere else it is an ordinary character.
    EXPECT_EQ(scan("AB\rCD\n"), "name:AB '\r' name:CD");
}

TEST_F(DatabaseLex, IncludeOnlyAtTheStartOfALine)
{
    EXPECT_EQ(scan(" #include x\nAB #include y\n"), "'#' name:include 'x' name:AB '#' name:include 'y'");
    // An include needs a line feed to end its line.
    EXPECT_EQ(scan("#include"), "'#' name:include");
}

TEST_F(DatabaseLex, NulCharacterIsNoEndOfInput)
{
    EXPECT_EQ(scan(std::string("AB\0CD\n", 6)), "name:AB <invalid> name:CD");
}

TEST_F(DatabaseLex, LongLinesArriveInPieces)
{
    std::string name(600, 'n');
    EXPECT_EQ(scan("AB " + name + " CD\n"), "name:AB name:" + name + " name:CD");
}

TEST(DatabaseAccessMode, KeywordsMapToOpenModesOthersKeepTheMode)
{
    EXPECT_EQ(kelAccessModeOf(kelTokREADWRITE, 0), 2);
    EXPECT_EQ(kelAccessModeOf(kelTokREADONLY, 2), 0);
    EXPECT_EQ(kelAccessModeOf(kelTokWRITEONLY, 2), 1);
    EXPECT_EQ(kelAccessModeOf(kelTokACCESS, 1), 1);
    EXPECT_EQ(kelAccessModeOf(0, 0), 0);
}

TEST_F(DatabaseLex, TokenLengthAndOneCharacterOfLookAhead)
{
    kelFormatDB::openInput(write("lex", "format\tABC 0x10\n").c_str());
    kellexRestart();
    EXPECT_EQ(kellex(), kelTokFORMAT);
    EXPECT_EQ(kelleng, 6);
    EXPECT_EQ(kellex(), kelTokNAME);
    free(kellval.sval);
    EXPECT_EQ(kelleng, 3);
    EXPECT_EQ(kellex(), kelTokNUMBER);
    EXPECT_EQ(kelleng, 4);
    EXPECT_EQ(kellex(), 0);
    kelFormatDB::closeInput();
}

} // namespace
