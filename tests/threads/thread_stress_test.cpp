// Many threads, each with its own files, from a cold start: the database's
// first load and the plug-ins' loading happen inside the race. Run under
// ThreadSanitizer by the test script; every thread must see the same pixels
// in every format.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <kel/kel.h>

namespace {

const int threadCount = 8;
const int cycles = 240;
const int nx = 16, ny = 12, nc = 3;

// Pixel values that no format's signature starts with.
unsigned char stored(int x, int y, int c)
{
    return (unsigned char)(0x20 + (x * 7 + y * 13 + c * 5) % 200);
}

// One picture in every format: RGB in Raw, BMP and FIT (in pages of 8 x 8),
// and the low bits of its red channel in XBM.
struct Format {
    const char* name;
    const char* file;
    std::string args; // after the path: what the file does not say itself
    int bits;         // 1 for a bitmap, else 8 bits per channel
    int page;         // the side of a page; 0: the format's choice

    kelConfig layout() const
    {
        return bits == 1 ? kelConfig(kelBit, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin)
                         : kelConfig(kelUChar, kelSeparate, nc, nullptr, 0, kelUpperLeftOrigin);
    }
    std::vector<unsigned char> pixels() const
    {
        std::vector<unsigned char> p(bits == 1 ? nx * ny / 8 : nc * ny * nx);
        for (int y = 0; y < ny; y++)
            for (int x = 0; x < nx; x++) {
                if (bits == 1)
                    p[size_t(y * nx + x) / 8] |= (stored(x, y, 0) & 1) << (7 - x % 8);
                else
                    for (int c = 0; c < nc; c++)
                        p[size_t((c * ny + y) * nx + x)] = stored(x, y, c);
            }
        return p;
    }
};

const Format formats[] = {
    {"Raw", "shared.raw", "%size=16,12,1,3%orientation=tl", 8, 0},
    {"BMP", "shared.bmp", "", 8, 0},
    {"FIT", "shared.fit", "", 8, 8},
    {"XBM", "shared.xbm", "", 1, 0},
};

kelFile* create(const std::string& name, const Format& format)
{
    const kelSize size(nx, ny, 1, format.bits == 1 ? 1 : nc), page(format.page, format.page, 1, nc);
    kelFileConfig cfg(&size, kelDataType(0), kelOrder(0), kelColorModel(0), kelOrientation(0),
                      kelCompression(0), format.page ? &page : nullptr);
    kelStatus sts = 0;
    return kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
}

// Writes `pixels` into a new file and reads it back; false when any step fails.
bool writeAndReadBack(const std::string& name, const Format& format, const std::vector<unsigned char>& pixels,
                      std::vector<unsigned char>& back)
{
    const kelConfig layout = format.layout();
    kelFile* out = create(name, format);
    if (!out || out->setTile(0, 0, 0, nx, ny, 1, pixels.data(), &layout) || out->close())
        return false;
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    back.assign(pixels.size(), 0);
    return in && in->getTile(0, 0, 0, nx, ny, 1, back.data(), &layout) == kelOKAY && in->close() == kelOKAY;
}

// The shared files are written by a child process, so that the library is
// still cold in this one when the threads start.
bool writeImages(const std::string& dir)
{
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = true;
        for (const Format& f : formats) {
            std::vector<unsigned char> back;
            ok = ok && writeAndReadBack(dir + "/" + f.file + f.args, f, f.pixels(), back) && back == f.pixels();
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A GIF of the first channel, written by the library in a process of its
// own, so that it is still cold in this one.
std::string writeGif(const std::string& dir)
{
    const std::string path = dir + "/shared.gif";
    pid_t pid = fork();
    if (pid == 0) {
        kelColormap map(3, kelUChar, 0, 255);
        for (int i = 0; i < 256; i++)
            for (int c = 0; c < 3; c++)
                map.setVal(i, i, c);
        unsigned char pixels[ny][nx];
        for (int y = 0; y < ny; y++)
            for (int x = 0; x < nx; x++)
                pixels[y][x] = stored(x, y, 0);
        kelSize dims(nx, ny, 1, 1);
        kelFileConfig cfg(&dims);
        kelStatus sts;
        kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
        _exit(!f || f->setColormap(&map) || f->setTile(0, 0, 0, nx, ny, 1, pixels) || f->close());
    }
    int status = -1;
    return pid > 0 && waitpid(pid, &status, 0) == pid && status == 0 ? path : std::string();
}

// Reads the GIF upside down and compares; every tenth cycle writes one of
// its own and reads it back. Mismatches, or -1 on a failure.
int gifCycle(const std::string& gif, const std::string& own, int i)
{
    kelConfig flipped(kelUChar, kelInterleaved, 1, nullptr, 0, kelLowerLeftOrigin);
    unsigned char pixels[ny][nx] = {};
    kelStatus sts = 0;
    kelFile* f = kelFile::open(gif.c_str(), O_RDONLY, &sts);
    if (!f || f->getTile(0, 0, 0, nx, ny, 1, pixels, &flipped))
        return -1;
    int mismatches = 0;
    for (int y = 0; y < ny; y++)
        for (int x = 0; x < nx; x++)
            mismatches += pixels[ny - 1 - y][x] != stored(x, y, 0);
    if (i % 10 == 0) {
        kelFile* out = kelFile::create(own.c_str(), f, nullptr, nullptr, &sts);
        const kelColormap* map = nullptr;
        unsigned char again[ny][nx] = {};
        if (!out || f->getColormap(map) || out->setColormap(map) || out->setTile(0, 0, 0, nx, ny, 1, pixels, &flipped) ||
            out->close())
            return -1;
        kelFile* back = kelFile::open(own.c_str(), O_RDONLY, &sts);
        if (!back || back->getTile(0, 0, 0, nx, ny, 1, again, &flipped) || back->close())
            return -1;
        mismatches += memcmp(again, pixels, sizeof pixels) != 0;
    }
    return f->close() ? -1 : mismatches;
}

// Counts messages without ending the process; set and reset by the threads
// while others report warnings.
std::atomic<int> messages{0};
void countingHandler(void*, int, const char*, va_list)
{
    messages++;
}

// The names a file is opened by: the format found by contents (by suffix
// for Raw), named, and named with an argument it does not know (Raw only).
std::string nameOf(const std::string& dir, const Format& f, int variant)
{
    const std::string path = dir + "/" + f.file;
    if (variant == 0)
        return path + f.args;
    const std::string named = path + "#" + f.name + f.args;
    return variant == 2 && strcmp(f.name, "Raw") == 0 ? named + "%bogus=1" : named;
}

// One thread's cycles: open every format in turn, read in another layout
// and compare; now and then write a file of its own and read it back; and
// a GIF cycle each time.
int runCycles(const std::string& gif, const std::string& dir, int id)
{
    int mismatches = 0;
    for (int i = 0; i < cycles; i++) {
        if (i % 50 == id)
            kelSetErrorHandler(countingHandler, nullptr);
        const Format& format = formats[i % 4];
        const kelConfig layout = format.layout();
        const std::vector<unsigned char> expected = format.pixels();
        kelStatus sts = 0;
        kelFile* f = kelFile::open(nameOf(dir, format, i / 4 % 3).c_str(), O_RDONLY, &sts);
        if (!f)
            return -1;
        std::vector<unsigned char> pixels(expected.size(), 0);
        sts = f->getTile(0, 0, 0, nx, ny, 1, pixels.data(), &layout);
        mismatches += pixels != expected;
        if (i % 10 == 0) {
            const std::string own = dir + "/t" + std::to_string(id) + "-" + format.file + format.args;
            std::vector<unsigned char> back;
            if (!writeAndReadBack(own, format, pixels, back))
                return -1;
            mismatches += back != pixels;
        }
        if (sts || f->close())
            return -1;
        const int gifMismatches = gifCycle(gif, dir + "/t" + std::to_string(id) + ".gif", i);
        if (gifMismatches < 0)
            return -1;
        mismatches += gifMismatches;
    }
    return mismatches;
}

TEST(Threads, OpenReadWriteAndCloseEveryFormatFromAColdStart)
{
    char tmpl[] = "/tmp/kel_threads_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    ASSERT_TRUE(writeImages(dir));
    const std::string gif = writeGif(dir);
    ASSERT_FALSE(gif.empty());
    EXPECT_EXIT(
        {
            kelSetErrorHandler(countingHandler, nullptr);
            std::vector<int> results(threadCount, -2);
            std::atomic<int> ready{0};
            std::vector<std::thread> threads;
            for (int t = 0; t < threadCount; t++)
                threads.emplace_back([&, t] {
                    ready++;
                    while (ready < threadCount)
                        std::this_thread::yield();
                    results[size_t(t)] = runCycles(gif, dir, t);
                });
            for (std::thread& t : threads)
                t.join();
            int failures = 0;
            for (int t = 0; t < threadCount; t++)
                if (results[size_t(t)] != 0) {
                    fprintf(stderr, "thread %d: %d\n", t, results[size_t(t)]);
                    fflush(stderr);
                    failures++;
                }
            // A third of each thread's Raw names carry an unknown argument.
            if (messages < threadCount * (cycles / 12)) {
                fprintf(stderr, "only %d messages\n", messages.load());
                failures++;
            }
            exit(failures ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
}

} // namespace
