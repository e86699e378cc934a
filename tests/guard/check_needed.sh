#!/usr/bin/env bash
# The library depends only on the C library, libm and the OpenMP runtime.
set -euo pipefail
lib=$1
allowed='^(libc\.so\.6|libm\.so\.6|libgomp\.so\.1|ld-linux.*)$'
bad=0
while read -r name; do
  if [[ ! $name =~ $allowed ]]; then echo "unexpected dependency: $name"; bad=1; fi
done < <(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
readelf -d "$lib" | grep NEEDED || true
exit $bad
