// kelcp: copies images between files and formats, converting their layout.
#include "kelCopyJob.h"
#include "kelCopyOptions.h"
#include "kelToolErrorLog.h"

int main(int argc, char** argv)
{
    kelCopyOptions opts = kelCopyParseOptions(argc, argv);
    kelToolErrorLog log("kelcp");
    return kelCopyRun(opts, log);
}
