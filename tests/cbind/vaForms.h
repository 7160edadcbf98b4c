/* Variadic wrappers around the binding's va_list forms, as a C caller
   writes them, for the C program and the C++ tests alike. */
#ifndef KEL_TESTS_VAFORMS_H
#define KEL_TESTS_VAFORMS_H

#include <kel/ckel.h>

#define CKEL_VA_WRAPPER(name, vform)                                           \
    static kelStatus name(kelFile* f, int tag, ...)                            \
    {                                                                          \
        kelStatus sts;                                                         \
        va_list ap;                                                            \
        va_start(ap, tag);                                                     \
        sts = vform(f, tag, ap);                                               \
        va_end(ap);                                                            \
        return sts;                                                            \
    }

CKEL_VA_WRAPPER(getItemV, kelFileGetItemV)
CKEL_VA_WRAPPER(setItemV, kelFileSetItemV)
CKEL_VA_WRAPPER(getTagV, kelFileGetTagV)
CKEL_VA_WRAPPER(setTagV, kelFileSetTagV)

#undef CKEL_VA_WRAPPER

#endif
