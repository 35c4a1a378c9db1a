#!/usr/bin/env bash
# Checks the installed headers' boundary: every header under PREFIX/include/CfgSIDLServices compiles on
# its own as a consumer includes it (<CfgSIDLServices/X.h>), and none includes a header of ours that is
# not installed; and every symbol the installed libraries export is named in an installed header.
# And the weight of the headers: a one-line source including <CfgSIDLServices/KroCfgSOFactory.h>
# preprocesses (line markers kept) to at most KRO_MAX_PREPROCESSED_LINES lines (default 50 000).
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

# Every client pays for what the factory's header pulls in: keep it to the standard headers it needs.
limit=${KRO_MAX_PREPROCESSED_LINES:-50000}
printf '#include <CfgSIDLServices/KroCfgSOFactory.h>\n' > "$work/weight.cpp"
lines=$("$cxx" -std=c++20 -E -I"$prefix/include" "$work/weight.cpp" | wc -l)
echo "preprocessed lines of <CfgSIDLServices/KroCfgSOFactory.h>: $lines (limit $limit)"
if [ "$lines" -gt "$limit" ]; then
  echo "<CfgSIDLServices/KroCfgSOFactory.h> preprocesses to $lines lines, more than $limit" >&2
  status=1
fi

# Exported functions and data: the class or function each belongs to must be named in an installed
# header. The standard library's template instances and the compiler's inline statics (weak and
# unique symbols) are not ours to name.
cat "$dir"/*.h > "$work/headers.txt"
exported=0
for library in "$prefix"/lib*/libKroPlatform.so "$prefix"/lib*/libCfgSIDLServices.so; do
  [ -f "$library" ] || { echo "no installed library $library" >&2; status=1; continue; }
  while read -r owner; do
    exported=$((exported + 1))
    if ! grep -qw -- "$owner" "$work/headers.txt"; then
      echo "$(basename "$library") exports $owner, which no installed header names" >&2
      status=1
    fi
  done < <(nm -D --defined-only -C "$library" | awk '$2 ~ /^[TDBR]$/ { $1 = ""; $2 = ""; print }' |
           sed -E 's/^ +//; s/^(typeinfo name for|typeinfo for|vtable for|VTT for|virtual thunk to|non-virtual thunk to) //; s/\[abi:cxx11\]//g; s/\(.*//; s/<.*//; s/::[^:]*$//' |
           grep -v -e '^std::' -e '^_' | sort -u)
done
echo "exported names checked: $exported"
exit $status
