#!/usr/bin/env bash
# The OPTIONS section of a manual page names exactly the options that the program's --help names,
# so neither can gain or lose one alone.
# Usage: check_manual_options.sh PROGRAM PAGE
set -euo pipefail
program=$1
page=$2
# Option words: --long, -s and the station's /WORDS, each standing after a blank or a comma.
options() {
    grep -oE '(^|[[:space:],])(--[a-z][a-z0-9-]*|-[a-z]|/[A-Z]+)\b' | sed -E 's/^[[:space:],]//' |
        sort -u
}
from_help=$("$program" --help | options)
# roff: "\-" is a hyphen, \fB and friends change the font, ".B" and friends start a line.
from_page=$(sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' "$page" |
    sed -E 's/\\-/-/g; s/\\f[BIRP]//g; s/^\.[A-Z]+ //' | options)
if [[ "$from_help" != "$from_page" ]]; then
    echo "options of $program --help (<) and of $page (>) differ:"
    diff <(echo "$from_help") <(echo "$from_page") || true
    exit 1
fi
echo "$(echo "$from_help" | wc -l) options in both: $(echo $from_help)"
