#!/bin/sh
# The browser build's tests: the manifest writer, then the page and the demo in
# Debian's headless Chromium (SwiftShader's WebGL), one test file at a time. Needs
# build/web (./web.sh build) and the release tree's scene benches, whose frames
# the stills are held against. Screenshots and side-by-side stills go to
# build/web-test/ to look at.
#
#   tests/web/run.sh [FILE.test.mjs ...]   (all of them by default)
set -e
cd "$(dirname "$0")"
[ -f "${OKU_WEB_BUILD:-../../build/web}/oku.wasm" ] || { echo "web tests: no build/web/oku.wasm (run ./web.sh build)"; exit 1; }
npm ci --no-audit --no-fund --loglevel=error >/dev/null

passed=0
failed=0
add() {  # add PASSED FAILED
    passed=$((passed + $1))
    failed=$((failed + $2))
}

if /usr/bin/python3 make_manifest_test.py 2>make_manifest.log; then
    add "$(sed -n 's/^Ran \([0-9]*\) tests\{0,1\}.*/\1/p' make_manifest.log)" 0
else
    cat make_manifest.log
    add 0 1
fi
rm -f make_manifest.log

files="$*"
[ -n "$files" ] || files="page.test.mjs faulty_data.test.mjs whole_demo.test.mjs stills.test.mjs"
tap=$(mktemp)
trap 'rm -f "$tap"' EXIT INT TERM
for file in $files; do
    echo "web tests: $file"
    node --test --test-reporter=spec --test-reporter-destination=stdout \
        --test-reporter=tap --test-reporter-destination="$tap" "$file" || true
    pass=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$tap" | tail -n 1)
    fail=$(sed -n 's/^# fail \([0-9]*\)$/\1/p' "$tap" | tail -n 1)
    [ -n "$pass$fail" ] || fail=1  # the runner itself broke
    add "${pass:-0}" "${fail:-0}"
done

echo "web: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
