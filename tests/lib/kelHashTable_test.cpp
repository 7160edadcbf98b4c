#include <gtest/gtest.h>

#include <limits.h>

#include <memory>
#include <set>
#include <vector>

#include <kel/kelHashTable.h>

namespace {

struct Elem : kelHashElem {
    Elem(unsigned h, int k) : key(k) { hashIndex = h; }
    int key;
};

// A table of integers keyed by themselves.
class IntTable : public kelHashTable {
public:
    explicit IntTable(int maxEntries) : kelHashTable(maxEntries) {}
    int match(const void* key, const kelHashElem* elem) const override
    {
        return *static_cast<const int*>(key) == static_cast<const Elem*>(elem)->key;
    }
    Elem* lookup(const Elem& e) { return static_cast<Elem*>(find(e.hashIndex, &e.key)); }
    // The slot that holds `e`, or -1.
    int slotOf(const Elem* e) const
    {
        int index = 0;
        while (kelHashElem* x = next(index))
            if (x == e)
                return index - 1;
        return -1;
    }
};

std::vector<std::unique_ptr<Elem>> makeElems(int n, unsigned (*hashOf)(int))
{
    std::vector<std::unique_ptr<Elem>> elems;
    for (int i = 0; i < n; i++)
        elems.push_back(std::make_unique<Elem>(hashOf(i), i));
    return elems;
}

unsigned spread(int i)
{
    return unsigned(i) * 2654435761u;
}

TEST(HashTable, PickSize)
{
    EXPECT_EQ(131, kelHashTable::pickSize(0));
    EXPECT_EQ(131, kelHashTable::pickSize(-5));
    EXPECT_EQ(131, kelHashTable::pickSize(65));
    EXPECT_EQ(257, kelHashTable::pickSize(66));
    EXPECT_EQ(521, kelHashTable::pickSize(260));
    EXPECT_EQ(65537, kelHashTable::pickSize(32768));
    EXPECT_EQ(131041, kelHashTable::pickSize(32769));
    EXPECT_EQ(131041, kelHashTable::pickSize(65520));
    EXPECT_EQ(131041, kelHashTable::pickSize(65521));
    EXPECT_EQ(131041, kelHashTable::pickSize(INT_MAX));
}

TEST(HashTable, StartsEmptyWithTheDefaults)
{
    IntTable t(0);
    EXPECT_EQ(131, t.getSize());
    EXPECT_EQ(0, t.getNumEntries());
    EXPECT_FLOAT_EQ(0.5f, t.getFullFraction());
    int index = 0;
    EXPECT_EQ(nullptr, t.next(index));
    EXPECT_EQ(131, index);
    EXPECT_EQ(1021, IntTable(400).getSize());
}

TEST(HashTable, GrowsAtTheSixtySeventhInsert)
{
    IntTable t(0);
    auto elems = makeElems(67, spread);
    for (int i = 0; i < 66; i++)
        ASSERT_EQ(1, t.insert(elems[i].get()));
    EXPECT_EQ(131, t.getSize());
    EXPECT_EQ(66, t.getNumEntries());
    ASSERT_EQ(1, t.insert(elems[66].get()));
    EXPECT_EQ(521, t.getSize());
    EXPECT_EQ(67, t.getNumEntries());
    for (auto& e : elems)
        EXPECT_EQ(e.get(), t.lookup(*e)) << e->key;
}

TEST(HashTable, GrowsThroughThePrimeSizes)
{
    IntTable t(0);
    auto elems = makeElems(1100, spread);
    std::set<int> sizes;
    for (auto& e : elems) {
        ASSERT_EQ(1, t.insert(e.get()));
        sizes.insert(t.getSize());
    }
    EXPECT_EQ((std::set<int>{131, 521, 2039, 4093}), sizes);
    for (auto& e : elems)
        ASSERT_EQ(e.get(), t.lookup(*e)) << e->key;
}

TEST(HashTable, InsertingTheSameElementTwiceKeepsOne)
{
    IntTable t(0);
    Elem e(5, 5);
    EXPECT_EQ(1, t.insert(&e));
    EXPECT_EQ(1, t.insert(&e));
    EXPECT_EQ(1, t.getNumEntries());
}

TEST(HashTable, FullTableKeepsOneSlotFree)
{
    IntTable t(0);
    t.setFullFraction(2.0f); // never grow
    auto elems = makeElems(131, spread);
    for (int i = 0; i < 130; i++)
        ASSERT_EQ(1, t.insert(elems[i].get())) << i;
    EXPECT_EQ(0, t.insert(elems[130].get()));
    EXPECT_EQ(130, t.getNumEntries());
    // An element already held is still reported as being in the table.
    EXPECT_EQ(1, t.insert(elems[129].get()));
    EXPECT_EQ(130, t.getNumEntries());
    EXPECT_EQ(131, t.getSize());
    // A search for a missing key still ends at the free slot.
    EXPECT_EQ(nullptr, t.lookup(*elems[130]));
}

TEST(HashTable, NonPositiveFullFractionGrowsToTheLargestSize)
{
    IntTable t(0);
    t.setFullFraction(0.0f);
    Elem e(1, 1);
    EXPECT_EQ(1, t.insert(&e));
    EXPECT_EQ(131041, t.getSize());
    EXPECT_EQ(&e, t.lookup(e));
}

TEST(HashTable, FindComparesHashThenKey)
{
    IntTable t(0);
    Elem a(7, 1), b(7, 2), c(138, 3); // 138 shares home slot 7 in 131 slots
    t.insert(&a);
    t.insert(&b);
    t.insert(&c);
    EXPECT_EQ(&b, t.lookup(b));
    EXPECT_EQ(&c, t.lookup(c));
    int key = 3;
    EXPECT_EQ(nullptr, t.find(7, &key)); // right key, wrong hash
    key = 4;
    EXPECT_EQ(nullptr, t.find(138, &key));
}

TEST(HashTable, RemovalMovesCollidingElementsBack)
{
    IntTable t(0);
    // All three have home slot 10; they sit at 10, 10+127 and 10+254 (mod 131).
    Elem a(10, 1), b(141, 2), c(272, 3);
    t.insert(&a);
    t.insert(&b);
    t.insert(&c);
    EXPECT_EQ(10, t.slotOf(&a));
    EXPECT_EQ(137 % 131, t.slotOf(&b));
    EXPECT_EQ(264 % 131, t.slotOf(&c));

    EXPECT_EQ(1, t.remove(&a));
    EXPECT_EQ(2, t.getNumEntries());
    EXPECT_EQ(10, t.slotOf(&b));
    EXPECT_EQ(137 % 131, t.slotOf(&c));
    EXPECT_EQ(&b, t.lookup(b));
    EXPECT_EQ(&c, t.lookup(c));
    EXPECT_EQ(nullptr, t.lookup(a));
    EXPECT_EQ(0, t.remove(&a));
    EXPECT_EQ(2, t.getNumEntries());
}

TEST(HashTable, RemovingManyKeepsTheRestFindable)
{
    IntTable t(0);
    // Few distinct home slots: long, interleaved probe runs.
    auto elems = makeElems(300, [](int i) { return unsigned(i % 7) * 131u + unsigned(i % 3); });
    for (auto& e : elems)
        ASSERT_EQ(1, t.insert(e.get()));
    for (int i = 0; i < 300; i += 2)
        ASSERT_EQ(1, t.remove(elems[i].get())) << i;
    EXPECT_EQ(150, t.getNumEntries());
    for (int i = 0; i < 300; i++)
        EXPECT_EQ(i % 2 ? elems[i].get() : nullptr, t.lookup(*elems[i])) << i;
}

TEST(HashTable, EnumerationVisitsEveryElementOnce)
{
    IntTable t(0);
    auto elems = makeElems(40, spread);
    for (auto& e : elems)
        t.insert(e.get());
    std::set<kelHashElem*> seen;
    int index = 0, visits = 0;
    while (kelHashElem* e = t.next(index)) {
        seen.insert(e);
        visits++;
    }
    EXPECT_EQ(40, visits);
    EXPECT_EQ(40u, seen.size());
    EXPECT_EQ(t.getSize(), index);
    index = -3;
    EXPECT_NE(nullptr, t.next(index));
}

TEST(HashTable, ClearFreesEverySlot)
{
    IntTable t(0);
    Elem a(1, 1), b(2, 2);
    t.insert(&a);
    t.insert(&b);
    t.clear();
    EXPECT_EQ(0, t.getNumEntries());
    EXPECT_EQ(nullptr, t.lookup(a));
    int index = 0;
    EXPECT_EQ(nullptr, t.next(index));
}

TEST(HashTable, Statistics)
{
    IntTable t(0);
    Elem a(3, 1), b(3, 2), c(3, 3);
    t.insert(&a); // 1 slot
    t.insert(&b); // 2 slots
    t.insert(&c); // 3 slots
    EXPECT_EQ(3, t.lookCount);
    EXPECT_EQ(6, t.totalLook);
    EXPECT_EQ(3, t.maxLook);
    t.lookup(c); // 3 slots
    EXPECT_EQ(4, t.lookCount);
    EXPECT_EQ(9, t.totalLook);
    t.clearStats();
    EXPECT_EQ(0, t.lookCount);
    EXPECT_EQ(0, t.totalLook);
    EXPECT_EQ(0, t.maxLook);
    EXPECT_EQ(1, t.holds(&b));
    Elem other(3, 2);
    EXPECT_EQ(0, t.holds(&other));
}

// A long-lived table keeps counting without running past int.
TEST(HashTable, StatisticsStopAtTheLargestInt)
{
    IntTable t(0);
    Elem a(3, 1), b(3, 2);
    t.insert(&a);
    t.insert(&b);
    t.lookCount = INT_MAX - 1;
    t.totalLook = INT_MAX - 2;
    t.lookup(b); // 2 slots
    EXPECT_EQ(INT_MAX, t.lookCount);
    EXPECT_EQ(INT_MAX, t.totalLook);
    t.lookup(a);
    EXPECT_EQ(INT_MAX, t.lookCount);
    EXPECT_EQ(INT_MAX, t.totalLook);
    EXPECT_EQ(2, t.maxLook);
}

} // namespace
