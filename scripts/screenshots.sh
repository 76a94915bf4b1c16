#!/usr/bin/env bash
# Pictures of every page of the three kinds, light and dark, on a 1366 x 768 X server (xvfb-run),
# for a person to look over; the same run checks that no text is cut off.
#   scripts/screenshots.sh [builddir] [picture folder]     (default: <builddir>/screenshots)
set -euo pipefail

build=${1:-build}
pictures=${2:-$build/screenshots}
tests="$build/tests/ui/window_fit_tests"
if [[ ! -x $tests ]]; then
    echo "screenshots.sh: $tests is missing; build first (make build)" >&2
    exit 1
fi
mkdir -p "$pictures"
ZUL_SCREENSHOTS=$(realpath "$pictures") QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1366x768x24" "$tests" --gtest_filter='WindowFit.*Pages*'
echo "Pictures of every page in $pictures"
