// The scanner of the format database language, shared by the library and
// keldbgen. Its input comes one character at a time from
// kelFormatDB::getInput; include lines go to kelFormatDB::processInclude.
#ifndef KEL_FORMATLEX_H
#define KEL_FORMATLEX_H

#include <kel/kelList.h>

#include "kelDbMatch.h"
#include "kelInternal.h"

// Token codes shared by scanner and parser. Single-character tokens are the
// character's own code; 0 is the end of the input.
enum kelTokenCode : int {
    kelTokNUMBER = 258,
    kelTokAND = 259,
    kelTokOR = 260,
    kelTokEQ = 261,
    kelTokNE = 262,
    kelTokLE = 263,
    kelTokGE = 264,
    kelTokSTRINGFN = 265,
    kelTokUCHAR = 266,
    kelTokCHAR = 267,
    kelTokUSHORT = 268,
    kelTokSHORT = 269,
    kelTokUINT = 270,
    kelTokINT = 271,
    kelTokFORMAT = 272,
    kelTokMATCH = 273,
    kelTokDESCRIPTION = 274,
    kelTokDSO = 275,
    kelTokDLL = 276,
    kelTokSUBSYSTEM = 277,
    kelTokSUFFIXES = 278,
    kelTokACCESS = 279,
    kelTokREADWRITE = 280,
    kelTokREADONLY = 281,
    kelTokWRITEONLY = 282,
    kelTokSTRING = 283,
    kelTokNAME = 284,
    // Returned for a NUL character, which must not read as the end of input.
    kelTokInvalid = 256
};

// The value of the last token: ival for numbers, sval (an owned, malloc'ed
// copy) for names and strings; match and list carry the parser's values.
union KELSTYPE {
    int ival;
    char* sval;
    kelDbMatch* match;
    kelList<kelSuffixItem>* list;
};

extern KEL_INTERNAL KELSTYPE kellval;
// Length of the last token's text.
extern KEL_INTERNAL int kelleng;

KEL_INTERNAL int kellex();
// Forgets look-ahead and end-of-input, for a new input from its first line.
KEL_INTERNAL void kellexRestart();

// The open mode (0 read-only, 1 write-only, 2 read-write) that an access
// keyword's token stands for; `current` for any other token.
KEL_INTERNAL int kelAccessModeOf(int tokenCode, int current);

// Unlinks and deletes every item of a suffix list, then the list.
void kelDeleteSuffixList(kelList<kelSuffixItem>* list);

#endif
