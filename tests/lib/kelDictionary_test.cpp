#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <kel/kelDictionary.h>

namespace {

// Dictionaries never own their names; this one deletes what it holds.
class OwningDictionary : public kelDictionary {
public:
    OwningDictionary(int maxEntries, int flag) : kelDictionary(maxEntries, flag) {}
    ~OwningDictionary() override
    {
        std::vector<kelHashElem*> held;
        int index = 0;
        while (kelHashElem* e = next(index))
            held.push_back(e);
        for (kelHashElem* e : held)
            delete static_cast<kelName*>(e);
    }
};

TEST(Dictionary, Hash)
{
    kelDictionary exact(0, 1);
    EXPECT_EQ(0u, exact.hash(""));
    EXPECT_EQ(unsigned('a'), exact.hash("a"));
    EXPECT_EQ(unsigned('a') ^ (unsigned('b') << 17), exact.hash("ab"));
    EXPECT_EQ(unsigned('a') ^ (unsigned('b') << 17) ^ (unsigned('c') << 10), exact.hash("abc"));
    // Characters are signed: 0xff widens to all ones.
    EXPECT_EQ(0xffffffffu, exact.hash("\xff"));
    // The shift cycle 0, 17, 10, 3, ... repeats after 24 characters.
    std::string blanks(24, ' ');
    EXPECT_EQ(exact.hash(blanks.c_str()) ^ unsigned('x'), exact.hash((blanks + "x").c_str()));
    EXPECT_NE(exact.hash("GIF"), exact.hash("gif"));

    kelDictionary folding(0, 0);
    EXPECT_EQ(folding.hash("gif"), folding.hash("GIF"));
    EXPECT_EQ(exact.hash("gif"), folding.hash("GiF"));
}

TEST(Dictionary, CaseInsensitiveFindsAnyCase)
{
    OwningDictionary d(0, 0);
    EXPECT_EQ(1, d.ignoreCase);
    kelName* gif = new kelName("GIF");
    EXPECT_EQ(1, d.insert(gif));
    EXPECT_EQ(d.hash("GIF"), gif->hashIndex);
    EXPECT_EQ(gif, d.find("gif", 0));
    EXPECT_EQ(gif, d.find("Gif", 0));
    EXPECT_EQ(nullptr, d.find("gifs", 0));
}

TEST(Dictionary, CaseSensitiveFindsExactNames)
{
    OwningDictionary d(10, 1);
    EXPECT_EQ(0, d.ignoreCase);
    kelName* gif = new kelName("GIF");
    d.insert(gif);
    EXPECT_EQ(gif, d.find("GIF", 0));
    EXPECT_EQ(nullptr, d.find("gif", 0));
}

TEST(Dictionary, FindCanInsert)
{
    OwningDictionary d(0, 1);
    kelName* made = d.find("raw", 1);
    ASSERT_NE(nullptr, made);
    EXPECT_STREQ("raw", made->getID());
    EXPECT_EQ(d.hash("raw"), made->hashIndex);
    EXPECT_EQ(1, d.getNumEntries());
    EXPECT_EQ(made, d.find("raw", 1));
    EXPECT_EQ(1, d.getNumEntries());
}

TEST(Dictionary, EqualNamesCanBothBePresent)
{
    OwningDictionary d(0, 1);
    kelName* first = new kelName("dup");
    kelName* second = new kelName("dup");
    d.insert(first);
    d.insert(second);
    EXPECT_EQ(2, d.getNumEntries());
    EXPECT_EQ(first, d.find("dup", 0));
    d.remove(first);
    delete first;
    EXPECT_EQ(second, d.find("dup", 0));
}

TEST(Dictionary, NullNames)
{
    OwningDictionary d(0, 1);
    kelName* anonymous = new kelName();
    EXPECT_EQ(nullptr, anonymous->getID());
    d.insert(anonymous);
    EXPECT_EQ(anonymous, d.find(nullptr, 0));
    EXPECT_EQ(nullptr, d.find("", 0));
}

TEST(Name, SetIDCopies)
{
    char text[] = "alpha";
    kelName n(text);
    text[0] = 'A';
    EXPECT_STREQ("alpha", n.getID());
    n.setID("beta");
    EXPECT_STREQ("beta", n.getID());
    n.setID(n.getID()); // its own name
    EXPECT_STREQ("beta", n.getID());
    n.setID(nullptr);
    EXPECT_EQ(nullptr, n.getID());
}

// The process-wide dictionary lives in the child only.
class GlobalNames : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Exits with the number of the first failed check, 0 when all hold.
[[noreturn]] void globalNameChecks()
{
    kelDictionary* dict = kelGlobalDict();
    int check = 1;
    auto require = [&check](bool ok) {
        if (!ok)
            exit(check);
        check++;
    };
    require(dict == kelGlobalDict());
    require(dict->ignoreCase == 0);
    require(dict->getSize() == 131);
    kelName* a = kelGlobalName("tiff");
    require(a != nullptr && a == kelGlobalName("tiff"));
    require(kelGlobalName("TIFF") != a);
    kelName* mine = new kelName("bmp");
    require(kelGlobalName(mine) == mine);
    require(kelGlobalName(mine) == mine);
    require(kelGlobalName("bmp") == mine);
    kelName* again = new kelName("tiff");
    require(kelGlobalName(again) == nullptr);
    delete again;
    require(dict->find("tiff", 0) == a);
    exit(0);
}

TEST_F(GlobalNames, InternsAndRegisters)
{
    EXPECT_EXIT(globalNameChecks(), testing::ExitedWithCode(0), testing::StrEq(""));
}

// Fills the process-wide dictionary to its last free slot; a name that can
// no longer be registered is refused, not reported as registered.
[[noreturn]] void fullGlobalDictChecks()
{
    kelDictionary* dict = kelGlobalDict();
    char text[16];
    for (int i = 0; dict->getNumEntries() < 131040; i++) {
        snprintf(text, sizeof text, "n%d", i);
        kelGlobalName(text);
    }
    if (dict->getSize() != 131041)
        exit(1);
    kelName* late = new kelName("late");
    kelName* result = kelGlobalName(late);
    bool held = dict->find("late", 0) == late;
    delete late;
    exit(result != nullptr ? 2 : held ? 3 : 0);
}

TEST_F(GlobalNames, FullDictionaryRefusesRegistration)
{
    EXPECT_EXIT(fullGlobalDictChecks(), testing::ExitedWithCode(0), testing::StrEq(""));
}

} // namespace
