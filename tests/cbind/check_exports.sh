#!/usr/bin/env bash
# Checks that a C binding library exports every function that ckel.h
# declares under its plain name, and no plain-named function that it does not.
# usage: check_exports.sh INCLUDEDIR LIBRARY [CC]
set -euo pipefail
incdir=$1 library=$2 cc=${3:-cc}

# The declarations of ckel.h itself, not of the headers it includes: the
# preprocessor's line markers tell which file each line comes from.
declared=$("$cc" -E -x c -I"$incdir" "$incdir/kel/ckel.h" |
  awk '/^# [0-9]+ "/ { own = ($3 ~ /\/ckel\.h"$/); next } own' |
  tr '\n' ' ' | grep -o 'kel[A-Za-z0-9_]* *(' | tr -d ' (' | sort -u)
exported=$(nm -D --defined-only "$library" | awk '$2 == "T" && $3 !~ /^_Z/ { print $3 }' | sort -u)

[ -n "$declared" ] || { echo "check_exports: no function found in $incdir/kel/ckel.h" >&2; exit 1; }
missing=$(comm -23 <(echo "$declared") <(echo "$exported"))
extra=$(comm -13 <(echo "$declared") <(echo "$exported"))
[ -z "$missing" ] || echo "check_exports: declared in ckel.h but not exported from $library:" $missing >&2
[ -z "$extra" ] || echo "check_exports: exported from $library but not declared in ckel.h:" $extra >&2
[ -z "$missing" ] && [ -z "$extra" ] || exit 1
echo "check_exports: $(wc -l <<<"$declared") functions declared and exported"
