// keltables: prints the library's vocabulary as readable tables, so that a
// user can see what the values stored in files and passed to the library
// mean.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <kel/kel.h>

#include "kelToolStdout.h"

namespace {

const kelDataType dataTypes[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort,
                                 kelUInt, kelInt, kelFloat, kelDouble};

void heading(const char* title)
{
    printf("\n%s\n", title);
    for (const char* p = title; *p; p++)
        putchar('-');
    putchar('\n');
}

void printDataTypes()
{
    heading("Data types");
    printf("%5s  %-16s %8s %9s %6s %8s  %-24s %s\n", "value", "name", "bytes/1", "bytes/10", "signed", "integral",
           "minimum", "maximum");
    for (kelDataType t : dataTypes)
        printf("%5d  %-16s %8u %9u %6s %8s  %-24.17g %.17g\n", int(t), kelDataTypeName(t), kelDataSize(t, 1),
               kelDataSize(t, 10), kelDataIsSigned(t) ? "yes" : "no", kelDataIsIntegral(t) ? "yes" : "no",
               kelDataMin(t), kelDataMax(t));
}

void printColorModels()
{
    heading("Color models");
    printf("%5s  %-16s %8s  %s\n", "value", "name", "channels", "alpha");
    for (int v = kelNegative; v <= kelLuminanceAlpha; v++) {
        kelColorModel cm = kelColorModel(v);
        char chans[16];
        int n = kelColorModelChans(cm);
        snprintf(chans, sizeof chans, n == 0 ? "any" : "%d", n);
        printf("%5d  %-16s %8s  %s\n", v, kelColorModelName(cm), chans, kelColorModelHasAlpha(cm) ? "yes" : "no");
    }
}

void printOrientations()
{
    heading("Orientations");
    printf("%5s  %s\n", "value", "name");
    for (int v = kelUpperLeftOrigin; v <= kelLeftLowerOrigin; v++)
        printf("%5d  %s\n", v, kelOrientationName(kelOrientation(v)));
}

void printOrders()
{
    heading("Channel orders");
    printf("%5s  %s\n", "value", "name");
    for (kelOrder o : {kelInterleaved, kelSequential, kelSeparate})
        printf("%5d  %s\n", int(o), kelOrderName(o));
}

void printCompressions()
{
    heading("Compressions");
    printf("%5s  %s\n", "value", "name");
    for (int v = kelUnknownCompression; v <= kelWEBPLossless; v += v == kelUnknownCompression ? 2 : 1)
        printf("%5d  %s\n", v, kelCompressionName(kelCompression(v)));
}

void printStatus()
{
    heading("Status texts");
    printf("%5s  %s\n", "value", "text");
    for (int v = kelOKAY; v <= kelUNSUPPORTEDBYFILE; v++)
        printf("%5d  %s\n", v, kelMainStatusToString(kelMainStatus(v)));
    char text[256];
    kelStatus sts = kelComposeStatus(kelOPENFAILED, 1, ENOENT);
    printf("\nA failed system call carries errno in bits 16-31 and kind 1 in bits 12-15;\n"
           "its text is the system's: 0x%08x (main status %d, errno %d) reads \"%s\".\n",
           unsigned(sts), kelStatusMain(sts), kelStatusErrno(sts), kelStatusToString(sts, text, sizeof text));
}

struct Table {
    const char* name;
    void (*print)();
};

const Table tables[] = {
    {"datatypes", printDataTypes},       {"colormodels", printColorModels}, {"orientations", printOrientations},
    {"orders", printOrders},             {"compressions", printCompressions}, {"status", printStatus},
};

const Table* findTable(const char* name)
{
    for (const Table& t : tables)
        if (strcmp(t.name, name) == 0)
            return &t;
    return nullptr;
}

void usage(FILE* out)
{
    fputs("usage: keltables [table...]\ntables:", out);
    for (const Table& t : tables)
        fprintf(out, " %s", t.name);
    fprintf(out, "\nWithout arguments every table is printed. Exit status: 0, or 2 for an unknown table.\n");
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            usage(stdout);
            return 0;
        }
        if (!findTable(argv[i])) {
            fprintf(stderr, "keltables: unknown table \"%s\"\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (argc == 1)
        for (const Table& t : tables)
            t.print();
    for (int i = 1; i < argc; i++)
        findTable(argv[i])->print();
    return kelToolFinishOutput("keltables", EXIT_SUCCESS);
}
