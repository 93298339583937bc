#!/usr/bin/env bash
# Times `ventrel snap leftHalf` as a whole process against swaymsg and i3-msg
# placing the same window on the same rectangle, beside a real sway and a
# real i3 (scripts/desktop/with-sway.sh, with-i3.sh), and one snap in process.
#
#   bench/tiling-snap.sh [BUILD_DIR] [RUNS]     (defaults: build, 40)
#
# The commands take turns within each round, so they share whatever the
# machine is doing; each figure is the median of RUNS runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-40}
for f in ventrel bench/tiling_snap_inprocess; do
  [ -x "$build/$f" ] || { echo "tiling-snap: build $(basename $f) first (cmake --build $build --target $(basename $f))" >&2; exit 1; }
done
export BENCH_VENTREL=$build/ventrel BENCH_INPROCESS=$build/bench/tiling_snap_inprocess BENCH_RUNS=$runs

# Run beside the compositor: $1 is its name, $2 the native tool, $3 the
# client command, $4 the native command for leftHalf given the node's ids.
bench() {
  bash -c '
    set -euo pipefail
    name=$1 tool=$2 client=$3 native=$4
    $client >/dev/null 2>&1 &
    client_pid=$!
    trap "kill $client_pid 2>/dev/null || true" EXIT
    tree() { $tool -t get_tree; }
    for _ in $(seq 500); do tree | grep -q "\"bench-window\"" && break; done
    # The ids the native command names the window by.
    read -r con window < <(tree | python3 -c "
import json, sys
def walk(n):
    if n.get(\"name\") == \"bench-window\": print(n[\"id\"], n.get(\"window\") or 0); sys.exit()
    for c in n.get(\"nodes\", []) + n.get(\"floating_nodes\", []): walk(c)
walk(json.load(sys.stdin))")
    native=${native//CON/$con}; native=${native//WIN/$window}
    median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
    clock() { local t0=$EPOCHREALTIME; "$@" >/dev/null; local t1=$EPOCHREALTIME; echo $(( ${t1/./} - ${t0/./} )); }
    d=$VENTREL_E2E_DIR
    : >"$d/true"; : >"$d/start"; : >"$d/ventrel"; : >"$d/native"
    for _ in 1 2 3 4 5; do "$BENCH_VENTREL" snap leftHalf >/dev/null; $tool "$native" >/dev/null; done
    for _ in $(seq "$BENCH_RUNS"); do
      clock /bin/true >>"$d/true"
      clock "$BENCH_VENTREL" --version >>"$d/start"
      clock "$BENCH_VENTREL" snap leftHalf >>"$d/ventrel"
      clock $tool "$native" >>"$d/native"
    done
    v=$(median <"$d/ventrel"); n=$(median <"$d/native")
    read -r inproc best p90 connect <<<"$("$BENCH_INPROCESS" 400 same)"
    read -r moving mbest mp90 _ <<<"$("$BENCH_INPROCESS" 200 alternate)"
    ms() { awk -v u="$1" "BEGIN { printf \"%.2f ms\", u / 1000 }"; }
    echo "$name ($client), medians of $BENCH_RUNS runs, whole process:"
    printf "  %-44s %s\n" "/bin/true (starting any process)" "$(ms "$(median <"$d/true")")"
    printf "  %-44s %s\n" "ventrel --version (its libraries, no IPC)" "$(ms "$(median <"$d/start")")"
    printf "  %-44s %s\n" "ventrel snap leftHalf" "$(ms "$v")"
    printf "  %-44s %s\n" "$tool (same rectangle)" "$(ms "$n")"
    awk -v v="$v" -v n="$n" -v t="$tool" "BEGIN { printf \"  ratio ventrel / %s: %.2f\n\", t, v / n }"
    echo "  in process, one snapFocusedWindow, socket open: window staying put ${inproc} µs (best ${best}, p90 ${p90});"
    echo "  moving left/right ${moving} µs (best ${mbest}, p90 ${mp90}); connecting ${connect} µs"
  ' bench "$@"
}

# leftHalf of the 1366x747 work area below the bar, in each one's own words.
"$root/scripts/desktop/with-sway.sh" bash -c "$(declare -f bench); bench sway swaymsg 'foot -T bench-window cat' \
  '[con_id=CON] floating enable, resize set width 683 px height 747 px, move absolute position 0 px 21 px'"
"$root/scripts/desktop/with-sway.sh" bash -c "$(declare -f bench); bench sway swaymsg 'xmessage -title bench-window bench' \
  '[con_id=CON] floating enable, resize set width 683 px height 747 px, move absolute position 0 px 21 px'"
"$root/scripts/desktop/with-i3.sh" bash -c "$(declare -f bench); bench i3 i3-msg 'xmessage -title bench-window bench' \
  '[id=WIN] floating enable, move position 0 px 21 px, resize set 683 px 747 px'"
