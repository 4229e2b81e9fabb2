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

# The fuzz targets, built by clang into build-fuzz/ (installed when missing); each runs
# about 30 seconds from its seed corpus in fuzz/corpus. A crash, a leak, a broken rule
# or a single allocation past 512 MB fails the run and leaves the input in build-fuzz/.
bash "$root/scripts/setup.sh" clang libclang-rt-14-dev
fuzzers=(fuzz_workbook fuzz_csvimport fuzz_namefold fuzz_changepayload fuzz_layout fuzz_dibblock)
cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DMORVEK_FUZZ=ON -DMORVEK_HARDEN=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" >/dev/null
cmake --build "$root/build-fuzz" -j"$(nproc)" --target "${fuzzers[@]}"
seconds="${MORVEK_FUZZ_SECONDS:-30}"
for fuzzer in "${fuzzers[@]}"; do
  name="${fuzzer#fuzz_}"
  dict=()
  case "$name" in
    workbook) dict=(-dict="$root/fuzz/xml.dict") ;;
    csvimport) dict=(-dict="$root/fuzz/csv.dict") ;;
  esac
  work="$root/build-fuzz/work/$name"
  mkdir -p "$work"
  echo "Fuzzing $name for ${seconds} s"
  (cd "$root/build-fuzz" && QT_QPA_PLATFORM=offscreen "./fuzz/$fuzzer" "${dict[@]}" -max_total_time="$seconds" \
     -malloc_limit_mb=512 -timeout=20 -print_final_stats=1 "$work" "$root/fuzz/corpus/$name" 2>&1 | tail -n 12)
done
