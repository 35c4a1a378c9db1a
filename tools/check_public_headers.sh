#!/usr/bin/env bash
# Checks the installed headers' boundary: every header under PREFIX/include/CfgSIDLServices compiles on
# its own as a consumer includes it (<CfgSIDLServices/X.h>), and none includes a header of ours that is
# not installed.
#   tools/check_public_headers.sh PREFIX [COMPILER]
set -euo pipefail
prefix=$1
cxx=${2:-c++}
dir=$prefix/include/CfgSIDLServices
[ -d "$dir" ] || { echo "no installed headers in $dir" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
count=0
for header in "$dir"/*.h; do
  name=$(basename "$header")
  count=$((count + 1))
  # Our own includes are written with quotes; each must be an installed header.
  while read -r included; do
    if [ ! -f "$dir/$included" ]; then
      echo "$name includes \"$included\", which is not installed" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$header")
  printf '#include <CfgSIDLServices/%s>\n' "$name" > "$work/$name.cpp"
  if ! "$cxx" -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I"$prefix/include" "$work/$name.cpp" 2>"$work/$name.err"; then
    echo "$name does not compile on its own:" >&2
    head -n 20 "$work/$name.err" >&2
    status=1
  fi
done
echo "public headers checked: $count"
exit $status
