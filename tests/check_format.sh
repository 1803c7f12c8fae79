#!/usr/bin/env bash
# The project's own C and C++ sources follow .clang-format: the link library, the simulator, the
# station, the tests, the benchmarks and the fuzz targets. Generated files live in the build
# folder and are not read. Mend what it names with `clang-format -i <file>`.
# Usage: check_format.sh <clang-format> <source root>
set -euo pipefail
clang_format=$1
cd "$2"
mapfile -t files < <(find link sim app tests bench fuzz -type f \
    \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) | sort)
"$clang_format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files follow .clang-format"
