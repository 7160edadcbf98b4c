/* The C binding (library ckel0): the object interface as flat functions.

   Objects are opaque handles to the core's own objects. A function's first
   argument, named _x, is the object it acts on; functions that take a handle
   do not check it for null. Objects made by a creation function belong to
   the caller and are released by the matching destructor function, which
   ignores null: kelConfigDelete, kelFileConfigDelete, kelFileDescDelete,
   kelLutDelete (also for colormaps), kelPixelDelete, kelTagDelete,
   kelQuantizerDelete, kelDitherDelete and kelFrameComposerDelete. Files
   from the open and create functions are released by kelFileClose. Pointers
   that getters return (names, formats, database entries, colormaps, tag
   descriptions, channel permutations, stored sizes) belong to the object
   they came from and live as long as it; an ICC profile goes back with
   kelFileFreeICCProfile, and the block of kelFileParseFileName to free().
   Creation functions return null when memory runs out.

   In C a colormap is a lookup table: pass it to the kelLut functions with a
   cast, (kelLut*)cmap; an ORN colormap likewise to the kelColormap ones. */
#ifndef KEL_CKEL_H
#define KEL_CKEL_H

#include <stdarg.h>

#include <kel/kelColor.h>
#include <kel/kelDataSize.h>
#include <kel/kelDither.h>
#include <kel/kelErrorHandler.h>
#include <kel/kelFrameComposer.h>
#include <kel/kelQuantizer.h>
#include <kel/kelStatus.h>
#include <kel/kelTagDescription.h>
#include <kel/kelTypeNames.h>
#include <kel/kelTypes.h>

#ifdef __cplusplus
#include <kel/kelCoord.h>

class kelColormap;
class kelConfig;
class kelDatabase;
class kelFile;
class kelFileConfig;
class kelFileDesc;
class kelFormat;
class kelFrameComposer;
class kelLut;
class kelORNColormap;
class kelPixel;
class kelTag;
class kelQuantizer;
class kelDither;

extern "C" {
#else
typedef struct kelColormap kelColormap;
typedef struct kelConfig kelConfig;
typedef struct kelDatabase kelDatabase;
typedef struct kelFile kelFile;
typedef struct kelFileConfig kelFileConfig;
typedef struct kelFileDesc kelFileDesc;
typedef struct kelFormat kelFormat;
typedef struct kelFrameComposer kelFrameComposer;
typedef struct kelLut kelLut;
typedef struct kelORNColormap kelORNColormap;
typedef struct kelPixel kelPixel;
typedef struct kelTag kelTag;
typedef struct kelQuantizer kelQuantizer;
typedef struct kelDither kelDither;

/* Pixels along x, y, z and channels c. */
typedef struct kelSize {
    int x, y, z, c;
} kelSize;
#endif

/* Image files. Access modes: read-only 0, write-only 1, read-write 2. */
kelFile* kelFileOpen(const char* filename, int mode, kelStatus* status);
kelFile* kelFileOpenByDescriptor(int fd, const char* filename, int mode, kelFormat* format, kelStatus* status);
kelFile* kelFileOpenPreParsed(kelFileDesc* fileDesc, int mode, kelStatus* status);
kelFile* kelFileCreate(const char* filename, kelFile* source, const kelFileConfig* cfg, kelFormat* format,
                       kelStatus* status);
kelFile* kelFileCreateByDescriptor(int fd, const char* filename, kelFile* source, const kelFileConfig* cfg,
                                   kelFormat* format, kelStatus* status);
kelFile* kelFileCreatePreParsed(kelFileDesc* fileDesc, kelFile* source, const kelFileConfig* cfg,
                                kelStatus* status);
/* Flushes (unless bit 0 of flags is set), closes and releases the file. */
kelStatus kelFileClose(kelFile* _x, int flags);
kelStatus kelFileFlush(kelFile* _x);
/* Splits "path#format:index%arguments" into one block that the caller frees
   with free(); the outputs point into it. */
char* kelFileParseFileName(const char* fullname, char** formatName, int* index, char** formatArgs);

char* kelFileGetFileName(kelFile* _x);
int kelFileGetFileDesc(kelFile* _x);
int kelFileGetFileMode(kelFile* _x);
kelFormat* kelFileGetFormat(kelFile* _x);
kelDataType kelFileGetDataType(kelFile* _x);
kelOrder kelFileGetOrder(kelFile* _x);
kelOrientation kelFileGetOrientation(kelFile* _x);
kelColorModel kelFileGetColorModel(kelFile* _x);
kelCompression kelFileGetCompression(kelFile* _x);
int* kelFileGetChannelPermutation(kelFile* _x);
int kelFileGetZsize(kelFile* _x);
int kelFileGetCsize(kelFile* _x);
/* Sizes upright (as seen in kelLowerLeftOrigin), or as seen in toOrientation. */
void kelFileGetDimensions(kelFile* _x, kelSize* dimensions);
void kelFileGetPageDimensions(kelFile* _x, kelSize* pageDims);
void kelFileGetSize(kelFile* _x, kelSize* sz, kelOrientation toOrientation);
void kelFileGetPageSize(kelFile* _x, kelSize* sz, kelOrientation toOrientation);
/* 1 once after the format changed the file's attributes. */
int kelFileHaveAttributesChanged(kelFile* _x);

int kelFileGetNumImgs(kelFile* _x);
int kelFileGetCurrentImg(kelFile* _x);
kelStatus kelFileSetCurrentImg(kelFile* _x, int idx);
kelStatus kelFileAppendImg(kelFile* _x, kelFile* source, kelFileConfig* fc);

/* Tiles in the caller's layout (config null: the file's own layout). */
kelStatus kelFileGetTile(kelFile* _x, int x, int y, int z, int nx, int ny, int nz, void* data,
                         const kelConfig* config);
kelStatus kelFileSetTile(kelFile* _x, int x, int y, int z, int nx, int ny, int nz, const void* data,
                         const kelConfig* config);
kelStatus kelFileGetPage(kelFile* _x, void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc);
kelStatus kelFileSetPage(kelFile* _x, const void* data, int x, int y, int z, int c, int nx, int ny, int nz,
                         int nc);

kelStatus kelFileGetColormap(kelFile* _x, const kelColormap** cmap);
kelStatus kelFileSetColormap(kelFile* _x, const kelColormap* cmap);
kelStatus kelFileGetStatMinMax(kelFile* _x, double* min, double* max);
kelStatus kelFileSetStatMinMax(kelFile* _x, double min, double max);
kelStatus kelFileGetScaleMinMax(kelFile* _x, double* min, double* max);
kelStatus kelFileSetScaleMinMax(kelFile* _x, double min, double max);
kelStatus kelFileGetICCProfile(kelFile* _x, int* size, void** profile);
kelStatus kelFileFreeICCProfile(kelFile* _x, void* profile);
kelStatus kelFileSetICCProfile(kelFile* _x, int size, const void* profile);
kelStatus kelFileEnableDirectIO(kelFile* _x, int enable);
kelStatus kelFileGetDirectIOMemAlignment(kelFile* _x, unsigned int* memAlign);

/* Items and tags: the arguments after tag are those of the format's item
   table, e.g. an int* to get an int item and an int to set it. */
kelStatus kelFileGetItem(kelFile* file, int tag, ...);
kelStatus kelFileSetItem(kelFile* file, int tag, ...);
kelStatus kelFileGetTag(kelFile* file, int tag, ...);
kelStatus kelFileSetTag(kelFile* file, int tag, ...);
/* The same with a started list, which they consume. */
kelStatus kelFileGetItemV(kelFile* _x, int tag, va_list ap);
kelStatus kelFileSetItemV(kelFile* _x, int tag, va_list ap);
kelStatus kelFileGetTagV(kelFile* _x, int tag, va_list ap);
kelStatus kelFileSetTagV(kelFile* _x, int tag, va_list ap);

/* File configurations: a field of 0 (a size component of 0) is not chosen.
   Sizes are held upright. */
kelFileConfig* kelFileConfigCreate(const kelSize* imagedims, kelDataType datatype, kelOrder dimensionorder,
                                   kelColorModel colormodel, kelOrientation orientation,
                                   kelCompression compression, const kelSize* pagedims);
/* The configuration of an open file. */
kelFileConfig* kelFileConfigFile(kelFile* file);
void kelFileConfigDelete(kelFileConfig* _x);
void kelFileConfigReset(kelFileConfig* _x);
void kelFileConfigSetDimensions(kelFileConfig* _x, const kelSize* imagedims);
void kelFileConfigSetDataType(kelFileConfig* _x, kelDataType datatype);
void kelFileConfigSetOrder(kelFileConfig* _x, kelOrder dimensionorder);
void kelFileConfigSetColorModel(kelFileConfig* _x, kelColorModel colormodel);
void kelFileConfigSetOrientation(kelFileConfig* _x, kelOrientation orientation);
void kelFileConfigSetCompression(kelFileConfig* _x, kelCompression compression);
void kelFileConfigSetPageDimensions(kelFileConfig* _x, const kelSize* pagedims);
void kelFileConfigGetDimensions(kelFileConfig* _x, kelSize* imagedims);
void kelFileConfigGetPageDimensions(kelFileConfig* _x, kelSize* pagedims);
/* The configuration's own sizes, valid as long as it. */
const kelSize* kelFileConfigGetDimensionsPtr(kelFileConfig* _x);
const kelSize* kelFileConfigGetPageDimensionsPtr(kelFileConfig* _x);
/* Sizes with x and y exchanged for a transposed orientation. */
void kelFileConfigGetSize(kelFileConfig* _x, kelSize* imagesize);
void kelFileConfigGetPageSize(kelFileConfig* _x, kelSize* pagesize);
kelDataType kelFileConfigGetDataType(kelFileConfig* _x);
kelOrder kelFileConfigGetOrder(kelFileConfig* _x);
kelColorModel kelFileConfigGetColorModel(kelFileConfig* _x);
kelOrientation kelFileConfigGetOrientation(kelFileConfig* _x);
kelCompression kelFileConfigGetCompression(kelFileConfig* _x);
int kelFileConfigAreDimensionsDefaulted(kelFileConfig* _x);
int kelFileConfigArePageDimensionsDefaulted(kelFileConfig* _x);
int kelFileConfigIsDataTypeDefaulted(kelFileConfig* _x);
int kelFileConfigIsOrderDefaulted(kelFileConfig* _x);
int kelFileConfigIsColorModelDefaulted(kelFileConfig* _x);
int kelFileConfigIsOrientationDefaulted(kelFileConfig* _x);
int kelFileConfigIsCompressionDefaulted(kelFileConfig* _x);

/* Parsed file names. */
kelFileDesc* kelFileDescCreate(const char* name, kelFormat* format);
kelFileDesc* kelFileDescPreParsed(const char* fileName, int index, const char* formatName,
                                  const char* formatSpecific);
kelFileDesc* kelFileDescFullyParsed(const char* fileName, int index, kelFormat* format,
                                    const char* formatSpecific);
void kelFileDescDelete(kelFileDesc* _x);
kelStatus kelFileDescGetStatus(kelFileDesc* _x);
char* kelFileDescGetFileName(kelFileDesc* _x);
int kelFileDescGetFileDesc(kelFileDesc* _x);
void kelFileDescSetFileDesc(kelFileDesc* _x, int filedesc);
int kelFileDescGetIndex(kelFileDesc* _x);
kelFormat* kelFileDescGetFormat(kelFileDesc* _x);
char* kelFileDescGetFormatName(kelFileDesc* _x);
char* kelFileDescGetFormatSpecific(kelFileDesc* _x);

/* Formats. A non-zero openDSOifNecessary loads the format's plug-in. */
kelFormat* kelFormatFindNext(int* index, int openDSOifNecessary);
kelFormat* kelFormatFindByMagic(int fd, int openDSOifNecessary);
kelFormat* kelFormatFindByFormatName(const char* formatName, int openDSOifNecessary);
kelFormat* kelFormatFindByFileName(const char* fileName, int noMatchRule, int openDSOifNecessary);
char* kelFormatGetName(kelFormat* _x);
/* Null (false) for a format that has no database entry. */
char* kelFormatGetDefaultSuffix(kelFormat* _x);
char* kelFormatGetDescription(kelFormat* _x);
int kelFormatAccessModeIsSupported(kelFormat* _x, int mode);
int kelFormatHaveDSOVersion(kelFormat* _x, int major, int minor);
kelTagDescription* kelFormatGetTagDescriptions(kelFormat* _x, int* count);
int kelFormatTypeIsSupported(kelFormat* _x, kelDataType type);
int kelFormatOrderIsSupported(kelFormat* _x, kelOrder order);
int kelFormatOrientationIsSupported(kelFormat* _x, kelOrientation orientation);
int kelFormatColorModelIsSupported(kelFormat* _x, kelColorModel colormodel);
int kelFormatCompressionIsSupported(kelFormat* _x, kelCompression compression);
int kelFormatSizeIsSupported(kelFormat* _x, int width, int height, int z, int c, kelOrientation orientation);
int kelFormatPagingIsSupported(kelFormat* _x);
int kelFormatPageSizeIsSupported(kelFormat* _x, int iWidth, int iHeight, int iz, int ic, int pWidth, int pHeight,
                                 int pz, int pc, kelOrientation orientation);
int kelFormatRandomAccessReadIsSupported(kelFormat* _x);
int kelFormatRandomAccessWriteIsSupported(kelFormat* _x);
kelDataType kelFormatGetPreferredType(kelFormat* _x);
kelOrder kelFormatGetPreferredOrder(kelFormat* _x);
kelOrientation kelFormatGetPreferredOrientation(kelFormat* _x);
kelColorModel kelFormatGetPreferredColorModel(kelFormat* _x, int nc);
kelCompression kelFormatGetPreferredCompression(kelFormat* _x);
/* The outputs come in holding the values known so far (0 where open). */
void kelFormatGetPreferredPageSize(kelFormat* _x, int iWidth, int iHeight, int iz, int ic, int* pWidth,
                                   int* pHeight, int* pz, int* pc, kelOrientation orientation);
/* Decide every field of config still 0, from source where given, else from
   the format's preferences. */
kelStatus kelFormatApplyDefaults(kelFormat* _x, kelFile* source, kelFileConfig* config);
kelStatus kelFormatApplyDefaultsConfig(kelFormat* _x, kelFileConfig* source, kelFileConfig* config);

/* Database entries; they live until the process ends. */
kelDatabase* kelDatabaseFindNext(int* index);
kelDatabase* kelDatabaseFindByFormatName(const char* formatName);
kelDatabase* kelDatabaseFindByFileName(const char* fileName, int noMatchRule);
kelDatabase* kelDatabaseFindByMagic(int fd);
char* kelDatabaseGetName(kelDatabase* _x);
char* kelDatabaseGetDescription(kelDatabase* _x);
char* kelDatabaseGetDSOName(kelDatabase* _x);
char* kelDatabaseGetInstSubSystem(kelDatabase* _x);
char* kelDatabaseGetDefaultSuffix(kelDatabase* _x);
/* True when mode is the entry's access mode or the entry's is read-write. */
int kelDatabaseAccessModeIsSupported(kelDatabase* _x, int mode);
kelFormat* kelDatabaseGetFormat(kelDatabase* _x, int openDSOifNecessary);

/* Channel configurations: the layout of a caller's buffer for one tile.
   chanList is borrowed and must outlive the configuration. */
kelConfig* kelConfigCreate(kelDataType type, kelOrder ord, int nchan, int* chanList, int chanOff,
                           kelOrientation ori);
void kelConfigDelete(kelConfig* _x);

/* Lookup tables. */
kelLut* kelLutCreate(int numChan, kelDataType dtype, double min, double max, int length);
/* Over the caller's table, which must outlive the lookup table. */
kelLut* kelLutNoAlloc(void* table, int numChan, kelDataType dtype, double min, double max, int length);
kelLut* kelLutCopy(const kelLut* other);
/* Also releases colormaps. */
void kelLutDelete(kelLut* _x);
int kelLutGetNumChans(kelLut* _x);
kelDataType kelLutGetDataType(kelLut* _x);
int kelLutGetLength(kelLut* _x);
void* kelLutGetData(kelLut* _x);
void kelLutSetData(kelLut* _x, void* data);
void* kelLutGetChan(kelLut* _x, int chan);
void* kelLutGetOrigin(kelLut* _x, int chan);
void kelLutGetDomain(kelLut* _x, double* min, double* max);
double kelLutGetDomainMin(kelLut* _x);
double kelLutGetDomainMax(kelLut* _x);
double kelLutGetDomainStep(kelLut* _x);
kelStatus kelLutSetDomain(kelLut* _x, double min, double max);
void kelLutGetRange(kelLut* _x, double* min, double* max);
double kelLutGetVal(kelLut* _x, double domainIdx, int chan);
kelStatus kelLutSetVal(kelLut* _x, double val, double domainIdx, int chan);
int kelLutIsDiff(kelLut* _x, const kelLut* from);

/* Colormaps: palettes over the indices min ... max. */
kelColormap* kelColormapCreate(int numChan, kelDataType dtype, int min, int max);
kelColormap* kelColormapNoAlloc(void* table, int numChan, kelDataType dtype, int min, int max);
kelORNColormap* kelORNColormapCreate(void);

/* Pixel values. */
kelPixel* kelPixelCreate(kelDataType type, int nc, const void* data);
kelPixel* kelPixelPixCreate(const kelPixel* pix);
void kelPixelDelete(kelPixel* _x);
void kelPixelSet(kelPixel* _x, kelDataType type, int nc, const void* data);
void kelPixelConvert(kelPixel* _x, const kelPixel* pix, kelDataType toType, int nc, int* chanList);
double kelPixelGetElem(kelPixel* _x, int index);
void kelPixelSetElem(kelPixel* _x, double val, int index);
double kelPixelMin(kelPixel* _x);
double kelPixelMax(kelPixel* _x);
int kelPixelGetNumChans(kelPixel* _x);
kelDataType kelPixelGetDataType(kelPixel* _x);
void* kelPixelGetData(kelPixel* _x);

/* Tags: the values of one described tag. */
kelTag* kelTagFromDesc(kelTagDescription* desc);
void kelTagDelete(kelTag* _x);
void kelTagInit(kelTag* _x, kelTagDescription* desc);
int kelTagGetType(kelTag* _x);
int kelTagGetCount(kelTag* _x);
void* kelTagGetValue(kelTag* _x);
kelStatus kelTagRead(kelTag* _x, kelFile* file);
kelStatus kelTagWrite(kelTag* _x, kelFile* file);
/* The values as text separated by ", "; str must be large enough. */
kelStatus kelTagEncode(kelTag* _x, char* str);
kelStatus kelTagDecode(kelTag* _x, const char* str);

/* Quantization: a colormap chosen for pixels added in strips, then the
   pixels mapped to its indices row by row. The colormap belongs to the
   quantizer; a dither object must not outlive its quantizer. */
kelQuantizer* kelQuantizerCreate(int maxColors, kelQuantizeAlpha alpha);
void kelQuantizerDelete(kelQuantizer* _x);
kelStatus kelQuantizerAddPixels(kelQuantizer* _x, const void* data, kelDataType type, int nc, size_t count,
                                double maxValue);
kelStatus kelQuantizerBuild(kelQuantizer* _x);
kelStatus kelQuantizerSetColormap(kelQuantizer* _x, const kelColormap* map);
const kelColormap* kelQuantizerGetColormap(kelQuantizer* _x);
int kelQuantizerGetTransparentIndex(kelQuantizer* _x);
kelDither* kelDitherCreate(kelQuantizer* quantizer, kelDitherMethod method, int width);
void kelDitherDelete(kelDither* _x);
kelStatus kelDitherMapRows(kelDither* _x, const void* data, kelDataType type, int nc, int rows,
                           unsigned char* indices, double maxValue);

/* Frames of an animation as shown; the file must outlive the composer. */
kelFrameComposer* kelFrameComposerCreate(kelFile* file);
void kelFrameComposerDelete(kelFrameComposer* _x);
kelStatus kelFrameComposerInit(kelFrameComposer* _x);
int kelFrameComposerGetNumFrames(kelFrameComposer* _x);
int kelFrameComposerGetCanvasWidth(kelFrameComposer* _x);
int kelFrameComposerGetCanvasHeight(kelFrameComposer* _x);
int kelFrameComposerGetLoopCount(kelFrameComposer* _x);
int kelFrameComposerHasTransparency(kelFrameComposer* _x);
kelStatus kelFrameComposerGetFrameInfo(kelFrameComposer* _x, int frame, kelFrameInfo* info);
/* rgba: canvas width x height x 4 bytes, top row first. */
kelStatus kelFrameComposerCompose(kelFrameComposer* _x, int frame, unsigned char* rgba);

#ifdef __cplusplus
}
#endif

#endif
