/* The core library is built with hidden symbols: what it exports is what
   its headers mark with KEL_API, the classes and functions of its public
   interface. Usable from C. */
#ifndef KEL_EXPORT_H
#define KEL_EXPORT_H

#define KEL_API __attribute__((visibility("default")))

#endif
