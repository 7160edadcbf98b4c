#include <gtest/gtest.h>

#include <kel/kelClassList.h>

namespace {

const kelClassList baseClass("kelBase", nullptr);
const kelClassList midClass("kelMid", &baseClass);
const kelClassList leafClass("kelLeaf", &midClass);
const kelClassList otherClass("kelOther", &baseClass);

TEST(ClassList, NameByStepsUp)
{
    EXPECT_STREQ("kelLeaf", leafClass.find(0));
    EXPECT_STREQ("kelMid", leafClass.find(1));
    EXPECT_STREQ("kelBase", leafClass.find(2));
    EXPECT_EQ(nullptr, leafClass.find(3));
    EXPECT_EQ(nullptr, leafClass.find(-1));
    EXPECT_STREQ("kelBase", baseClass.find(0));
    EXPECT_EQ(nullptr, baseClass.find(1));
}

TEST(ClassList, PositionOnTheChain)
{
    EXPECT_EQ(1, leafClass.find(&leafClass));
    EXPECT_EQ(2, leafClass.find(&midClass));
    EXPECT_EQ(3, leafClass.find(&baseClass));
    EXPECT_EQ(0, leafClass.find(&otherClass));
    EXPECT_EQ(0, midClass.find(&leafClass)); // a base does not derive from its child
    EXPECT_EQ(2, otherClass.find(&baseClass));
    EXPECT_EQ(0, leafClass.find(static_cast<const kelClassList*>(nullptr)));
}

} // namespace
