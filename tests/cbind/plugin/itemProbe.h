/* The items of the ItemProbe test format, for C and C++ tests alike. Each
   item takes the arguments that a tag of its type takes. */
#ifndef KEL_TESTS_ITEMPROBE_H
#define KEL_TESTS_ITEMPROBE_H

enum {
    itemProbeCount = 1, /* kelTagInt: get int*, set int; starts at 7 */
    itemProbeGamma = 2, /* kelTagDouble: get double*, set double; starts at 0.5 */
    itemProbeLabel = 3, /* kelTagString: get char**, set const char*; starts as "probe" */
    itemProbeColor = 4, /* three kelTagInt: get three int*, set three int; starts at 1, 2, 3 */
    itemProbeLevel = 5  /* kelTagShort: get short*, set int; starts at -2 */
};

#endif
