// kelcp: copies images between files and formats, converting their layout.
#include "kelCopyJob.h"
#include "kelCopyOptions.h"
#include "kelToolErrorLog.h"
#include "kelToolStdout.h"

int main(int argc, char** argv)
{
    kelCopyOptions opts = kelCopyParseOptions(argc, argv);
    kelToolErrorLog log("kelcp");
    return kelToolFinishOutput("kelcp", kelCopyRun(opts, log));
}
