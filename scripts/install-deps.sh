#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# With --fuzz, also clang++ and its libFuzzer runtime, for fuzz/run.sh.
set -euo pipefail
packages=(cmake ninja-build g++ make python3 libgtest-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  gemmi groff-base pkg-config libxml2-utils)
# gemmi: the independent CIF reader the dump is compared with; groff-base
# checks the man pages; pkg-config, the install check's consumer; xmllint
# checks that the XML written is well-formed.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
