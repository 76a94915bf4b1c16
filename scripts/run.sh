#!/usr/bin/env bash
# make run: starts a simulated module (zul-sim) in the background, waits until it names its
# device, then opens the tool. The Connect page finds the simulator by itself and preselects it
# when no real serial adapter is present; the simulator stops when the tool exits.
#   scripts/run.sh [builddir]      KIND=DIO|AIN|AOT chooses the simulated module (default AIN),
#                                  EDITION=test opens the production test version (zulconfigt)
set -euo pipefail

build=${1:-build}
kind=${KIND:-AIN}
sim="$build/sim/zul-sim"
tool="$build/src/app/zulconfig"
[[ ${EDITION:-} == test ]] && tool="$build/src/app/zulconfigt"

for program in "$sim" "$tool"; do
    if [[ ! -x $program ]]; then
        echo "run.sh: $program is missing; build first (make build)" >&2
        exit 1
    fi
done
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "run.sh: no display; on a headless machine try: xvfb-run make run" >&2
    exit 1
fi

output=$(mktemp)
sim_pid=
cleanup() {
    if [[ -n $sim_pid ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -f "$output"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$sim" --kind "$kind" </dev/null >"$output" &
sim_pid=$!

# The first line of the simulator's output is its device path.
device=
for _ in $(seq 1 100); do
    device=$(head -n 1 "$output" 2>/dev/null || true)
    [[ -n $device ]] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "run.sh: zul-sim stopped before it named its device" >&2
        exit 1
    fi
    sleep 0.1
done
if [[ -z $device ]]; then
    echo "run.sh: zul-sim did not name its device within 10 s" >&2
    exit 1
fi

echo "Simulated $kind module on $device (slave 100, 9600 8N1); choose it on the Connect page."
# Not exec: the trap must outlive the tool to stop the simulator.
"$tool"
