// The end of a tool that prints its results: a failure to write them (a
// full disk, a closed pipe) must not pass for success.
#ifndef KEL_TOOL_STDOUT_H
#define KEL_TOOL_STDOUT_H

// Flushes standard output; returns `status` when everything printed reached
// it, else reports "program: standard output: reason" and returns 1.
int kelToolFinishOutput(const char* program, int status);

#endif
