// The mark of the core's internals that the project's own tests and fuzz
// targets call: the database entries and their scanner, the kernel choice,
// the plug-in loader. They act on the core's own state, so the tests must
// reach the core's copy, not one linked into themselves. They are exported
// like the public interface but are no part of it: not installed, no promise.
#ifndef KEL_INTERNAL_H
#define KEL_INTERNAL_H

#define KEL_INTERNAL __attribute__((visibility("default")))

#endif
