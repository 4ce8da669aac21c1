#!/usr/bin/env bash
# scripts/lint-layout over a fixture tree whose subfolder files break each rule once (a folder's
# file includes one of a folder above it; a portable file includes the system): exactly those
# findings, and a failed exit. The platform twin beside them (win32/) may include the system and
# any floor.
set -u
here=$(dirname -- "$(realpath -- "${BASH_SOURCE[0]}")")
output=$("$here/../../scripts/lint-layout" "$here/fixture")
status=$?
expected='  layout: companion/query/low.cpp includes companion/scite/high.h, from scite, not a floor below query
  layout: companion/scite/high.cpp includes a system header directly: #include <unistd.h>
==== layout: 4 portable files, 2 findings'
if [ "$status" -ne 1 ] || [ "$output" != "$expected" ]; then
  printf 'lint-layout exited %s and said:\n%s\nbut should exit 1 and say:\n%s\n' "$status" "$output" \
    "$expected"
  exit 1
fi
echo "lint-layout: both findings in the fixture, nothing more"
