#!/usr/bin/env bash
# Builds one fuzz target (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) if
# needed and runs it for SECONDS with its seed corpus and dictionary:
#   fuzz/run.sh fuzz_desktop_entry 600
#   fuzz/run.sh desktop-entry 600          # the corpus folder's name works too
# New inputs go to build/fuzz/corpus/<name> (the seed corpus in the repository stays as it is);
# a crash or a broken invariant leaves its input in build/fuzz/findings/<name>/. To keep one as a
# regression case, copy it into fuzz/corpus/<name>/. Extra arguments go to the fuzzer
# (for example -jobs=2 -workers=2).
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# < 2)); then
  echo "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
name=${1#fuzz_}
name=${name//_/-}
target=fuzz_${name//-/_}
seconds=$2
shift 2
if [[ ! -d fuzz/corpus/$name ]]; then
  echo "fuzz/run.sh: no target $target (no folder fuzz/corpus/$name)" >&2
  exit 2
fi

compiler=$(command -v clang++-14 || command -v clang++ || true)
if [[ -z $compiler ]]; then
  echo "fuzz/run.sh: the fuzz targets need clang++ (Debian: apt-get install clang)" >&2
  exit 2
fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
build=build/fuzz
if [[ ! -f $build/build.ninja ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_C_COMPILER="${compiler/clang++/clang}" -DVANTLO_FUZZ=ON -DVANTLO_DESKTOP=OFF \
    -DVANTLO_TESTS=OFF -DVANTLO_BENCH=OFF -DVANTLO_WERROR=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target "$target"

work=$build/corpus/$name
findings=$build/findings/$name
mkdir -p "$work" "$findings"
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
  -artifact_prefix="$findings/" -print_final_stats=1)
if [[ -f fuzz/$name.dict ]]; then
  options+=(-dict="fuzz/$name.dict")
fi
exec "$build/fuzz/$target" "${options[@]}" "$@" "$work" "fuzz/corpus/$name"
