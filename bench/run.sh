#!/usr/bin/env bash
# Benchmarks Vantrel against 64tass and ACME on generated assembler sources,
# and times the BASIC conversions. Needs: a Release build in ../build,
# python3, hyperfine, 64tass, acme (Debian packages).
#   bench/run.sh [workdir]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
vantrel="$here/../build/vantrel"
work="${1:-$(mktemp -d)}"
mkdir -p "$work"
cd "$work"

peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
median_ms() { # hyperfine's median of a command, in ms
  hyperfine -N -w 3 -r "${RUNS:-20}" --export-json h.json "$@" >/dev/null 2>&1
  python3 -c 'import json;r=json.load(open("h.json"))["results"];print(" ".join("%.1f"%(x["median"]*1000) for x in r))'
}

echo "| program | Vantrel ms | 64tass ms | ACME ms | Vantrel / 64tass | Vantrel peak KB | 64tass peak KB |"
echo "|---|---|---|---|---|---|---|"
for n in 10000 100000 1000000; do
  dir="asm$n"
  "$here/gen_asm.py" "$n" "$dir"
  (cd "$dir"
   "$vantrel" prog.asm -prg:v.prg -ovr >/dev/null
   64tass -q prog.s -o t.prg
   acme -f cbm -o a.prg prog.a
   cmp -s v.prg t.prg && cmp -s t.prg a.prg || { echo "outputs differ for $n lines" >&2; exit 1; }
   read -r v t a < <(RUNS=$([ "$n" -ge 1000000 ] && echo 5 || echo 20) median_ms \
       "$vantrel prog.asm -prg:v.prg -ovr" "64tass -q prog.s -o t.prg" "acme -f cbm -o a.prg prog.a")
   ratio=$(python3 -c "print('%.2f' % ($v / $t))")
   echo "| asm $n lines | $v | $t | $a | $ratio | $(peak_kb "$vantrel" prog.asm -prg:v.prg -ovr) | $(peak_kb 64tass -q prog.s -o t.prg) |")
done

"$here/gen_basic.py" big big.txt
"$here/gen_basic.py" small small.txt
"$vantrel" big.txt -prg -ovr >/dev/null
echo
echo "| BASIC run | Vantrel ms | peak KB |"
echo "|---|---|---|"
for cmd in "big.txt -prg -ovr" "big.prg -txt:back.txt -ovr" "nothere.txt"; do
  ms=$(hyperfine -N -i -w 3 -r 30 --export-json h.json "$vantrel $cmd" >/dev/null 2>&1 &&
       python3 -c 'import json;print("%.1f"%(json.load(open("h.json"))["results"][0]["median"]*1000))')
  echo "| vantrel $cmd | $ms | $(peak_kb "$vantrel" $cmd || true) |"
done
loops=$(hyperfine -w 1 -r 5 --export-json h.json \
  "for i in \$(seq 1000); do $vantrel small.txt -prg:s.prg -ovr >/dev/null; done" \
  "for i in \$(seq 1000); do /bin/true; done" >/dev/null 2>&1 &&
  python3 -c 'import json;r=json.load(open("h.json"))["results"];print(" ".join("%.0f"%(x["median"]*1000) for x in r))')
read -r small truth <<<"$loops"
echo "| 1000 small conversions in a shell loop | $small | (1000 × /bin/true: $truth ms) |"
