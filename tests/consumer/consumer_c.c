/* The C-linkage helpers from a C program. */
#include <stdio.h>
#include <string.h>

#include <kel/kelColor.h>
#include <kel/kelDataSize.h>
#include <kel/kelStatus.h>
#include <kel/kelTypeNames.h>

int main(void)
{
    char buf[64];
    int ok = strcmp(kelStatusToString(kelOPENFAILED, buf, sizeof buf), "File open failed") == 0 &&
             kelDataSize(kelShort, 3) == 6 && kelColorModelChans(kelCMYK) == 4 &&
             strcmp(kelCompressionName(kelPACKBITS), "Mac-RLE") == 0 &&
             kelDataClosestType(kelShort, kelUShort | kelInt, 0) == kelInt;
    if (ok)
        printf("consumer_c: kel works from C\n");
    return ok ? 0 : 1;
}
