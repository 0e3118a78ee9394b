#!/usr/bin/env bash
# The include graph between the folders of src/: one line per edge, "from -> to  N" with the
# number of #include lines that make it, then the lines of code per folder, then the folders
# that stand in a circle. Exits 1 when there is a circle, 0 when the folders form layers.
# Usage: tools/include-graph.sh [SRC_DIR]   (default: src)
set -euo pipefail
cd "$(dirname "$0")/.."
src=${1:-src}

# Every quoted include of a file in one folder naming a file in another: "from to".
edges=$(
  find "$src" -mindepth 2 \( -name '*.cpp' -o -name '*.h' \) | sort | while read -r file; do
    from=${file#"$src"/}
    from=${from%%/*}
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/[^"]*".*/\1/p' "$file" |
      while read -r to; do
        [ "$to" != "$from" ] && [ -d "$src/$to" ] && echo "$from $to"
      done
  done
)

echo "Includes between folders:"
if [ -n "$edges" ]; then
  echo "$edges" | sort | uniq -c | awk '{printf "  %-8s -> %-8s %4d\n", $2, $3, $1}'
fi
echo "Lines of code per folder:"
for dir in "$src"/*/; do
  name=$(basename "$dir")
  lines=$(find "$dir" \( -name '*.cpp' -o -name '*.h' \) | xargs -r cat | wc -l)
  printf "  %-8s %6d\n" "$name" "$lines"
done

# A folder stands in a circle when it reaches itself. The graph is small: each folder's
# reach is found by walking the edges until nothing new turns up.
folders=$(find "$src" -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
circled=""
for start in $folders; do
  reached=" "
  frontier="$start"
  while [ -n "$frontier" ]; do
    next=""
    for node in $frontier; do
      for to in $(echo "$edges" | awk -v n="$node" '$1 == n {print $2}' | sort -u); do
        case "$reached" in *" $to "*) ;; *) reached="$reached$to "; next="$next $to" ;; esac
      done
    done
    frontier=$next
  done
  case "$reached" in *" $start "*) circled="$circled $start" ;; esac
done
if [ -n "$circled" ]; then
  echo "Folders in a circle:$circled"
  exit 1
fi
echo "No circle between folders."
