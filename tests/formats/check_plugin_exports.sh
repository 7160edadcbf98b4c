#!/usr/bin/env bash
# Checks that format plug-ins export no symbol at all. The loader looks none
# up: loading runs a plug-in's static constructors, and its format object
# registers with the core from there.
# usage: check_plugin_exports.sh PLUGIN...
set -euo pipefail
[ $# -gt 0 ] || { echo "check_plugin_exports: no plug-in named" >&2; exit 1; }
status=0
for plugin in "$@"; do
  exported=$(nm -D --defined-only "$plugin" | awk '{ print $3 }')
  [ -z "$exported" ] || { echo "check_plugin_exports: $plugin exports:" $exported >&2; status=1; }
done
[ $status -ne 0 ] || echo "check_plugin_exports: $# plug-ins export nothing"
exit $status
