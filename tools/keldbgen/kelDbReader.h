// The generator's input: the top-level source and its include files.
#ifndef KELDBGEN_READER_H
#define KELDBGEN_READER_H

// Name of the top-level file being read (as listed, not root-joined).
const char* kelDbReaderFileName();

#endif
