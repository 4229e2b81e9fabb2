#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info); uses ccache when it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# MORVEK_WERROR=ON: warnings are errors (CI); unset, the build folder keeps what it had.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" ${MORVEK_WERROR:+-DMORVEK_WERROR=$MORVEK_WERROR} >/dev/null
cmake --build build -j"$(nproc)"
