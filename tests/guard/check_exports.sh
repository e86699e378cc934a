#!/usr/bin/env bash
# The library exports exactly the names listed in exports/*.txt.
set -euo pipefail
lib=$1 dir=$2
expected=$(mktemp) actual=$(mktemp)
trap 'rm -f "$expected" "$actual"' EXIT
cat "$dir"/*.txt | sed 's/#.*//; s/[[:space:]]//g' | grep -v '^$' | sort -u > "$expected"
# Sanitizer builds add their own instrumentation symbols.
nm -D --defined-only "$lib" | awk '{print $NF}' | grep -v -E '^__(odr_asan|asan|ubsan|sanitizer)' | sort -u > "$actual"
if ! diff -u "$expected" "$actual" > /dev/null; then
  echo "exported symbols differ from the list (- listed only, + exported only):"
  diff -u "$expected" "$actual" | grep -E '^[-+][^-+]' || true
  exit 1
fi
echo "exports: $(wc -l < "$actual") names, as listed"
