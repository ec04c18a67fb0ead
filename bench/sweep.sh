#!/usr/bin/env bash
# Runs one bench mode over every effect plugin installed in the system's plugin folders (LV2
# plugins with audio in and out, and the VST3 bundles) and sums up how it went: exit statuses,
# crashes, time-outs, layout refusals and the verdicts. One report per plugin is kept.
# Usage: bench/sweep.sh [mode] [out dir] [grep pattern over the plugin list]
#   JOBS=n runs n plugins at a time (default 1); TIMEOUT=s limits one run (default 600);
#   TESTRIG=path measures with another build.
# Needs lv2ls and lv2info (lilv-utils) and a release build.
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:---bench-checkup}"
out="${2:-/tmp/testrig-sweep${mode#--bench}}"
pattern="${3:-.}"
testrig="${TESTRIG:-$PWD/build/TESTRIG}"
mkdir -p "$out"

# "uri<TAB>audio ins<TAB>audio outs" for every LV2 plugin, then the VST3 bundles.
list_plugins() {
    lv2ls | while read -r uri; do
        lv2info "$uri" | awk -v uri="$uri" '
            /^\tPort [0-9]+:/ { audio = 0; dir = "" }
            /AudioPort/ { audio = 1 }
            /#InputPort/ { dir = "in" }
            /#OutputPort/ { dir = "out" }
            /^\t\tSymbol:/ { if (audio && dir == "in") ins++; if (audio && dir == "out") outs++ }
            END { printf "%s\t%d\t%d\n", uri, ins, outs }'
    done
    for bundle in /usr/lib/vst3/*.vst3; do printf "%s\t-\t-\n" "$bundle"; done
}

list_plugins | awk -F'\t' '$2 == "-" || ($2 > 0 && $3 > 0)' | grep -E -- "$pattern" > "$out/plugins.tsv"

run_one() {
    local plugin="$1" name status
    name=$(printf '%s' "$plugin" | tr -c 'A-Za-z0-9._-' '_')
    local start=$(date +%s%N)
    set +e
    timeout "${TIMEOUT:-600}" "$testrig" "$mode" "$plugin" > "$out/$name.txt" 2>/dev/null
    status=$?
    set -e
    printf '%s\t%s\t%s\n' "$status" "$(( ($(date +%s%N) - start) / 1000000 ))" "$plugin" > "$out/$name.status"
}
export -f run_one
export out mode testrig

cut -f1 "$out/plugins.tsv" | xargs -d '\n' -P "${JOBS:-1}" -I{} bash -c 'run_one "$@"' _ {}

cat "$out"/*.status > "$out/statuses.tsv"
echo "plugins: $(wc -l < "$out/plugins.tsv")"
echo "exit statuses (status count):"
cut -f1 "$out/statuses.tsv" | sort -n | uniq -c | awk '{ printf "  %s %s\n", $2, $1 }'
echo "crashed (status >= 128, 124 = time-out): $(awk -F'\t' '$1 >= 124' "$out/statuses.tsv" | wc -l)"
echo "refused for their layout: $(grep -l -E 'has no audio (input|output)|layout, which cannot be measured' "$out"/*.txt | wc -l)"
echo "refused as the LV2 host cannot run them: $(grep -l -E 'control-voltage port|when an instance that never ran is freed' "$out"/*.txt | wc -l)"
echo "measured per layout (layout count):"
grep -h -m1 -E '^plugin: ' "$out"/*.txt | sed -E 's/.*\((VST3|LV2)(, )?([^)]*)\)$/\3/; s/^$/stereo/' | sort | uniq -c | awk '{ n = $1; $1 = ""; printf "  %s %s\n", substr($0, 2), n }'

echo "verdict lines:"
grep -h -E '^(overall|  sound|  tone|  honest|verdict): *' "$out"/*.txt | sed -E 's/ - .*//; s/[-0-9.]+ (dB|smp|%|ms)/N \1/g' | sort | uniq -c | sort -rn | head -60
