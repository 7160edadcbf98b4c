// A file written under a temporary name beside its destination and renamed
// into place only when complete, so that a failed or interrupted write never
// leaves a half-written file under the destination name. The file keeps the
// destination's own name in a temporary directory beside it: formats that
// write something derived from the name (an X bitmap's C names) see the
// real one.
#ifndef KEL_TOOL_OUTPUTFILE_H
#define KEL_TOOL_OUTPUTFILE_H

#include <string>

#include <kel/kelStatus.h>

class kelToolOutputFile {
public:
    kelToolOutputFile() = default;
    // Removes the temporary file unless commit() succeeded.
    ~kelToolOutputFile();
    kelToolOutputFile(const kelToolOutputFile&) = delete;
    kelToolOutputFile& operator=(const kelToolOutputFile&) = delete;

    // Creates an empty temporary file in a new directory beside `dest`.
    kelStatus reserve(const std::string& dest);
    const std::string& temporaryPath() const { return temporary; }
    const std::string& destinationPath() const { return destination; }

    // Gives the file the usual permissions and renames it to the destination.
    kelStatus commit();
    void discard();

private:
    std::string destination;
    std::string temporaryDir;
    std::string temporary;
};

#endif
