#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <kel/kelList.h>

using testing::HasSubstr;

namespace {

struct Item : kelListItem {
    explicit Item(int v) : value(v) {}
    int value;
};

// Two link bases: one item can sit in two lists at once.
struct ByAge : kelListItem {};
struct ByName : kelListItem {};
struct Person : ByAge, ByName {
    explicit Person(int v) : value(v) {}
    int value;
};

template <class List>
std::vector<int> values(const List& list)
{
    std::vector<int> out;
    for (auto* it = list.head(); it; it = list.getNext(it))
        out.push_back(it->value);
    return out;
}

template <class List>
std::vector<int> valuesBackwards(const List& list)
{
    std::vector<int> out;
    for (auto* it = list.tail(); it; it = list.getPrev(it))
        out.push_back(it->value);
    return out;
}

class List : public testing::Test {
protected:
    void TearDown() override
    {
        a.clear();
        b.clear();
    }
    Item i1{1}, i2{2}, i3{3}, i4{4}, i5{5};
    kelList<Item> a, b;
};

TEST_F(List, EmptyList)
{
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(nullptr, a.head());
    EXPECT_EQ(nullptr, a.tail());
    EXPECT_FALSE(i1.isLinked());
}

TEST_F(List, AppendAndInsert)
{
    a.append(&i2);
    a.append(&i3);
    a.insert(&i1);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), values(a));
    EXPECT_EQ((std::vector<int>{3, 2, 1}), valuesBackwards(a));
    EXPECT_EQ(&i1, a.head());
    EXPECT_EQ(&i3, a.tail());
    EXPECT_EQ(nullptr, a.getNext(&i3));
    EXPECT_EQ(nullptr, a.getPrev(&i1));
    EXPECT_TRUE(i2.isLinked());
    EXPECT_FALSE(a.isEmpty());
}

TEST_F(List, InsertAfterAndBefore)
{
    a.append(&i2);
    a.insertAfter(&i2, &i4);
    a.insertBefore(&i2, &i1);
    a.insertAfter(&i2, &i3);
    a.insertAfter(&i4, &i5);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), values(a));
    EXPECT_EQ((std::vector<int>{5, 4, 3, 2, 1}), valuesBackwards(a));
}

TEST_F(List, UnlinkLeavesTheItemFree)
{
    for (Item* it : {&i1, &i2, &i3})
        a.append(it);
    a.unlink(&i2);
    EXPECT_FALSE(i2.isLinked());
    EXPECT_EQ(nullptr, i2.next);
    EXPECT_EQ(nullptr, i2.prev);
    EXPECT_EQ((std::vector<int>{1, 3}), values(a));
    i3.unlink();
    EXPECT_EQ((std::vector<int>{1}), values(a));
    a.append(&i2); // a free item can be linked again
    EXPECT_EQ((std::vector<int>{1, 2}), values(a));
}

TEST_F(List, WholeListsMove)
{
    a.append(&i1);
    a.append(&i2);
    b.append(&i3);
    b.append(&i4);
    a.appendList(b);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), values(a));
    b.append(&i5);
    a.insertList(b);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ((std::vector<int>{5, 1, 2, 3, 4}), values(a));
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 5}), valuesBackwards(a));
    a.appendList(b); // an empty list adds nothing
    EXPECT_EQ(5u, values(a).size());
}

TEST_F(List, RunsMoveBetweenLists)
{
    for (Item* it : {&i1, &i2, &i3, &i4, &i5})
        a.append(it);
    b.appendSubList(&i2, &i3);
    EXPECT_EQ((std::vector<int>{1, 4, 5}), values(a));
    EXPECT_EQ((std::vector<int>{2, 3}), values(b));
    b.insertSubList(&i5, &i5);
    EXPECT_EQ((std::vector<int>{1, 4}), values(a));
    EXPECT_EQ((std::vector<int>{5, 2, 3}), values(b));
    EXPECT_EQ((std::vector<int>{3, 2, 5}), valuesBackwards(b));
    // Within one list: the run moves to the end.
    b.appendSubList(&i5, &i2);
    EXPECT_EQ((std::vector<int>{3, 5, 2}), values(b));
}

// Moving a run to where it already stands changes nothing.
TEST_F(List, RunsMovedOntoThemselvesStayInPlace)
{
    for (Item* it : {&i1, &i2, &i3, &i4})
        a.append(it);
    a.insertSubList(&i1, &i2);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), values(a));
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), valuesBackwards(a));
    a.insertList(a);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), values(a));
    a.appendList(a);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), values(a));
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), valuesBackwards(a));
}

TEST_F(List, ClearUnlinksEveryItem)
{
    for (Item* it : {&i1, &i2, &i3})
        a.append(it);
    a.clear();
    EXPECT_TRUE(a.isEmpty());
    for (Item* it : {&i1, &i2, &i3})
        EXPECT_FALSE(it->isLinked());
}

TEST_F(List, IteratorWalksAndAllowsUnlinkingTheCurrentItem)
{
    for (Item* it : {&i1, &i2, &i3, &i4})
        a.append(it);
    kelListIter<Item> iter(a);
    EXPECT_EQ(nullptr, iter.curr());
    std::vector<int> seen;
    while (Item* it = iter.next()) {
        EXPECT_EQ(it, iter.curr());
        seen.push_back(it->value);
        if (it->value % 2 == 0)
            a.unlink(it);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), seen);
    EXPECT_EQ((std::vector<int>{1, 3}), values(a));
    EXPECT_EQ(nullptr, iter.next());
    iter.reset();
    EXPECT_EQ(&i1, iter.next());
    EXPECT_EQ(&i3, iter.next());
    EXPECT_EQ(nullptr, iter.next());
}

TEST(MultiList, OneItemInTwoLists)
{
    Person p1(1), p2(2), p3(3);
    kelMultiList<Person, ByAge> byAge;
    kelMultiList<Person, ByName> byName;
    for (Person* p : {&p1, &p2, &p3}) {
        byAge.append(p);
        byName.insert(p);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3}), values(byAge));
    EXPECT_EQ((std::vector<int>{3, 2, 1}), values(byName));
    byName.unlink(&p2);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), values(byAge));
    EXPECT_EQ((std::vector<int>{3, 1}), values(byName));
    kelMultiListIter<Person, ByName> iter(byName);
    EXPECT_EQ(&p3, iter.next());
    byAge.clear();
    byName.clear();
}

TEST(SuffixItem, OwnsACopy)
{
    char text[] = ".gif";
    kelSuffixItem item(text);
    text[1] = 'x';
    EXPECT_STREQ(".gif", item.suffix);
    kelSuffixItem none(nullptr);
    EXPECT_EQ(nullptr, none.suffix);
}

class ListDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ListDeathTest, DestroyingANonEmptyListAsserts)
{
    auto scenario = [] {
        Item item(1);
        {
            kelList<Item> list;
            list.append(&item);
        }
    };
    EXPECT_DEATH(scenario(), HasSubstr("Internal KEL error: assertion failed: "
                                       "next == prev && (next == NULL || next == this), file "));
}

TEST_F(ListDeathTest, DestroyingALinkedItemAsserts)
{
    auto scenario = [] {
        kelList<Item> list;
        Item item(1);
        list.append(&item);
    };
    EXPECT_DEATH(scenario(), HasSubstr("assertion failed: next == prev && (next == NULL || next == this)"));
}

TEST_F(ListDeathTest, MisuseOfLinksAsserts)
{
    auto appendTwice = [] {
        kelList<Item> list;
        Item item(1);
        list.append(&item);
        list.append(&item);
    };
    EXPECT_DEATH(appendTwice(), HasSubstr("assertion failed: !item->isLinked(), file "));
    auto unlinkFree = [] {
        kelList<Item> list;
        Item item(1);
        list.unlink(&item);
    };
    EXPECT_DEATH(unlinkFree(), HasSubstr("assertion failed: item->isLinked(), file "));
    auto unlinkItem = [] {
        Item item(1);
        item.unlink();
    };
    EXPECT_DEATH(unlinkItem(), HasSubstr("assertion failed: isLinked(), file "));
}

TEST_F(ListDeathTest, InsertingNextToAFreeItemAsserts)
{
    auto scenario = [](bool after) {
        kelList<Item> list;
        Item pos(1), item(2);
        if (after)
            list.insertAfter(&pos, &item);
        else
            list.insertBefore(&pos, &item);
    };
    const char* text = "assertion failed: !item->isLinked() && at->isLinked(), file ";
    EXPECT_DEATH(scenario(true), HasSubstr(text));
    EXPECT_DEATH(scenario(false), HasSubstr(text));
}

} // namespace
