#!/usr/bin/env bash
# Installs the built library into a temporary prefix and uses it as a user
# would: a project found through the CMake package and through pkg-config,
# the standard BLAS names, and the Debian package's alternatives
# registration, tried against a temporary root rather than the machine's.
#   install_test.sh <build dir> <source dir>
set -euo pipefail
build=$1 src=$2
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$t/prefix" > "$t/install.log"
lib=$(find "$t/prefix" -name libzem_t1.so -type f)
[ -n "$lib" ] || fail "library not installed"
libdir=$(dirname "$lib")
soname=$(readelf -d "$lib" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[ "$soname" = libzem_t1.so ] || fail "soname '$soname'"
# The standard names: libblas.so.3 loads the library, and a gfortran-built
# program gets its complex dot products by value from it.
[ "$(readlink -f "$libdir/zem/libcblas.so.3")" = "$(readlink -f "$libdir/zem/libblas.so.3")" ] || fail "libcblas.so.3 is not libblas.so.3"
[ "$(ldd "$libdir/zem/libblas.so.3" | awk '$1 == "libzem_t1.so" {print $3}' | xargs readlink -f)" = "$(readlink -f "$lib")" ] \
  || fail "libblas.so.3 does not load the installed library"
cat > "$t/zdot.f90" <<'F90'
complex(8) :: x(2) = [(1d0, 2d0), (3d0, -1d0)], zdotc
print '(2f6.1)', zdotc(2, x, 1, x, 1)
end
F90
if command -v gfortran > /dev/null; then
  gfortran "$t/zdot.f90" -o "$t/zdot" -L"$libdir/zem" -l:libblas.so.3 || fail "gfortran program did not link"
  out=$(LD_LIBRARY_PATH="$libdir/zem" "$t/zdot")
  [ "$(echo $out)" = "15.0 0.0" ] || fail "zdotc through libblas.so.3 gave '$out'"
  echo "gfortran program through libblas.so.3: zdotc = $(echo $out)"
fi
[ -f "$t/prefix/include/zem/zem.h" ] || fail "headers not installed"

mkdir -p "$t/src"
cp "$src/tests/install/consumer/main.c" "$t/src/"
cp "$src/tests/install/consumer/project.cmake" "$t/src/CMakeLists.txt"
expect="ddot = 32"
for how in cmake pkgconfig; do
  opt=-DUSE_PKGCONFIG=OFF
  [ $how = pkgconfig ] && opt=-DUSE_PKGCONFIG=ON
  PKG_CONFIG_PATH="$libdir/pkgconfig" cmake -S "$t/src" -B "$t/$how" \
    -DCMAKE_PREFIX_PATH="$t/prefix" $opt > "$t/$how.log" 2>&1 || { cat "$t/$how.log"; fail "configure ($how)"; }
  cmake --build "$t/$how" > "$t/$how.build.log" 2>&1 || { cat "$t/$how.build.log"; fail "build ($how)"; }
  out=$(LD_LIBRARY_PATH="$libdir" "$t/$how/consumer")
  grep -q "^$expect\$" <<< "$out" || fail "consumer ($how) printed: $out"
  echo "consumer through $how: $expect"
done
flags=$(echo $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs zem))
[ "$flags" = "-I$t/prefix/include/zem -L$libdir -lzem_t1" ] || fail "pkg-config gave '$flags'"

# The Debian package, unpacked into a root of its own.
command -v cpack > /dev/null && command -v dpkg-deb > /dev/null || { echo "no cpack/dpkg-deb: package not tried"; exit 0; }
(cd "$t" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$t/pkg" > "$t/cpack.log" 2>&1) || { cat "$t/cpack.log"; fail "cpack"; }
deb=$(ls "$t"/pkg/*.deb)
root=$t/root
mkdir -p "$root/etc/alternatives" "$root/var/lib/dpkg/alternatives" "$root/usr/lib/x86_64-linux-gnu/blas" "$t/ctl" "$t/bin"
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$t/ctl"
real_ua=$(command -v update-alternatives)
cat > "$t/bin/update-alternatives" <<WRAP
#!/bin/sh
exec $real_ua --root "$root" --log "$t/alternatives.log" "\$@"
WRAP
chmod +x "$t/bin/update-alternatives"
ua() { "$t/bin/update-alternatives" "$@"; }
name=libblas.so.3-x86_64-linux-gnu link=/usr/lib/x86_64-linux-gnu/libblas.so.3
ours=$(sed -n 's/.*--install [^ ]* [^ ]* \([^ ]*\) .*/\1/p' "$t/ctl/postinst")
# A stand-in for the reference BLAS, registered at its usual priority.
touch "$root/usr/lib/x86_64-linux-gnu/blas/libblas.so.3"
ua --install $link $name /usr/lib/x86_64-linux-gnu/blas/libblas.so.3 10 > /dev/null
PATH="$t/bin:$PATH" sh "$t/ctl/postinst" configure
q=$(ua --query $name)
grep -q "^Value: /usr/lib/x86_64-linux-gnu/blas/libblas.so.3$" <<< "$q" || fail "installing the package changed the selection: $q"
grep -A1 "^Alternative: $ours$" <<< "$q" | grep -q "Priority: 5" || fail "ours not registered below the reference: $q"
ua --set $name "$ours" > /dev/null
[ "$(readlink "$root/etc/alternatives/$name")" = "$ours" ] || fail "selecting ours did not take"
PATH="$t/bin:$PATH" sh "$t/ctl/prerm" remove
q=$(ua --query $name)
grep -q "^Alternative: $ours$" <<< "$q" && fail "removing the package left its alternative"
grep -q "^Value: /usr/lib/x86_64-linux-gnu/blas/libblas.so.3$" <<< "$q" || fail "removal did not fall back: $q"
echo "package: registered at priority 5 below the reference, selectable, removed cleanly"
