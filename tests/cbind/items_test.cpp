// Item and tag access through the binding against the file's own getItem
// and setItem, on the ItemProbe file class and on a Raw file, which has none.
#include <gtest/gtest.h>
#include <kel/kel.h>

#include <fcntl.h>

#include "itemProbeFile.h"
#include "lib/file_test_support.h"
#include "vaForms.h"

namespace {

typedef kelStatus (*Accessor)(kelFile*, int, ...);

struct Form {
    const char* name;
    Accessor get;
    Accessor set;
};

const Form forms[] = {
    {"Item", kelFileGetItem, kelFileSetItem},
    {"Tag", kelFileGetTag, kelFileSetTag},
    {"ItemV", getItemV, setItemV},
    {"TagV", getTagV, setTagV},
};

void PrintTo(const Form& form, std::ostream* os)
{
    *os << form.name;
}

class ItemForms : public ::testing::TestWithParam<Form> {
protected:
    ItemProbeFile file;
};

// Every item as the file's own getItem gives it, and the same status for an
// item the file does not have.
TEST_P(ItemForms, GetGivesWhatTheFilesOwnGetItemGives)
{
    const Form& form = GetParam();
    int own[3] = {}, got[3] = {-1, -1, -1};
    ASSERT_EQ(kelOKAY, file.setItem(itemProbeColor, 11, 12, 13));
    ASSERT_EQ(kelOKAY, file.getItem(itemProbeColor, &own[0], &own[1], &own[2]));
    EXPECT_EQ(kelOKAY, form.get(&file, itemProbeColor, &got[0], &got[1], &got[2]));
    EXPECT_EQ(0, memcmp(own, got, sizeof own));

    double ownGamma = 0, gotGamma = -1;
    file.getItem(itemProbeGamma, &ownGamma);
    EXPECT_EQ(kelOKAY, form.get(&file, itemProbeGamma, &gotGamma));
    EXPECT_EQ(ownGamma, gotGamma);

    char *ownLabel = nullptr, *gotLabel = nullptr;
    file.getItem(itemProbeLabel, &ownLabel);
    EXPECT_EQ(kelOKAY, form.get(&file, itemProbeLabel, &gotLabel));
    EXPECT_EQ(ownLabel, gotLabel);

    short ownLevel = 0, gotLevel = 1;
    file.getItem(itemProbeLevel, &ownLevel);
    EXPECT_EQ(kelOKAY, form.get(&file, itemProbeLevel, &gotLevel));
    EXPECT_EQ(ownLevel, gotLevel);

    int unused = 0;
    EXPECT_EQ(file.getItem(77, &unused), form.get(&file, 77, &unused));
}

// What each form sets is what the file's own getItem then gives.
TEST_P(ItemForms, SetReachesTheFilesOwnSetItem)
{
    const Form& form = GetParam();
    EXPECT_EQ(kelOKAY, form.set(&file, itemProbeCount, 4242));
    EXPECT_EQ(kelOKAY, form.set(&file, itemProbeGamma, 3.5));
    EXPECT_EQ(kelOKAY, form.set(&file, itemProbeLabel, "set"));
    EXPECT_EQ(kelOKAY, form.set(&file, itemProbeColor, 7, 8, 9));
    EXPECT_EQ(kelOKAY, form.set(&file, itemProbeLevel, -1234));
    EXPECT_EQ(file.setItem(77, 1), form.set(&file, 77, 1));

    int count = 0, color[3] = {};
    double gamma = 0;
    char* label = nullptr;
    short level = 0;
    file.getItem(itemProbeCount, &count);
    file.getItem(itemProbeGamma, &gamma);
    file.getItem(itemProbeLabel, &label);
    file.getItem(itemProbeColor, &color[0], &color[1], &color[2]);
    file.getItem(itemProbeLevel, &level);
    EXPECT_EQ(4242, count);
    EXPECT_EQ(3.5, gamma);
    EXPECT_STREQ("set", label);
    EXPECT_EQ(7, color[0]);
    EXPECT_EQ(9, color[2]);
    EXPECT_EQ(-1234, level);
}

// A Raw file has no items: every form gives the file's own answer.
TEST_P(ItemForms, AFileWithoutItemsAnswersAsItself)
{
    const Form& form = GetParam();
    ScratchDir dir;
    std::string path = dir.write("empty.raw", std::string(4, '\0'));
    kelStatus sts;
    kelFile* raw = kelFile::open((path + "%size=2,2,1,1").c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, raw) << sts;
    int value = 5;
    kelStatus own = raw->getItem(itemProbeCount, &value);
    EXPECT_NE(kelOKAY, own);
    EXPECT_EQ(own, form.get(raw, itemProbeCount, &value));
    EXPECT_EQ(raw->setItem(itemProbeCount, 1), form.set(raw, itemProbeCount, 1));
    EXPECT_EQ(5, value);
    EXPECT_EQ(kelOKAY, kelFileClose(raw, 0));
}

INSTANTIATE_TEST_SUITE_P(Cbind, ItemForms, ::testing::ValuesIn(forms),
                         [](const ::testing::TestParamInfo<Form>& info) { return info.param.name; });

// Tag objects read and write a file's items through the binding.
TEST(CbindTag, ReadWriteEncodeAndDecodeForward)
{
    ItemProbeFile file;
    kelTagDescription color = {itemProbeColor, kelTagInt | 3, "Color", "Color", "0, 0, 0", nullptr};
    kelTagDescription label = {itemProbeLabel, kelTagString | 1, "Label", "Label", "", nullptr};
    kelTag* tag = kelTagFromDesc(&color);
    ASSERT_NE(nullptr, tag);
    EXPECT_EQ(kelTagInt, kelTagGetType(tag));
    EXPECT_EQ(3, kelTagGetCount(tag));
    EXPECT_EQ(kelOKAY, kelTagRead(tag, &file));
    char text[64];
    EXPECT_EQ(kelOKAY, kelTagEncode(tag, text));
    EXPECT_STREQ("1, 2, 3", text);
    EXPECT_EQ(kelOKAY, kelTagDecode(tag, "30, 20, 10"));
    EXPECT_EQ(kelOKAY, kelTagWrite(tag, &file));
    int c[3] = {};
    file.getItem(itemProbeColor, &c[0], &c[1], &c[2]);
    EXPECT_EQ(30, c[0]);
    EXPECT_EQ(10, c[2]);

    kelTagInit(tag, &label);
    EXPECT_EQ(kelTagString, kelTagGetType(tag));
    EXPECT_EQ(kelOKAY, kelTagRead(tag, &file));
    EXPECT_STREQ("probe", *(char**)kelTagGetValue(tag));
    EXPECT_EQ(kelBADPARAMS, kelTagDecode(tag, "\"unterminated"));
    kelTagDelete(tag);
}

} // namespace
