#include "kelCopyProgress.h"

#include <stdio.h>
#include <unistd.h>

static const int barWidth = 40;

kelCopyProgress::kelCopyProgress(std::string text, long totalAmount, bool enabled)
    : label(std::move(text)), total(totalAmount > 0 ? totalAmount : 1), active(enabled && isatty(STDERR_FILENO))
{
}

kelCopyProgress::~kelCopyProgress()
{
    // Leave the line clean for whatever is printed next.
    if (active && shownPercent >= 0)
        fprintf(stderr, "\r\033[K");
}

void kelCopyProgress::advance(long amount)
{
    done += amount;
    int percent = int(done * 100 / total);
    if (active && percent != shownPercent)
        draw(percent);
}

void kelCopyProgress::draw(int percent)
{
    shownPercent = percent;
    int filled = percent * barWidth / 100;
    fprintf(stderr, "\r%s [%s%s] %3d%%", label.c_str(), std::string(size_t(filled), '#').c_str(),
            std::string(size_t(barWidth - filled), '.').c_str(), percent);
    fflush(stderr);
}
