#!/bin/sh
# Every test the promise list (README.md beside this script) names exists: each
# `tst_file::function` is a function of tests/tst_file.cpp, each quoted data row after it is in
# that file, and each named script is in the source tree.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
python3 - "$here" <<'PY'
import re, sys, os
here = sys.argv[1]
root = os.path.dirname(here)
bad = []
for line in open(os.path.join(here, 'README.md'), encoding='utf-8'):
    if not line.startswith('| ') or line.startswith('| Promise') or line.startswith('|---'):
        continue
    cell = line.rstrip().rstrip('|').rsplit(' | ', 1)[-1]
    # Each `tst_x::f` with the quoted rows that follow it, up to the next name.
    for m in re.finditer(r'`(tst_\w+)::(\w+)`((?:[^`]|`[^t`][^`]*`)*)', cell):
        src = os.path.join(here, m.group(1) + '.cpp')
        text = open(src, encoding='utf-8').read() if os.path.exists(src) else ''
        if not re.search(r'void ' + m.group(2) + r'\(\)', text):
            bad.append(f'{m.group(1)}::{m.group(2)}')
            continue
        for row in re.findall(r'"([^"]+)"', m.group(3).split(';')[0]):
            if row not in text and row.replace("'", "\\'") not in text:
                bad.append(f'{m.group(1)}::{m.group(2)} "{row}"')
    for script in re.findall(r'`([\w./-]+\.sh)`', cell):
        found = [d for d, _, files in os.walk(root) if os.path.basename(script) in files
                 and '/build' not in d and '/.git' not in d]
        if not found:
            bad.append(script)
    for target in re.findall(r'`(fuzz_replay|rscom_windows_exports)`', cell):
        if target not in open(os.path.join(here, 'CMakeLists.txt')).read() and \
           target not in open(os.path.join(root, 'CMakeLists.txt')).read():
            bad.append(target)
for b in bad:
    print('promise list names a missing test:', b)
sys.exit(1 if bad else 0)
PY
