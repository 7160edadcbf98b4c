// kelinfo: lists the formats of the database, or describes image files.
#include <getopt.h>
#include <stdio.h>
#include <stdlib.h>

#include <kel/kelDatabase.h>

#include "kelInfoFiles.h"
#include "kelInfoFormats.h"
#include "kelInfoTable.h"
#include "kelToolErrorLog.h"
#include "kelToolStdout.h"

static const char usageText[] =
    "Usage: kelinfo [--json] [FILE...]\n"
    "Without FILE, list the formats of the format database: name, description,\n"
    "suffixes, access, plug-in library and whether the plug-in loads.\n"
    "With FILEs, describe each file: its format and, for every image, size,\n"
    "page size, data type, order, orientation, color model, compression,\n"
    "colormap, scale and statistics, and the items its format describes (keys:\n"
    "the item's name lowercased, other characters than letters and digits '_').\n"
    "\n"
    "A FILE name may end in #FORMAT (the format to use), :N (only image N) and\n"
    "%ARGUMENTS (format arguments), e.g. 'data.raw#Raw%size=640,480,1,3%type=ushort'.\n"
    "\n"
    "  -j, --json     print one JSON document instead of a table\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the library's version and exit\n"
    "\n"
    "The database is the file named by KEL_DATABASE, else the installed one.\n"
    "Exit status: 0 on success, 1 when a file or the database could not be\n"
    "read or the output could not be written, 2 on a command-line error.\n";

struct InfoOptions {
    bool json = false;
    int firstFile = 1;
};

static InfoOptions parseOptions(int argc, char** argv)
{
    static const option longOptions[] = {{"json", no_argument, nullptr, 'j'},
                                         {"help", no_argument, nullptr, 'h'},
                                         {"version", no_argument, nullptr, 'V'},
                                         {nullptr, 0, nullptr, 0}};
    InfoOptions opts;
    int opt;
    while ((opt = getopt_long(argc, argv, "jh", longOptions, nullptr)) != -1) {
        switch (opt) {
        case 'j':
            opts.json = true;
            break;
        case 'h':
            fputs(usageText, stdout);
            exit(EXIT_SUCCESS);
        case 'V':
            printf("kelinfo (kel library %s)\n", libkelVersion);
            exit(EXIT_SUCCESS);
        default:
            fputs("Try 'kelinfo --help' for more information.\n", stderr);
            exit(2);
        }
    }
    opts.firstFile = optind;
    return opts;
}

static bool hasError(const nlohmann::json& file)
{
    if (file.contains("error"))
        return true;
    for (const nlohmann::json& image : file["images"])
        if (image.contains("error"))
            return true;
    return false;
}

static int listFormats(const InfoOptions& opts, kelToolErrorLog& log)
{
    nlohmann::json formats = kelInfoFormats(log);
    if (formats.empty()) {
        log.fail("database", "no formats found (is KEL_DATABASE set to a valid format database?)");
        return EXIT_FAILURE;
    }
    if (opts.json)
        printf("%s\n", nlohmann::json{{"formats", formats}}.dump(2).c_str());
    else
        kelInfoPrintFormats(stdout, formats);
    return EXIT_SUCCESS;
}

static int describeFiles(const InfoOptions& opts, int argc, char** argv, kelToolErrorLog& log)
{
    nlohmann::json files = nlohmann::json::array();
    int status = EXIT_SUCCESS;
    for (int i = opts.firstFile; i < argc; ++i) {
        nlohmann::json file = kelInfoFile(argv[i], log);
        if (hasError(file))
            status = EXIT_FAILURE;
        if (!opts.json) {
            if (i > opts.firstFile)
                putchar('\n');
            kelInfoPrintFile(stdout, file);
        }
        files.push_back(std::move(file));
    }
    if (opts.json)
        printf("%s\n", nlohmann::json{{"files", files}}.dump(2).c_str());
    return status;
}

int main(int argc, char** argv)
{
    InfoOptions opts = parseOptions(argc, argv);
    kelToolErrorLog log("kelinfo");
    int status = opts.firstFile >= argc ? listFormats(opts, log) : describeFiles(opts, argc, argv, log);
    return kelToolFinishOutput("kelinfo", status);
}
