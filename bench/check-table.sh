#!/bin/sh
# Checks a table printed by run-benchmarks: each benchmark printed its row, and every row has a
# figure where its measurement goes. Whether a target is met is not looked at: that depends on the
# machine's load.
set -e
table=$1
status=0
for row in "transfer of one character" "text player tick, 10" "character-set load" \
    "text player tick with its repaint" "line requests per character" "chars/s" \
    "start-up to first frame (" "peak memory after start-up" "through a running window" \
    "on its own" "a bare Qt program" "slow line"; do
    if ! grep -qF -- "$row" "$table"; then
        echo "check-table: no row for \"$row\"" >&2
        status=1
    fi
done
# The measured column (the second) of every row below the header holds a number and no NaN.
awk -F'|' 'NR > 2 && ($3 !~ /[0-9]/ || $3 ~ /nan|inf/) && $4 !~ /skipped/ {
    print "check-table: no figures in: " $0 > "/dev/stderr"; bad = 1 }
    END { exit bad }' "$table" || status=1
exit $status
