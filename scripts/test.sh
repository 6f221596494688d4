#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. format check of every C++ file (fails on drift before anything builds);
#   2. the full desktop build, warnings as errors, and its unit tests (they include a replay of
#      every fuzz corpus);
#   3. the build without Qt and X11, with AddressSanitizer and UndefinedBehaviorSanitizer: the
#      whole logic and its unit tests;
#   4. the end-to-end tests under a private Xvfb display (started by the tests themselves), then
#      the short soak and its faults (e2e/soak.sh --short, a few minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh

echo "== format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz e2e -name '*.cpp' -o -name '*.h')
if ((${#sources[@]})); then
  clang-format --dry-run --Werror "${sources[@]}"
fi
if [[ -f po/check.py ]]; then
  python3 po/check.py
fi

echo "== desktop build"
cmake -S . -B build/ci-desktop -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTLO_WERROR=ON >/dev/null
cmake --build build/ci-desktop -j "$jobs"
ctest --test-dir build/ci-desktop --output-on-failure -j "$jobs" -L unit

echo "== sanitizer build without Qt and X11"
cmake -S . -B build/ci-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTLO_DESKTOP=OFF \
  -DVANTLO_SANITIZE=ON -DVANTLO_WERROR=ON -DVANTLO_BENCH=OFF >/dev/null
cmake --build build/ci-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/ci-sanitize --output-on-failure -j "$jobs" -L unit

if [[ -x e2e/run.sh ]]; then
  echo "== end-to-end tests"
  VANTLO_BINARY_DIR="$PWD/build/ci-desktop" e2e/run.sh
  echo "== soak (short) and faults"
  VANTLO_BINARY_DIR="$PWD/build/ci-desktop" timeout 1200 e2e/soak.sh --short
fi

echo "== all tests passed"
