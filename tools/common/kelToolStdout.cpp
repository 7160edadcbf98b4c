#include "kelToolStdout.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int kelToolFinishOutput(const char* program, int status)
{
    errno = 0;
    if (fflush(stdout) == 0 && !ferror(stdout))
        return status;
    fprintf(stderr, "%s: standard output: %s\n", program, errno ? strerror(errno) : "write error");
    return EXIT_FAILURE;
}
