#include "fit_test_support.h"

#include <limits.h>

namespace {

// A new FIT file of one 4 x 2 uchar page, `f` at `path`; closed after the
// test unless the test closed it (and set `f` to null).
template <class Base>
class NewFit : public Base {
protected:
    void SetUp() override
    {
        f = createFit(path, kelSize(4, 2, 1, 1), kelUChar, kelInterleaved, kelSize(4, 2, 1, 1), sts);
        ASSERT_TRUE(f) << sts;
    }
    void TearDown() override
    {
        if (f)
            f->close();
    }

    ScratchDir dir;
    const std::string path = dir.file("u.fit");
    kelStatus sts = -1;
    kelFile* f = nullptr;
};

class FitUserArea : public NewFit<::testing::Test> {};

int areaSize(kelFile* f)
{
    int bytes = -1;
    EXPECT_EQ(0, f->getItem(kelFITextensionSize, &bytes));
    return bytes;
}

TEST_F(FitUserArea, DataOnANewFileMovesThePages)
{
    const std::string data = numberedBytes(100);
    EXPECT_EQ(0, areaSize(f));
    EXPECT_EQ(0, f->setItem(kelFITextensionData, data.data(), 100));
    EXPECT_EQ(100, areaSize(f));
    EXPECT_EQ(0, f->setTile(0, 0, 0, 4, 2, 1, "pixels!!"));
    EXPECT_EQ(0, f->close());
    f = nullptr;
    EXPECT_EQ(hex(std::string("\0\0\0\xb4", 4)), hex(bytesAt(path, 72, 4))); // data offset 180
    EXPECT_TRUE(bytesAt(path, 80, 100) == data);
    EXPECT_EQ("pixels!!", bytesAt(path, 180, 8));
}

TEST(FitOpenedUserArea, KeepsItsSize)
{
    ScratchDir dir;
    HeaderFields h;
    h.dataOffset = 120;
    const std::string path = dir.write("a.fit", headerBytes(h) + numberedBytes(40) + "twelve bytes");
    kelStatus sts = -1;
    kelFile* f = openFit(path, O_RDWR, sts);
    ASSERT_TRUE(f) << sts;
    EXPECT_EQ(40, areaSize(f));
    const std::string data = std::string(100, 'u');
    EXPECT_EQ(kelBADPARAMS, f->setItem(kelFITextensionData, data.data(), 100));
    EXPECT_EQ(kelBADFIELDSET, f->setItem(kelFITextensionSize, 100));
    EXPECT_EQ(0, f->setItem(kelFITextensionData, data.data(), 30));
    std::string back(41, '\0');
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelFITextensionData, &back[0], 41));
    EXPECT_EQ(0, f->getItem(kelFITextensionData, &back[0], 40));
    EXPECT_EQ(std::string(30, 'u') + numberedBytes(40).substr(30), back.substr(0, 40));
    f->close();
    EXPECT_EQ("twelve bytes", bytesAt(path, 120, 12));
}

TEST_F(FitUserArea, AreaSizedButNeverWrittenReadsAsZeros)
{
    EXPECT_EQ(0, f->setItem(kelFITextensionSize, 16));
    EXPECT_EQ(0, f->flush());
    std::string back(16, '\xee');
    EXPECT_EQ(0, f->getItem(kelFITextensionData, &back[0], 16));
    EXPECT_EQ(std::string(16, '\0'), back);
    EXPECT_EQ(0, f->getItem(kelFITextensionData, nullptr, 0));
    EXPECT_EQ(0, f->setItem(kelFITextensionSize, 4)); // shrinks while no page exists
    EXPECT_EQ(4, areaSize(f));
}

struct ItemCall {
    const char* label;
    kelStatus (*call)(kelFile* f);
    kelStatus expected;
};

void PrintTo(const ItemCall& c, std::ostream* os)
{
    *os << c.label;
}

char buffer[64];

class FitItemRefusal : public NewFit<::testing::TestWithParam<ItemCall>> {};

// Each refusal leaves the user area as it was.
TEST_P(FitItemRefusal, LeavesTheAreaUnchanged)
{
    EXPECT_EQ(0, f->setItem(kelFITextensionData, "0123456789", 10));
    EXPECT_EQ(GetParam().expected, GetParam().call(f));
    EXPECT_EQ(10, areaSize(f));
}

INSTANTIATE_TEST_SUITE_P(
    Items, FitItemRefusal,
    ::testing::Values(
        ItemCall{"negative read", [](kelFile* f) { return f->getItem(kelFITextensionData, buffer, -1); }, kelBADPARAMS},
        ItemCall{"read beyond the area", [](kelFile* f) { return f->getItem(kelFITextensionData, buffer, 11); },
                 kelBADPARAMS},
        ItemCall{"read into no buffer", [](kelFile* f) { return f->getItem(kelFITextensionData, nullptr, 4); },
                 kelBADPARAMS},
        ItemCall{"size into no int", [](kelFile* f) { return f->getItem(kelFITextensionSize, (int*)nullptr); },
                 kelBADPARAMS},
        ItemCall{"version into no int", [](kelFile* f) { return f->getItem(kelFITheaderVersion, (int*)nullptr); },
                 kelBADPARAMS},
        ItemCall{"negative size", [](kelFile* f) { return f->setItem(kelFITextensionSize, -70); }, kelBADPARAMS},
        ItemCall{"size past an int's offsets", [](kelFile* f) { return f->setItem(kelFITextensionSize, INT_MAX); },
                 kelBADPARAMS},
        ItemCall{"negative write", [](kelFile* f) { return f->setItem(kelFITextensionData, buffer, -1); },
                 kelBADPARAMS},
        ItemCall{"write from no data", [](kelFile* f) { return f->setItem(kelFITextensionData, nullptr, 4); },
                 kelBADPARAMS},
        ItemCall{"version set", [](kelFile* f) { return f->setItem(kelFITheaderVersion, 1); }, kelBADFIELDSET},
        ItemCall{"unknown get", [](kelFile* f) { return f->getItem(5, buffer); }, kelBADPARAMS},
        ItemCall{"unknown set", [](kelFile* f) { return f->setItem(0, 1); }, kelBADPARAMS}),
    [](const ::testing::TestParamInfo<ItemCall>& info) { return "Case" + std::to_string(info.index); });

TEST_F(FitUserArea, AreaKeepsItsSizeOncePagesExist)
{
    EXPECT_EQ(0, f->setItem(kelFITextensionSize, 8));
    EXPECT_EQ(0, f->setTile(0, 0, 0, 4, 2, 1, "12345678"));
    EXPECT_EQ(kelBADFIELDSET, f->setItem(kelFITextensionSize, 4));
    EXPECT_EQ(kelBADPARAMS, f->setItem(kelFITextensionData, "123456789", 9));
    EXPECT_EQ(0, f->setItem(kelFITextensionData, "abcdefgh", 8));
    int version = 0;
    EXPECT_EQ(0, f->getItem(kelFITheaderVersion, &version));
    EXPECT_EQ(2, version);
    f->close();
    f = nullptr;
    EXPECT_EQ("abcdefgh12345678", bytesAt(path, 80, 100));
}

} // namespace
