// DST's format arguments that choose what kelcp's options choose (color
// model, data type, order, orientation, page size) count as those options,
// so that 'out.raw#Raw%colormodel=rgb' copies as --colormodel rgb does.
#ifndef KEL_COPY_DESTINATIONARGUMENTS_H
#define KEL_COPY_DESTINATIONARGUMENTS_H

struct kelCopyOptions;

// Sets the options from DST's name and --args. Names and keywords may be
// abbreviated as Raw reads them. Throws kelToolUsageError for a value that
// is no keyword, or one that disagrees with the option given.
void kelCopyTakeDestinationArguments(kelCopyOptions& opts);

#endif
