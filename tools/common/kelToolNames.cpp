#include "kelToolNames.h"

#include <strings.h>

#include <kel/kelTypes.h>

const kelToolName kelToolDataTypes[] = {
    {kelBit, "bit"},     {kelUChar, "uchar"},   {kelChar, "char"},   {kelUShort, "ushort"},
    {kelShort, "short"}, {kelUInt, "uint"},     {kelInt, "int"},     {kelFloat, "float"},
    {kelDouble, "double"}, {kelUChar, "u8"},    {kelChar, "i8"},     {kelUShort, "u16"},
    {kelShort, "i16"},   {kelUInt, "u32"},      {kelInt, "i32"},     {kelFloat, "f32"},
    {kelDouble, "f64"},  {0, nullptr}};

const kelToolName kelToolOrders[] = {
    {kelInterleaved, "interleaved"}, {kelSequential, "sequential"}, {kelSeparate, "separate"},
    {kelSeparate, "planar"}, {0, nullptr}};

// The two-letter aliases are the Raw format's own keywords.
const kelToolName kelToolOrientations[] = {
    {kelUpperLeftOrigin, "upper-left"},   {kelUpperRightOrigin, "upper-right"},
    {kelLowerRightOrigin, "lower-right"}, {kelLowerLeftOrigin, "lower-left"},
    {kelLeftUpperOrigin, "left-upper"},   {kelRightUpperOrigin, "right-upper"},
    {kelRightLowerOrigin, "right-lower"}, {kelLeftLowerOrigin, "left-lower"},
    {kelUpperLeftOrigin, "tl"},  {kelUpperRightOrigin, "tr"}, {kelLowerRightOrigin, "br"},
    {kelLowerLeftOrigin, "bl"},  {kelLeftUpperOrigin, "lt"},  {kelRightUpperOrigin, "rt"},
    {kelRightLowerOrigin, "rb"}, {kelLeftLowerOrigin, "lb"},  {0, nullptr}};

const kelToolName kelToolColorModels[] = {
    {kelLuminance, "luminance"}, {kelLuminanceAlpha, "luminance-alpha"}, {kelNegative, "negative"},
    {kelRGBPalette, "palette"},  {kelRGB, "rgb"},       {kelRGBA, "rgba"},  {kelHSV, "hsv"},
    {kelCMY, "cmy"},             {kelCMYK, "cmyk"},     {kelBGR, "bgr"},    {kelABGR, "abgr"},
    {kelYCC, "ycc"},             {kelMultiSpectral, "multispectral"},
    {kelLuminance, "gray"},      {kelLuminance, "grey"}, {kelLuminanceAlpha, "luminancealpha"},
    {kelLuminanceAlpha, "la"},   {0, nullptr}};

const kelToolName kelToolCompressions[] = {
    {kelNoCompression, "none"}, {kelORNRLE, "ornrle"}, {kelCCITTFAX3, "ccittfax3"},
    {kelCCITTFAX4, "ccittfax4"}, {kelLZW, "lzw"},      {kelJPEG, "jpeg"},
    {kelPACKBITS, "packbits"},   {kelZIP, "zip"},      {kelZIP, "deflate"},
    {kelZSTD, "zstd"},           {kelLZMA, "lzma"},    {kelWEBP, "webp"},
    {kelWEBPLossless, "webp-lossless"}, {0, nullptr}};

int kelToolLookup(const kelToolName* table, const char* keyword)
{
    for (const kelToolName* row = table; row->name; ++row)
        if (strcasecmp(row->name, keyword) == 0)
            return row->value;
    return 0;
}

const char* kelToolNameOf(const kelToolName* table, int value)
{
    for (const kelToolName* row = table; row->name; ++row)
        if (row->value == value)
            return row->name;
    return "unknown";
}

std::string kelToolKeywords(const kelToolName* table)
{
    std::string list;
    for (const kelToolName* row = table; row->name; ++row)
        if (kelToolNameOf(table, row->value) == row->name) // the first row of its value
            list += (list.empty() ? "" : ", ") + std::string(row->name);
    return list;
}
