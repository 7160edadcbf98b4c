// A progress bar on standard error, drawn only when that is a terminal.
#ifndef KEL_COPY_PROGRESS_H
#define KEL_COPY_PROGRESS_H

#include <string>

class kelCopyProgress {
public:
    // `enabled` false draws nothing at all.
    kelCopyProgress(std::string label, long total, bool enabled);
    ~kelCopyProgress();
    kelCopyProgress(const kelCopyProgress&) = delete;
    kelCopyProgress& operator=(const kelCopyProgress&) = delete;

    void advance(long amount);

private:
    void draw(int percent);

    std::string label;
    long total;
    long done = 0;
    int shownPercent = -1;
    bool active;
};

#endif
