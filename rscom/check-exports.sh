#!/bin/sh
# Checks that the cross-built Windows module exports exactly its five functions.
# Usage: check-exports.sh OBJDUMP DLL
set -e
got=$("$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' |
    sort | tr '\n' ' ')
if [ "$got" != "CLOSECOM DTR OPENCOM PORTINFO TXD " ]; then
    echo "$2 exports: $got" >&2
    exit 1
fi
echo "$2 exports exactly: $got"
