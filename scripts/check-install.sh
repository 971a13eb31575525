#!/usr/bin/env bash
# What a user of the library meets: installs zatrel (static, then shared) into
# a temporary prefix, moves the prefix, and builds and runs a small consumer
# (tests/install/consumer) against it with find_package and with pkg-config;
# then the same consumer with zatrel as a subdirectory.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
version=$(sed -n 's/^project(zatrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d "${TMPDIR:-/tmp}/zatrel-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
cif=$src/examples/SrTiO3_P4mmm_X1plus_2modes.cif
expected=3.899
export ZORERO=$work/  # the consumer's scratch file

fail() { echo "check-install: $*" >&2; exit 1; }

run_consumer() {  # program, how it was built
  local got
  got=$("$1" "$cif") || fail "$2: the consumer failed"
  [ "$got" = "$expected" ] || fail "$2: _cell_length_a read as '$got', not $expected"
  echo "check-install: $2: ok"
}

check_prefix() {  # prefix, kind
  local p=$1 kind=$2
  for f in include/zatrel/zatrel.hpp bin/cif2str bin/zatrel share/man/man1/zatrel.1 share/man/man1/cif2str.1; do
    [ -e "$p/$f" ] || fail "$kind: $f is not installed"
  done
  for f in "$src"/share/*; do
    [ -f "$f" ] || continue
    case $(basename "$f") in README*|SOURCES*) continue ;; esac
    [ -e "$p/share/zatrel/$(basename "$f")" ] || fail "$kind: share/zatrel/$(basename "$f") is not installed"
  done
  ls "$p"/lib*/cmake/zatrel/zatrelConfigVersion.cmake > /dev/null || fail "$kind: no CMake package version file"
  if grep -rIl -e "$work/build" -e "$src" "$p"; then fail "$kind: installed files name the build or source folder"; fi
  [ "$("$p/bin/cif2str" --version)" = "cif2str $version" ] || fail "$kind: cif2str --version"
  [ "$("$p/bin/zatrel" --version)" = "zatrel $version" ] || fail "$kind: zatrel --version"
}

check_shared_library() {  # prefix
  local lib
  lib=$(ls "$1"/lib*/libzatrel.so)
  readelf -d "$lib" | grep -q "SONAME.*libzatrel.so.${version%.*}\]" || fail "shared: SONAME is not libzatrel.so.${version%.*}"
  # Only the toolbox's public face: names in namespace zatrel.
  local others
  others=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt |
    grep -v -e '^zatrel::' -e '^typeinfo for zatrel::' -e '^typeinfo name for zatrel::' -e '^vtable for zatrel::' || true)
  [ -z "$others" ] || fail "shared: symbols exported besides the public ones:
$others"
  echo "check-install: shared: SONAME and exported symbols ok"
}

for kind in static shared; do
  shared=OFF
  [ $kind = shared ] && shared=ON
  cmake -S "$src" -B "$work/build-$kind" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=$shared \
    -DZATREL_TESTS=OFF -DZATREL_BENCH=OFF -DZATREL_WERROR=ON > /dev/null
  cmake --build "$work/build-$kind" -j 2 > /dev/null
  cmake --install "$work/build-$kind" --prefix "$work/installed" > /dev/null
  # An installed tree works wherever it is moved.
  prefix=$work/prefix-$kind
  mv "$work/installed" "$prefix"
  check_prefix "$prefix" $kind
  [ $kind = shared ] && check_shared_library "$prefix"

  cmake -S tests/install/consumer -B "$work/find-$kind" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
  cmake --build "$work/find-$kind" > /dev/null
  run_consumer "$work/find-$kind/cell_a" "find_package, $kind"

  pc_dir=$(dirname "$(ls "$prefix"/lib*/pkgconfig/zatrel.pc)")
  [ "$(PKG_CONFIG_PATH=$pc_dir pkg-config --modversion zatrel)" = "$version" ] || fail "pkg-config: wrong version"
  # shellcheck disable=SC2046
  c++ -o "$work/pc-$kind" tests/install/consumer/cell_a.cpp \
    $(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs zatrel)
  LD_LIBRARY_PATH=$(dirname "$pc_dir") run_consumer "$work/pc-$kind" "pkg-config, $kind"
done

# As a subdirectory, with the toolbox's warnings as errors: none of its flags
# reach the consumer, whose code warns under -Wextra.
cmake -S tests/install/consumer -B "$work/subdirectory" -G Ninja -DZATREL_SOURCE="$src" -DZATREL_WERROR=ON \
  -DCMAKE_CXX_FLAGS=-Wextra > /dev/null
cmake --build "$work/subdirectory" -j 2 > /dev/null
run_consumer "$work/subdirectory/cell_a" "add_subdirectory"
