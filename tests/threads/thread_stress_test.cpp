// Many threads, each with its own files, from a cold start: the database's
// first load and the plug-in's loading happen inside the race. Run under
// ThreadSanitizer by the test script; every thread must see the same pixels.
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
const int cycles = 200;
const int nx = 16, ny = 12, nc = 3;

// Pixel values that no format's signature starts with.
unsigned char stored(int x, int y, int c)
{
    return (unsigned char)(0x20 + (x * 7 + y * 13 + c * 5) % 200);
}

// Written with plain file calls, so that the library is still cold when
// the threads start.
std::string writeImage(const std::string& dir)
{
    std::string path = dir + "/shared.raw";
    std::vector<unsigned char> bytes;
    for (int y = 0; y < ny; y++)
        for (int x = 0; x < nx; x++)
            for (int c = 0; c < nc; c++)
                bytes.push_back(stored(x, y, c));
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0)
        return std::string();
    return path;
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

// One thread's cycles: open by format name, by suffix and by contents, read
// in another layout and compare; write a file of its own and read it back.
int runCycles(const std::string& image, const std::string& gif, const std::string& dir, int id)
{
    int mismatches = 0;
    const std::string args = "%size=16,12,1,3%orientation=tl";
    const std::string names[] = {image + "#Raw" + args, image + args, image + "#Raw" + args + "%bogus=1"};
    const std::string own = dir + "/t" + std::to_string(id) + ".raw#Raw" + args;
    kelConfig separate(kelUChar, kelSeparate, nc, nullptr, 0, kelUpperLeftOrigin);
    for (int i = 0; i < cycles; i++) {
        if (i % 50 == id)
            kelSetErrorHandler(countingHandler, nullptr);
        kelStatus sts = 0;
        kelFile* f = kelFile::open(names[i % 3].c_str(), O_RDONLY, &sts);
        if (!f)
            return -1;
        unsigned char pixels[nc][ny][nx] = {};
        sts = f->getTile(0, 0, 0, nx, ny, 1, pixels, &separate);
        for (int c = 0; c < nc; c++)
            for (int y = 0; y < ny; y++)
                for (int x = 0; x < nx; x++)
                    mismatches += pixels[c][y][x] != stored(x, y, c);
        if (i % 10 == 0) {
            kelFile* out = kelFile::create(own.c_str(), f, nullptr, nullptr, &sts);
            if (!out || out->setTile(0, 0, 0, nx, ny, 1, pixels, &separate) || out->close())
                return -1;
            kelFile* back = kelFile::open(own.c_str(), O_RDONLY, &sts);
            unsigned char again[nc][ny][nx] = {};
            if (!back || back->getTile(0, 0, 0, nx, ny, 1, again, &separate) || back->close())
                return -1;
            mismatches += memcmp(again, pixels, sizeof pixels) != 0;
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

TEST(Threads, OpenReadWriteAndCloseFromAColdStart)
{
    char tmpl[] = "/tmp/kel_threads_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const std::string image = writeImage(dir);
    const std::string gif = writeGif(dir);
    ASSERT_FALSE(image.empty() || gif.empty());
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
                    results[size_t(t)] = runCycles(image, gif, dir, t);
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
            // Each thread's third name carries an unknown argument.
            if (messages < threadCount * (cycles / 3)) {
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
