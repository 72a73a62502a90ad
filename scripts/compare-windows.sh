#!/usr/bin/env bash
# Runs one sequence of brindle-cli commands twice, with the Linux build
# (build/brindle-cli) and with the Windows build under Wine
# (build-win/brindle-cli.exe through scripts/wine-run.sh), each on its own
# copy of the sample workspace, and compares every standard output, standard
# error, exit status and file the runs leave behind, byte for byte. Any
# difference is printed and fails the comparison.
#
# The sequence: libs, both imports, show and find, every generator that
# `gen --list` prints (to stdout, and with -o to a GBK file), the export
# tools, edits, check, split, site-type and ini get/set, on the sample
# workspace's own cell names.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_cli=${1:-$root/build/brindle-cli}
windows_cli=${2:-$root/build-win/brindle-cli.exe}
workspace=$root/build/workspace
for f in "$linux_cli" "$windows_cli" "$workspace/mu"; do
    [[ -e "$f" ]] || { echo "compare-windows.sh: $f is missing (build both first)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/brindle-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Cell names as the sample workspace has them: 4G sources and targets from
# its 4G table, 2G targets from its 2G table, plus a name no library holds.
cells4g=$(cut -f2 samples/mu/示例网络.tsv | sed 1d)
cells2g=$(cut -f2 samples/mu2/示例网络2G.tsv | sed 1d)
first4g=$(sed -n 1p <<<"$cells4g")
export_cell=$(grep -xF "$(cut -f1 samples/export/查询EUTRAN同频邻区关系.tsv | sed -n 2p)-1" <<<"$cells4g" || echo "$first4g")

# Every generator as `gen --list` prints it: name, shape and options.
generators=$("$linux_cli" gen --list |
    sed -n 's/^| `\([a-z0-9-]*\)` | [^|]* | [^|]* | [^|]* | \([^|]*\) | \(.*\) |$/\1|\2|\3/p')
[[ $(wc -l <<<"$generators") -ge 20 ]] || { echo "compare-windows.sh: gen --list gave no generators" >&2; exit 2; }

# The arguments of one generator run, by its shape and options.
generator_args() {
    local name=$1 shape=$2 options=$3
    case "$shape" in
        "pairwise 4G×4G"*) args=(--source s4.txt --target t4.txt) ;;
        "pairwise 4G×2G"*) args=(--source s4.txt --target t2.txt) ;;
        "one-to-many 4G×2G"*) args=(--one-to-many --source s4.txt --target t2.txt) ;;
        *) if [[ "$options" == *--names* ]]; then args=(--names n4.txt); else args=(--source s4.txt --target t4.txt); fi ;;
    esac
    [[ "$options" == *--area* ]] && args+=(--area urban)
    [[ "$options" == *--mode* ]] && args+=(--mode ue --with-ne)
    [[ "$options" == *--power* ]] && args+=(--power 150)
    return 0
}

# Runs the sequence in folder $1 with the command line $2…; each step's
# stdout, stderr and exit status land in out/<step>.{out,err,rc}.
run_sequence() {
    local dir=$1
    shift
    local cli=("$@") n=0
    step() {  # [< stdin file via $input] arguments…
        local name
        n=$((n + 1))
        name=$(printf 'out/%03d' "$n")
        printf '%s\n' "$*" >"$name.cmd"
        local rc=0
        "${cli[@]}" "$@" <"${input:-/dev/null}" >"$name.out" 2>"$name.err" || rc=$?
        echo "$rc" >"$name.rc"
    }
    cd "$dir"
    mkdir out gen
    head -3 <<<"$cells4g" >s4.txt
    printf '%s\r\n' "$(sed -n 5p <<<"$cells4g")" "$(sed -n 6p <<<"$cells4g")" 不存在的小区 >t4.txt
    head -3 <<<"$cells2g" >t2.txt
    head -6 <<<"$cells4g" >n4.txt
    local lib=(--home . --lib4g 示例网络.edb --lib2g 示例网络2G.edb)

    step --home . libs
    step --home . import 4g workbooks/示例网络.xlsx
    step --home . import 2g workbooks/示例网络2G.xlsx
    step --home . import 2g workbooks/示例网络.xlsx
    step "${lib[@]}" libs
    step "${lib[@]}" show 4g --names n4.txt
    step "${lib[@]}" show 2g --names t2.txt
    step "${lib[@]}" find "${first4g%%-*}"
    step "${lib[@]}" find 无此小区
    input=n4.txt step "${lib[@]}" show 4g --names -
    step "${lib[@]}" gen --list

    local line name shape options i=0
    while IFS='|' read -r name shape options; do
        i=$((i + 1))
        generator_args "$name" "$shape" "$options"
        step "${lib[@]}" gen "$name" "${args[@]}"
        step "${lib[@]}" gen "$name" "${args[@]}" -o "gen/$(printf '%02d' $i)-$name.txt"
    done <<<"$generators"
    step "${lib[@]}" gen neighbour-add --source s4.txt --target t4.txt --two-way --dedup -o gen/two-way.txt

    local export=workbooks/示例网络MML报文.xlsx
    step "${lib[@]}" gen pci-change --export $export --cell1 "$export_cell" --pci1 20 --max 2
    step "${lib[@]}" gen pci-change --export $export --cell1 "$export_cell" --pci1 21 --max 2 -o gen/pci.txt
    step "${lib[@]}" gen inherit --export $export --new "$(sed -n 2p <<<"$cells4g")" --from "$export_cell"
    step "${lib[@]}" gen reduce --export $export --cell "$export_cell" -o gen/reduce.txt --rollback gen/回退.txt
    step "${lib[@]}" gen freq-change --export $export --cell "$export_cell" -o gen/freq.txt
    step "${lib[@]}" pci-update --cell1 "$export_cell" --pci1 33
    step "${lib[@]}" edit 4g 1 小区名=改名-1 TAC号=1234
    step "${lib[@]}" edit 2g "$(head -1 t2.txt)" 小区CI=4321
    step "${lib[@]}" show 4g --names n4.txt

    step "${lib[@]}" check gen/*.txt
    step "${lib[@]}" check --json gen/two-way.txt gen/reduce.txt
    step --home . check gen/pci.txt
    step --home . split gen/two-way.txt --by-ne 1
    step --home . split gen/reduce.txt --by-lines 2 --base 分割
    step "${lib[@]}" site-type --names n4.txt
    step "${lib[@]}" site-type --names n4.txt --head F --connector _ --max-cells 3

    step ini get mu/EARFCN.ini 其它项 "$(sed -n '2s/=.*//p' mu/EARFCN.ini | iconv -f GBK -t UTF-8)"
    step ini get mu/2G.ini Config 开始频点
    step ini set mu/2G.ini Config 开始频点 12
    step ini set mu/2G.ini 新节 新键 "值 有空格"
    step ini get mu/2G.ini 新节 新键
    step ini set 新建.ini 节 键 值
    step ini get 新建.ini 节 键
    step ini get mu 节 键
    step --home . delete 2g 示例网络.edb --yes
    step --home . libs
}

for side in linux windows; do
    mkdir -p "$work/$side"
    cp -a "$workspace/." "$work/$side/"
done
start=$SECONDS
(run_sequence "$work/linux" "$linux_cli")
linux_time=$((SECONDS - start))
start=$SECONDS
(run_sequence "$work/windows" "$root/scripts/wine-run.sh" "$windows_cli")
windows_time=$((SECONDS - start))

# A message may name a folder of the workspace (the splitter says where it
# wrote): each side names its own, as its system writes it. Both become the
# same placeholder, the rest of such a line with / between names.
python3 - "$work" <<'PY'
import pathlib, sys
work = pathlib.Path(sys.argv[1])
sides = {"linux": str(work / "linux"),
         "windows": "Z:" + str(work / "windows").replace("/", "\\")}
for side, prefix in sides.items():
    for err in (work / side / "out").glob("*.err"):
        text = err.read_bytes().decode("utf-8", "surrogateescape")
        if prefix not in text:
            continue
        lines = [l.replace(prefix, "<workspace>").replace("\\", "/") if prefix in l else l
                 for l in text.split("\n")]
        err.write_bytes("\n".join(lines).encode("utf-8", "surrogateescape"))
PY

steps=$(ls "$work/linux/out" | grep -c '\.rc$')
echo "compare-windows.sh: $steps runs, Linux ${linux_time} s, Windows under Wine ${windows_time} s" >&2
if diff -r "$work/linux" "$work/windows" >"$work/differences" 2>&1; then
    echo "compare-windows.sh: every output byte the same" >&2
else
    echo "compare-windows.sh: the builds differ:" >&2
    head -200 "$work/differences" >&2
    for f in $(diff -rq "$work/linux" "$work/windows" 2>/dev/null | sed -n 's|^Files \(.*/out/[0-9]*\)\..* and .*|\1|p' | sort -u); do
        echo "--- $(cat "$f.cmd")" >&2
    done
    exit 1
fi
