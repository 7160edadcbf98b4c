// Positioned transfers that finish what the system does in parts.
#ifndef KEL_POSITIONEDIO_H
#define KEL_POSITIONEDIO_H

#include <stddef.h>
#include <sys/types.h>

// Reads until `nbytes` are in or the file ends; the count read, or -1 with
// errno set.
ssize_t kelReadAt(int fd, void* buf, size_t nbytes, off_t offset);

// Writes all `nbytes`: 0, or -1 with errno set when the system fails or a
// write makes no progress. `written` receives the count that reached the
// file either way.
int kelWriteAt(int fd, const void* buf, size_t nbytes, off_t offset, size_t& written);

#endif
