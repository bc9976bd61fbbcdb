#!/usr/bin/env bash
# Vantrel against 64tass on generated sources of 10k, 100k and 1M lines,
# side by side: the two commands alternate within every round, so a busy
# machine slows both alike. Prints the median CPU time (user + system) and
# peak memory of each, the ratios, and instructions from callgrind where
# valgrind is installed. Then the BASIC runs, against the reference figures
# measured for VICE 3.10's petcat (not packaged here).
# Needs: a Release build in ../build, python3, cc and 64tass; valgrind is
# optional.
#   bench/compare.sh [workdir]     ROUNDS=n (default 15; 5 at 1M lines)
#                                   CALLGRIND_MAX=lines (default 100000)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
vantrel="$here/../build/vantrel"
work="${1:-$(mktemp -d)}"
mkdir -p "$work"
cd "$work"

# "user+system seconds, peak KB" of one run.
cc -O2 -o rusage "$here/rusage.c"
cpu_peak() { ./rusage "$@"; }
median() { python3 -c 'import sys,statistics;print(statistics.median(float(x) for x in sys.argv[1:]))' "$@"; }
instructions() { # callgrind's total instruction count of one run
  valgrind --tool=callgrind --callgrind-out-file=cg.out "$@" >/dev/null 2>&1 || true
  awk '/^summary:/{print $2}' cg.out
}
ratio() { python3 -c "import sys;a,b=map(float,sys.argv[1:]);print('%.2f'%(a/b) if b else '-')" "$1" "$2"; }
have_valgrind() { command -v valgrind >/dev/null; }

echo "| lines | Vantrel CPU ms | 64tass CPU ms | time ratio | Vantrel peak KB | 64tass peak KB | memory ratio | instructions ratio |"
echo "|---|---|---|---|---|---|---|---|"
for n in 10000 100000 1000000; do
  dir="asm$n"
  "$here/gen_asm.py" "$n" "$dir"
  cp rusage "$dir/"
  cd "$dir"
  v=("$vantrel" prog.asm -prg:v.prg -ovr -q)
  t=(64tass -q prog.s -o t.prg)
  "${v[@]}" >/dev/null
  "${t[@]}"
  cmp -s v.prg t.prg || { echo "outputs differ for $n lines" >&2; exit 1; }
  rounds=${ROUNDS:-$([ "$n" -ge 1000000 ] && echo 5 || echo 15)}
  vt=() tt=() vm=() tm=()
  for ((i = 0; i < rounds; ++i)); do
    # Alternate which goes first, so neither always follows the other.
    if ((i % 2)); then read -r a b < <(cpu_peak "${t[@]}"); read -r c d < <(cpu_peak "${v[@]}")
    else read -r c d < <(cpu_peak "${v[@]}"); read -r a b < <(cpu_peak "${t[@]}"); fi
    tt+=("$a") tm+=("$b") vt+=("$c") vm+=("$d")
  done
  vms=$(python3 -c "print('%.2f'%($(median "${vt[@]}")*1000))")
  tms=$(python3 -c "print('%.2f'%($(median "${tt[@]}")*1000))")
  vkb=$(median "${vm[@]}" | cut -d. -f1)
  tkb=$(median "${tm[@]}" | cut -d. -f1)
  ir="-"
  if have_valgrind && [ "$n" -le "${CALLGRIND_MAX:-100000}" ]; then
    vi=$(instructions "${v[@]}")
    ti=$(instructions "${t[@]}")
    ir="$(ratio "$vi" "$ti") ($vi / $ti)"
  fi
  echo "| $n | $vms | $tms | $(ratio "$vms" "$tms") | $vkb | $tkb | $(ratio "$vkb" "$tkb") | $ir |"
  cd ..
done

# BASIC: no peer to run here, so Vantrel's own figures beside the reference
# ones for a 59 KB program (petcat: 41.1 M instructions detokenizing, 35.7 M
# tokenizing, 1.6 MB peak).
"$here/gen_basic.py" big big.txt
"$vantrel" big.txt -prg -ovr -q >/dev/null
corpus="$here/../tests/data/corpus"
echo
echo "| BASIC run | bytes | CPU ms | peak KB | instructions | per KB of program (reference: 0.70 M detokenizing, 0.61 M tokenizing) |"
echo "|---|---|---|---|---|---|"
basic_row() { # label, program bytes, command...
  local label=$1 bytes=$2
  shift 2
  read -r s kb < <(cpu_peak "$@")
  local ins="-" per="-"
  if have_valgrind; then
    ins=$(instructions "$@")
    per=$(python3 -c "print('%.2f M' % ($ins / 1e6 / ($bytes / 1024)))")
  fi
  echo "| $label | $bytes | $(python3 -c "print('%.2f'%($s*1000))") | $kb | $ins | $per |"
}
basic_row "tokenize big.txt" "$(stat -c %s big.prg)" "$vantrel" big.txt -prg:t.prg -ovr -q
basic_row "detokenize big.prg" "$(stat -c %s big.prg)" "$vantrel" big.prg -txt:back.txt -ovr -q
for prg in card-games/prg/Poker4-en/poker-4-en.prg card-games/prg/Briscola-it/briscola-it.prg; do
  [ -f "$corpus/$prg" ] || continue
  cp "$corpus/$prg" corpus.prg
  basic_row "detokenize $(basename "$prg")" "$(stat -c %s corpus.prg)" "$vantrel" corpus.prg -txt:c.txt -ovr -q
  basic_row "tokenize it back" "$(stat -c %s corpus.prg)" "$vantrel" c.txt -prg:c2.prg -ovr -q
done

# The fixed cost of a run: one small conversion against a static C
# hello-world, alternating, median CPU time and instructions of each.
printf '#include <stdio.h>\nint main(void) { puts("hello"); return 0; }\n' > hello.c
cc -O2 -static -o hello hello.c
printf '10 print"hello"\n20 goto 10\n' > small.txt
h=() s=() d=()
for ((i = 0; i < ${ROUNDS:-15} * 10; ++i)); do
  read -r a _ < <(cpu_peak ./hello)
  # Into a new file each time: replacing one costs ext4 a flush of the
  # new data at the rename, whichever tool writes it.
  rm -f small.prg
  read -r b _ < <(cpu_peak "$vantrel" small.txt -prg:small.prg -q)
  # The same conversion with no file to create: what the program itself costs.
  read -r c _ < <(cpu_peak "$vantrel" small.txt -prg:/dev/null -q)
  h+=("$a") s+=("$b") d+=("$c")
done
hi="-" si="-"
if have_valgrind; then hi=$(instructions ./hello); si=$(instructions "$vantrel" small.txt -prg:small.prg -ovr -q); fi
hm=$(median "${h[@]}") sm=$(median "${s[@]}") dm=$(median "${d[@]}")
ms() { python3 -c "print('%.3f'%($1*1000))"; }
echo
echo "| start-up | CPU ms | above hello-world, ms | instructions |"
echo "|---|---|---|---|"
echo "| static hello-world | $(ms "$hm") | | $hi |"
echo "| vantrel small.txt -prg:/dev/null | $(ms "$dm") | $(ms "($dm-$hm)") | |"
echo "| vantrel small.txt -prg (a new file) | $(ms "$sm") | $(ms "($sm-$hm)") | $si |"
