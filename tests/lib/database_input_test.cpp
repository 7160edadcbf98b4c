// Reading database text: line pieces, include file names and error markers.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "kelFormatInput.h"
#include "kelFormatLex.h"

namespace {

// The pieces of `text` as the readers receive them, 255 characters at most.
std::vector<std::string> pieces(const std::string& text)
{
    FILE* fp = tmpfile();
    fwrite(text.data(), 1, text.size(), fp);
    rewind(fp);
    std::vector<std::string> out;
    char buf[256];
    while (int n = kelReadLinePiece(fp, buf, 255)) {
        EXPECT_EQ(buf[n], '\0');
        out.push_back(std::string(buf, size_t(n)));
    }
    fclose(fp);
    return out;
}

TEST(DatabaseInput, LinesEndAfterTheirLineFeed)
{
    EXPECT_EQ(pieces("ab\n\ncd"), (std::vector<std::string>{"ab\n", "\n", "cd"}));
    EXPECT_TRUE(pieces("").empty());
}

TEST(DatabaseInput, CarriageReturnIsDroppedOnlyBeforeALineFeed)
{
    EXPECT_EQ(pieces("ab\r\ncd\re\r\r\nf\r"), (std::vector<std::string>{"ab\n", "cd\re\r\n", "f\r"}));
}

TEST(DatabaseInput, CarriageReturnLineFeedAcrossThePieceBoundary)
{
    std::string full(254, 'a');
    EXPECT_EQ(pieces(full + "\r\nb"), (std::vector<std::string>{full + "\n", "b"}));
    std::string over(255, 'a');
    EXPECT_EQ(pieces(over + "\r\nb"), (std::vector<std::string>{over, "\n", "b"}));
}

TEST(DatabaseInput, EndOfFileLeavesTheLineAlone)
{
    FILE* fp = tmpfile();
    char buf[256] = "previous line\n";
    EXPECT_EQ(kelReadLinePiece(fp, buf, 255), 0);
    EXPECT_STREQ(buf, "previous line\n");
    fclose(fp);
}

TEST(DatabaseInput, IncludeFileNameIsTheFirstUnquotedRun)
{
    EXPECT_EQ(kelIncludeFileName("#include a.db"), "a.db");
    EXPECT_EQ(kelIncludeFileName("# \tinclude\t<dir/b.db> rest"), "dir/b.db");
    EXPECT_EQ(kelIncludeFileName("#include \"c d.db\""), "c");
    EXPECT_EQ(kelIncludeFileName("#include'e.db'"), "e.db");
    EXPECT_EQ(kelIncludeFileName("#includef.db"), "f.db");
    EXPECT_EQ(kelIncludeFileName("#include <> \"\""), "");
    EXPECT_EQ(kelIncludeFileName("#include"), "");
}

TEST(DatabaseInput, MarkerKeepsTabsUpToTheTokenStart)
{
    const char* line = "\tab\tcd ef\n";
    kelleng = 2;
    // "ef" read with one character of look-ahead: lineIndex is 10.
    EXPECT_EQ(kelErrorMarker(line, 10, 10), "\t  \t   ");
    kelleng = 5;
    EXPECT_EQ(kelErrorMarker(line, 10, 3), "");
    kelleng = 0;
    EXPECT_EQ(kelErrorMarker(line, 4, 10), "\t  \t");
}

} // namespace
