// Uses the installed headers and library; exits non-zero when something
// that a user relies on is missing or wrong.
#include <stdio.h>
#include <string.h>

#include <kel/kel.h>

namespace {

int failures = 0;

void expectText(const char* expected, const char* actual)
{
    if (strcmp(expected, actual) != 0) {
        fprintf(stderr, "expected \"%s\", got \"%s\"\n", expected, actual);
        failures++;
    }
}

struct Name : kelName {
    explicit Name(const char* s) : kelName(s) {}
};

} // namespace

int main()
{
    char buf[64];
    expectText("Bad parameter(s)", kelStatusToString(kelBADPARAMS, buf, sizeof buf));
    expectText("unsigned short", kelDataTypeName(kelUShort));
    expectText("RGBA", kelColorModelName(kelColorModelFromChans(4)));

    kelDictionary dict(0, 0);
    Name gif("GIF");
    dict.insert(&gif);
    if (dict.find("gif", 0) != &gif) {
        fprintf(stderr, "dictionary lookup failed\n");
        failures++;
    }
    kelTile2D<int> box;
    box.intersect(kelTile2D<int>(0, 0, 10, 10), kelTile2D<int>(5, 5, 10, 10));
    if (box != kelTile2D<int>(5, 5, 5, 5)) {
        fprintf(stderr, "box intersection failed\n");
        failures++;
    }
    if (failures == 0)
        printf("consumer: kel works\n");
    return failures ? 1 : 0;
}
