#!/usr/bin/env bash
# Builds into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# the tests that need no PostgreSQL server; any finding fails the test that met it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# No benchmarks: they are not run here, and are the slowest to build.
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMORVEK_SANITIZE=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" ${MORVEK_WERROR:+-DMORVEK_WERROR=$MORVEK_WERROR} >/dev/null
cmake --build "$root/build-asan" -j"$(nproc)"
cd "$root/build-asan"
# The server's tests skip without a server; their second runs on it are left out.
unset MORVEK_TEST_PGURI
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -E '_pg$'
