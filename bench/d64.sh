#!/usr/bin/env bash
# Adds 100 files to a new D64 image in one run and extracts them all in one
# run, side by side with cc1541 adding the same files in one process and
# cbmconvert extracting them in one process. Needs: a Release build in
# ../build, python3, hyperfine, cc1541, cbmconvert (Debian packages).
#   bench/d64.sh [workdir]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
vantrel="$here/../build/vantrel"
work="${1:-$(mktemp -d)}"
mkdir -p "$work"
cd "$work"

# 100 programs of 1 to 10 blocks (about 560 of the disk's 664), the same every time.
python3 - <<'EOF'
import random
random.seed(64)
for i in range(1, 101):
    size = random.randint(1, 10) * 254 - random.randint(0, 200)
    body = bytes(random.getrandbits(8) for _ in range(size - 2))
    open("file%03d.prg" % i, "wb").write(bytes([0x01, 0x08]) + body)
EOF
files=$(ls file*.prg | tr '\n' ' ')
cc_args=""
for f in $files; do cc_args="$cc_args -f ${f%.prg} -w $f"; done

add_vantrel="$vantrel v.d64 -new:bench,01 -add $files -quiet"
add_cc1541="cc1541 -q -n bench -i 01 $cc_args c.d64"
extract_vantrel="$vantrel c.d64 -extract:vout -ovr -quiet"
extract_cbmconvert="sh -c 'cd cout && cbmconvert -N -v0 -d ../v.d64'"

# Each tool reads what the other wrote, byte for byte.
rm -rf v.d64 c.d64 vout cout && mkdir cout
eval "$add_vantrel" && eval "$add_cc1541" && eval "$extract_vantrel" && eval "$extract_cbmconvert"
for f in $files; do
  cmp -s "$f" "vout/$f" && cmp -s "$f" "cout/$f" || { echo "extracted $f differs" >&2; exit 1; }
done
cc1541 -q -m -V v.d64 >/dev/null || { echo "cc1541 -V refuses Vantrel's image" >&2; exit 1; }

ms() { # hyperfine's median wall time and mean CPU time (user + system) of each command, in ms
  hyperfine -N -w 5 -r "${RUNS:-40}" --export-json h.json "$@" >/dev/null 2>&1
  python3 -c 'import json;r=json.load(open("h.json"))["results"];print(" ".join("%.1f %.1f"%(x["median"]*1000,(x["user"]+x["system"])*1000) for x in r))'
}
read -r va vac cc ccc < <(ms --prepare "rm -f v.d64" "$add_vantrel" --prepare "rm -f c.d64" "$add_cc1541")
# The same files into an existing empty disk, each tool's own.
rm -f ve.d64 ce.d64 && "$vantrel" ve.d64 -new:bench,01 -quiet && cc1541 -q -n bench -i 01 ce.d64
read -r vx vxc cx cxc < <(ms --prepare "cp ve.d64 v.d64" "$vantrel v.d64 -add $files -quiet" \
                    --prepare "cp ce.d64 c.d64" "cc1541 -q $cc_args c.d64")
read -r ve vec ce cec < <(ms --prepare "rm -rf vout" "$extract_vantrel" --prepare "sh -c 'rm -rf cout; mkdir cout'" "$extract_cbmconvert")
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }
echo "| 100 files, one run | Vantrel ms (CPU) | other tool ms (CPU) | Vantrel / other (CPU) |"
echo "|---|---|---|---|"
echo "| add to a new image (other: cc1541) | $va ($vac) | $cc ($ccc) | $(ratio "$va" "$cc") ($(ratio "$vac" "$ccc")) |"
echo "| add to an empty image (other: cc1541) | $vx ($vxc) | $cx ($cxc) | $(ratio "$vx" "$cx") ($(ratio "$vxc" "$cxc")) |"
echo "| extract all (other: cbmconvert) | $ve ($vec) | $ce ($cec) | $(ratio "$ve" "$ce") ($(ratio "$vec" "$cec")) |"
