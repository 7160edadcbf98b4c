// Umbrella header: the whole public interface of the core library.
#ifndef KEL_KEL_H
#define KEL_KEL_H

#include <kel/kelBMPFile.h>
#include <kel/kelClassList.h>
#include <kel/kelColor.h>
#include <kel/kelColormap.h>
#include <kel/kelConfig.h>
#include <kel/kelConvIter.h>
#include <kel/kelConverter.h>
#include <kel/kelCoord.h>
#include <kel/kelDataSize.h>
#include <kel/kelDatabase.h>
#include <kel/kelDictionary.h>
#include <kel/kelDither.h>
#include <kel/kelError.h>
#include <kel/kelErrorHandler.h>
#include <kel/kelFITFile.h>
#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFileDesc.h>
#include <kel/kelFormat.h>
#include <kel/kelFrameComposer.h>
#include <kel/kelGIFFile.h>
#include <kel/kelHashTable.h>
#include <kel/kelJPEGFile.h>
#include <kel/kelLimits.h>
#include <kel/kelList.h>
#include <kel/kelLut.h>
#include <kel/kelORNColormap.h>
#include <kel/kelOrientation.h>
#include <kel/kelPNGFile.h>
#include <kel/kelPixel.h>
#include <kel/kelQuantizer.h>
#include <kel/kelReadOnlyFormat.h>
#include <kel/kelStatus.h>
#include <kel/kelTIFFFile.h>
#include <kel/kelTag.h>
#include <kel/kelTagDescription.h>
#include <kel/kelTile.h>
#include <kel/kelTileIter.h>
#include <kel/kelTypeNames.h>
#include <kel/kelTypes.h>
#include <kel/kelWEBPFile.h>
#include <kel/kelXBMFile.h>

// The C binding's functions (library ckel0).
#include <kel/ckel.h>

#endif
