// kelinfo's readable output: aligned columns and labelled fields.
#ifndef KEL_INFO_TABLE_H
#define KEL_INFO_TABLE_H

#include <stdio.h>

#include <nlohmann/json.hpp>

// One row per format under a header line.
void kelInfoPrintFormats(FILE* out, const nlohmann::json& formats);
// A heading with the format, then one block of labelled fields per image.
void kelInfoPrintFile(FILE* out, const nlohmann::json& file);

#endif
