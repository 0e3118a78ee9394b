#!/usr/bin/env bash
# The include graph between folders: counts the includes of each edge (a folder's own are not
# edges), passes layers, and names every folder of a circle with exit status 1.
# Usage: include_graph_test.sh SOURCE_DIR
set -u
graph=$1/tools/include-graph.sh
fail() { echo "FAIL: $*" >&2; exit 1; }
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/a" "$tree/b" "$tree/c" "$tree/d"
printf '#include "b/y.h"\n#include "b/y.h"\n#include "a/own.h"\n#include <vector>\n' >"$tree/a/x.cpp"
printf '#include "c/z.h"\n' >"$tree/b/y.h"
: >"$tree/c/z.h"
: >"$tree/d/alone.h"
out=$("$graph" "$tree" 2>&1); status=$?
[ $status -eq 0 ] || fail "layers: exit status $status: $out"
echo "$out" | grep -Eq '^  a +-> b +2$' || fail "a -> b counted twice: $out"
echo "$out" | grep -Eq '^  b +-> c +1$' || fail "b -> c: $out"
echo "$out" | grep -q -- '-> a' && fail "a folder's own include is no edge: $out"
echo "$out" | grep -q "^No circle between folders.$" || fail "layers: $out"
printf '#include "a/x.h"\n' >"$tree/c/w.cpp"
out=$("$graph" "$tree" 2>&1); status=$?
[ $status -eq 1 ] || fail "circle: exit status $status: $out"
echo "$out" | grep -q "^Folders in a circle: a b c$" || fail "circle: $out"
echo "include graph ok"
