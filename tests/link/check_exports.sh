#!/usr/bin/env bash
# The library exports exactly the functions its header declares, and nothing else.
set -euo pipefail
library=$1
header=$2
declared=$(grep -oE 'QORAPI Qor[A-Za-z0-9_]+\(' "$header" | sed -E 's/QORAPI (.*)\(/\1/' | sort)
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
if [[ "$declared" != "$exported" ]]; then
    diff <(echo "$declared") <(echo "$exported") || true
    exit 1
fi
echo "$(echo "$exported" | wc -l) exports match the header"
