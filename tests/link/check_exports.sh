#!/usr/bin/env bash
# The library exports exactly the functions its header declares, and nothing else; when a symbols
# file is given (debian/libqorlink6.symbols), it lists exactly the same functions.
# Usage: check_exports.sh LIBRARY HEADER [SYMBOLS-FILE]
set -euo pipefail
library=$1
header=$2
symbols=${3:-}
declared=$(grep -oE 'QORAPI Qor[A-Za-z0-9_]+\(' "$header" | sed -E 's/QORAPI (.*)\(/\1/' | sort)
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
if [[ "$declared" != "$exported" ]]; then
    echo "declared in $header (<) and exported by $library (>) differ:"
    diff <(echo "$declared") <(echo "$exported") || true
    exit 1
fi
if [[ -n "$symbols" ]]; then
    # Lines of the symbols file: " QorOpen@Base 6.0.0"; the header line names the library.
    listed=$(sed -nE 's/^ ([A-Za-z0-9_]+)@Base .*/\1/p' "$symbols" | sort)
    if [[ "$declared" != "$listed" ]]; then
        echo "declared in $header (<) and listed in $symbols (>) differ:"
        diff <(echo "$declared") <(echo "$listed") || true
        exit 1
    fi
fi
echo "$(echo "$exported" | wc -l) exports match the header${symbols:+ and the symbols file}"
