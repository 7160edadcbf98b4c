// One run of kelcp: open the source, create the destination under a
// temporary name, copy every requested image, then rename it into place.
#ifndef KEL_COPY_JOB_H
#define KEL_COPY_JOB_H

struct kelCopyOptions;
class kelToolErrorLog;

// Returns the process exit status; every failure is reported through `log`.
int kelCopyRun(const kelCopyOptions& opts, kelToolErrorLog& log);

#endif
