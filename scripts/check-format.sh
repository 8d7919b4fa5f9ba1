#!/usr/bin/env bash
# Fails when any C++ source of the project differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror
