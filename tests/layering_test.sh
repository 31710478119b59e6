#!/usr/bin/env bash
# The folders include each other one way only: each may include itself and
# the layers below it (`allowed`); bench and tests may include anything.
# Usage: layering_test.sh [SOURCE_DIR].
set -u
root="${1:-$(dirname "$0")/..}"
cd "$root" || exit 2

declare -A allowed=(
  [core]=""
  [sky]="core"
  [sampling]="core sky"
  [terrain]="core sky"
  [display]="core sky sampling terrain"
  [app]="core sky sampling terrain display"
  [tools]="core sky sampling terrain app"
)

edges=$(for from in core sky sampling terrain display app tools bench tests; do
  [ -d "$from" ] || continue
  grep -rhoE '^#include "[a-z]+/' --include='*.h' --include='*.cpp' "$from" |
    sed -E 's/^#include "([a-z]+)\/$/\1/' | grep -vx "$from" | sed "s/^/$from /"
done | sort | uniq -c)

bad=0
while read -r count from to; do
  [ -n "${from:-}" ] || continue
  case "$from" in bench | tests) continue ;; esac
  if [[ " ${allowed[$from]} " != *" $to "* ]]; then
    echo "$from/ includes $to/ ($count times):"
    grep -rnE "^#include \"$to/" --include='*.h' --include='*.cpp' "$from" | sed 's/^/  /'
    bad=1
  fi
done <<<"$edges"
[ "$bad" = 0 ] && echo "every include goes down the layers"
exit "$bad"
