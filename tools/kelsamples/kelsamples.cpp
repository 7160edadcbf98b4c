// kelsamples: writes a few sample images as Raw files and prints the names
// (with their format arguments) under which they can be opened.
#include <fcntl.h>
#include <getopt.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <kel/kelConfig.h>
#include <kel/kelFile.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>

#include "kelSampleImages.h"
#include "kelToolErrorLog.h"
#include "kelToolOutputFile.h"
#include "kelToolStdout.h"

static const char usageText[] =
    "Usage: kelsamples [DIR]\n"
    "Write sample images as Raw files into DIR (default: the current directory)\n"
    "and print, one per line, the name under which each can be opened: its path\n"
    "followed by #Raw and the format arguments that describe its layout.\n"
    "\n"
    "  -l, --list  print the names and what each image shows, write nothing\n"
    "  -h, --help  print this help and exit\n"
    "\n"
    "DIR must exist. Each image is written under a temporary name and renamed\n"
    "when complete. Exit status: 0 on success, 1 when an image could not be\n"
    "written, 2 on a command-line error.\n";

static std::string openName(const std::string& path, const kelSampleImage& sample)
{
    return path + "#Raw%" + kelToolRawArguments(sample.layout);
}

static std::vector<double> pixels(const kelSampleImage& sample)
{
    const kelSize& s = sample.layout.size;
    std::vector<double> data(size_t(s.x) * s.y * s.c);
    size_t i = 0;
    for (int y = 0; y < s.y; ++y)
        for (int x = 0; x < s.x; ++x)
            for (int c = 0; c < s.c; ++c)
                data[i++] = sample.value(x, y, c, s);
    return data;
}

static kelStatus writeSample(const std::string& path, const kelSampleImage& sample, kelFormat* raw)
{
    kelToolOutputFile out;
    kelStatus sts = out.reserve(path);
    if (sts != kelOKAY)
        return sts;
    std::string args = kelToolRawArguments(sample.layout);
    kelFileDesc desc(out.temporaryPath().c_str(), -1, raw, args.c_str());
    kelFile* file = kelFile::create(desc, nullptr, nullptr, &sts);
    if (!file)
        return sts;
    const kelSize& s = sample.layout.size;
    std::vector<double> data = pixels(sample);
    kelConfig config(kelDouble, kelInterleaved, s.c, nullptr, 0, kelUpperLeftOrigin);
    sts = file->setTile(0, 0, 0, s.x, s.y, 1, data.data(), &config);
    kelStatus closed = file->close(sts == kelOKAY ? 0 : 1);
    if (sts == kelOKAY)
        sts = closed;
    return sts == kelOKAY ? out.commit() : sts;
}

int main(int argc, char** argv)
{
    static const option longOptions[] = {
        {"list", no_argument, nullptr, 'l'}, {"help", no_argument, nullptr, 'h'}, {nullptr, 0, nullptr, 0}};
    bool listOnly = false;
    int opt;
    while ((opt = getopt_long(argc, argv, "lh", longOptions, nullptr)) != -1) {
        if (opt == 'l')
            listOnly = true;
        else if (opt == 'h') {
            fputs(usageText, stdout);
            return EXIT_SUCCESS;
        } else {
            fputs("Try 'kelsamples --help' for more information.\n", stderr);
            return 2;
        }
    }
    if (argc - optind > 1) {
        fputs("kelsamples: too many arguments\nTry 'kelsamples --help' for more information.\n", stderr);
        return 2;
    }
    std::string dir = optind < argc ? std::string(argv[optind]) + "/" : "";
    kelToolErrorLog log("kelsamples");
    kelFormat* raw = listOnly ? nullptr : kelFormat::findByFormatName("Raw", 1);
    if (!listOnly && !raw) {
        log.fail("Raw", "the format database has no loadable Raw format");
        return EXIT_FAILURE;
    }
    for (const kelSampleImage* sample = kelSampleImages; sample->fileName; ++sample) {
        std::string path = dir + sample->fileName;
        kelStatus sts = listOnly ? kelOKAY : writeSample(path, *sample, raw);
        if (sts != kelOKAY) {
            log.fail(path, sts);
            return EXIT_FAILURE;
        }
        if (listOnly)
            printf("%s\t%s\n", openName(path, *sample).c_str(), sample->about);
        else
            printf("%s\n", openName(path, *sample).c_str());
    }
    return kelToolFinishOutput("kelsamples", EXIT_SUCCESS);
}
