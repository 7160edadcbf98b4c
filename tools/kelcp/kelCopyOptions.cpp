#include "kelCopyOptions.h"

#include <getopt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kelCopyDestinationArguments.h"
#include "kelToolItems.h"
#include "kelToolNames.h"
#include "kelToolOptions.h"

static const char usageText[] =
    "Usage: kelcp [OPTIONS] SRC DST\n"
    "Copy the images of SRC into a new file DST, converting data type, channel\n"
    "order, orientation, page size and color model on the way.\n"
    "\n"
    "SRC and DST may end in #FORMAT, :N and %ARGUMENTS: SRC:N copies only image N,\n"
    "otherwise every image is copied (DST's format must then hold several).\n"
    "DST's format is --format, else DST's #FORMAT, else the one that claims\n"
    "DST's suffix. Raw files need their layout in the name, e.g.\n"
    "'in.raw#Raw%size=640,480,1,3%type=ushort'.\n"
    "\n"
    "Options for DST (not given: chosen from SRC where DST's format can store it):\n"
    "  -f, --format NAME         format of DST\n"
    "  -t, --type TYPE           data type:\n"
    "                              %TYPES%\n"
    "  -o, --order ORDER         channel order: %ORDERS%\n"
    "  -r, --orientation ORIENT  how rows and columns are stored (also tl, tr, br,\n"
    "                            bl, lt, rt, rb, lb, as in Raw names):\n"
    "                              %ORIENTATIONS%\n"
    "  -p, --page WxH[xD[xC]]    page size, e.g. 256x256\n"
    "  -c, --colormodel MODEL    color model:\n"
    "                              %COLORMODELS%\n"
    "  -z, --compression COMP    compression:\n"
    "                              %COMPRESSIONS%\n"
    "  -a, --args ARGS           format arguments for DST, e.g. 'offset=16'\n"
    "      --quality N           encoder quality 0-100 (DST's item of that role)\n"
    "      --item KEY=VALUE      set one of DST's items (repeatable); kelinfo --json\n"
    "                            shows the keys, e.g. --item loop_count=0\n"
    "      --background COLOR    compose pixels over COLOR where DST has no alpha:\n"
    "                            white, black, #rrggbb or r,g,b\n"
    "\n"
    "DST's arguments colormodel=, type=, order=, orientation= and pagesize= (in\n"
    "its name or --args) choose as the options do; the two must not disagree.\n"
    "\n"
    "Other options:\n"
    "  -m, --strip-mib N         memory for one strip or tile of pixels in MiB (default 16)\n"
    "  -v, --verbose             print what was copied\n"
    "  -q, --quiet               no progress bar\n"
    "  -h, --help                print this help and exit\n"
    "\n"
    "A palette image keeps its colormap when DST can store one; otherwise, or\n"
    "with another --colormodel, its indices become RGB colors (RGBA when the\n"
    "colormap has alpha). Alpha is added (opaque) or dropped as DST's color\n"
    "model needs, and gray becomes RGB or RGB gray (Rec. 601). Items go along\n"
    "where DST's format describes an item of the same name and type, or of the\n"
    "same role (a frame's delay); so does an ICC profile. An image stored as\n"
    "one page is read, and one that DST stores as one page written, in one\n"
    "piece whatever the strip memory.\n"
    "\n"
    "DST is written under a temporary name and renamed when complete; on any\n"
    "error nothing is left under DST's name. Exit status: 0 on success, 1 on\n"
    "an error, 2 on a command-line error.\n";

static void replaceAll(std::string& text, const std::string& key, const std::string& value)
{
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
}

static void printHelp()
{
    std::string text = usageText;
    replaceAll(text, "%TYPES%", kelToolKeywords(kelToolDataTypes));
    replaceAll(text, "%ORDERS%", kelToolKeywords(kelToolOrders));
    replaceAll(text, "%ORIENTATIONS%", kelToolKeywords(kelToolOrientations));
    replaceAll(text, "%COLORMODELS%", kelToolKeywords(kelToolColorModels));
    replaceAll(text, "%COMPRESSIONS%", kelToolKeywords(kelToolCompressions));
    fputs(text.c_str(), stdout);
}

void kelCopyUsageError(const std::string& message)
{
    fprintf(stderr, "kelcp: %s\nTry 'kelcp --help' for more information.\n", message.c_str());
    exit(2);
}

enum { optQuality = 256, optItem, optBackground, optColors, optDither, optCoalesce };

// One above each method: a lookup gives 0 for no keyword.
static const kelToolName ditherMethods[] = {{1 + kelDitherNone, "none"},
                                            {1 + kelDitherFloydSteinberg, "fs"},
                                            {1 + kelDitherFloydSteinberg, "floyd-steinberg"},
                                            {1 + kelDitherOrdered, "ordered"},
                                            {0, nullptr}};

// KEY=VALUE; the key goes through the item key rule, so "Loop count" works too.
static std::pair<std::string, std::string> itemSetting(const char* text)
{
    const char* eq = strchr(text, '=');
    if (!eq || eq == text)
        throw kelToolUsageError{"invalid value '" + std::string(text) + "' for --item; expected KEY=VALUE"};
    return {kelToolItemKey(std::string(text, size_t(eq - text)).c_str()), eq + 1};
}

static void applyOption(kelCopyOptions& opts, int opt, const char* value)
{
    switch (opt) {
    case optQuality:
        opts.quality = int(kelToolParseNumber("--quality", value, 0, 100));
        break;
    case optItem:
        opts.items.push_back(itemSetting(value));
        break;
    case optBackground:
        opts.background = kelToolParseColor("--background", value);
        opts.hasBackground = true;
        break;
    case optColors:
        opts.colors = int(kelToolParseNumber("--colors", value, 2, 256));
        break;
    case optDither:
        opts.dither = kelDitherMethod(kelToolParseKeyword("--dither", value, ditherMethods) - 1);
        break;
    case optCoalesce:
        opts.coalesce = true;
        break;
    case 'f':
        opts.formatName = value;
        break;
    case 't':
        opts.dtype = kelDataType(kelToolParseKeyword("--type", value, kelToolDataTypes));
        break;
    case 'o':
        opts.order = kelOrder(kelToolParseKeyword("--order", value, kelToolOrders));
        break;
    case 'r':
        opts.orientation = kelOrientation(kelToolParseKeyword("--orientation", value, kelToolOrientations));
        break;
    case 'p':
        opts.pageSize = kelToolParseSize("--page", value);
        break;
    case 'c':
        opts.cm = kelColorModel(kelToolParseKeyword("--colormodel", value, kelToolColorModels));
        break;
    case 'z':
        opts.compression = kelCompression(kelToolParseKeyword("--compression", value, kelToolCompressions));
        break;
    case 'a':
        opts.formatArgs = value;
        break;
    case 'm':
        opts.stripBytes = size_t(kelToolParseNumber("--strip-mib", value, 1, 4096)) << 20;
        break;
    case 'v':
        opts.verbose = true;
        break;
    case 'q':
        opts.quiet = true;
        break;
    case 'h':
        printHelp();
        exit(EXIT_SUCCESS);
    default:
        fputs("Try 'kelcp --help' for more information.\n", stderr);
        exit(2);
    }
}

kelCopyOptions kelCopyParseOptions(int argc, char** argv)
{
    static const option longOptions[] = {
        {"format", required_argument, nullptr, 'f'},     {"type", required_argument, nullptr, 't'},
        {"order", required_argument, nullptr, 'o'},      {"orientation", required_argument, nullptr, 'r'},
        {"page", required_argument, nullptr, 'p'},       {"colormodel", required_argument, nullptr, 'c'},
        {"compression", required_argument, nullptr, 'z'}, {"args", required_argument, nullptr, 'a'},
        {"strip-mib", required_argument, nullptr, 'm'},  {"verbose", no_argument, nullptr, 'v'},
        {"quiet", no_argument, nullptr, 'q'},            {"help", no_argument, nullptr, 'h'},
        {"quality", required_argument, nullptr, optQuality}, {"item", required_argument, nullptr, optItem},
        {"background", required_argument, nullptr, optBackground}, {"colors", required_argument, nullptr, optColors},
        {"dither", required_argument, nullptr, optDither}, {"coalesce", no_argument, nullptr, optCoalesce},
        {nullptr, 0, nullptr, 0}};
    kelCopyOptions opts;
    int opt;
    try {
        while ((opt = getopt_long(argc, argv, "f:t:o:r:p:c:z:a:m:vqh", longOptions, nullptr)) != -1)
            applyOption(opts, opt, optarg);
        if (argc - optind != 2)
            kelCopyUsageError(argc - optind < 2 ? "missing SRC or DST" : "too many arguments; expected SRC DST");
        opts.source = argv[optind];
        opts.destination = argv[optind + 1];
        kelCopyTakeDestinationArguments(opts);
    } catch (const kelToolUsageError& e) {
        kelCopyUsageError(e.message);
    }
    return opts;
}
