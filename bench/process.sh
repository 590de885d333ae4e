#!/usr/bin/env bash
# The page (--render) and the headless recompute (--recompute) of generated 2006-generation answers
# as whole processes, each next to `xmllint --output` of the same file measured in the same run, the
# floor: the median of REPEAT runs (default 3) of each, and their ratio; the same for the peak memory.
# Usage: bench/process.sh BIN_DIR [ROWS...]   (default 1000 3650 10000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$1
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 3650 10000)
repeat=${REPEAT:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Czech regional settings where the system has them, as the users have, unless others are asked for.
if [ -z "${LC_ALL:-}" ] && locale -a 2>/dev/null | grep -qi '^cs_CZ.utf-\?8$'; then export LC_ALL=cs_CZ.UTF-8; fi

run() {  # run COMMAND...: prints "seconds kilobytes"
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1 || true
  cat "$work/time"
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

printf '%-9s %7s %10s %9s %9s %7s %9s %9s %7s\n' command rows bytes time_s floor_s ratio peak_MB floor_MB ratio
for rows in "${sizes[@]}"; do
  in=$work/in-$rows.xml
  python3 "$root/bench/generate-response.py" "$rows" >"$in"
  bytes=$(stat -c %s "$in")
  for command in render recompute; do
    t=() m=() ft=() fm=()
    for _ in $(seq "$repeat"); do
      read -r s k < <(run xmllint --output "$work/lint.xml" "$in"); ft+=("$s"); fm+=("$k")
      if [ "$command" = render ]; then
        read -r s k < <(run "$bin/ZORVA_VDJ" --render "$in" --out "$work/out.htm")
      else
        read -r s k < <(run "$bin/ZORVA_VDJ" --recompute "$in" --out "$work/out.xml")
      fi
      t+=("$s"); m+=("$k")
    done
    a=$(median "${t[@]}") b=$(median "${ft[@]}") c=$(median "${m[@]}") d=$(median "${fm[@]}")
    printf '%-9s %7d %10d %9s %9s %7s %9d %9d %7s\n' "$command" "$rows" "$bytes" "$a" "$b" "$(ratio "$a" "$b")" \
      $((c / 1024)) $((d / 1024)) "$(ratio "$c" "$d")"
  done
done
