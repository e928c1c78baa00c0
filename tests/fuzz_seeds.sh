#!/usr/bin/env bash
# Makes the committed seed corpora of the IDE's fuzz targets from the project's own fixtures
# and from what a built tarn writes for them. Run it again when the fixtures or tarn's output
# change; the seeds are small and kept in git.
#
#   tests/fuzz_seeds.sh TARN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tarn=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$(mktemp -d /tmp/qv-seeds.XXXXXX)
trap 'rm -rf "$out"' EXIT

hex=$here/build_debug/image/fuzz/seeds/hex_image_fuzzer
outputs=$here/build_debug/tools/fuzz/seeds/tarn_output_fuzzer
versions=$here/build_debug/tools/fuzz/seeds/version_answer_fuzzer
key=$here/build_debug/debug/fuzz/seeds/key_reply_fuzzer
text=$here/editor_control/fuzz/seeds/editor_text_fuzzer
keywords=$here/workbench/fuzz/seeds/keyword_list_fuzzer
rm -rf "$hex" "$outputs" "$versions" "$key" "$text" "$keywords"
mkdir -p "$hex" "$outputs" "$versions" "$key" "$text" "$keywords"

# A seed of the tarn output target: the selector byte, then the file.
put() {  # selector file name
  { printf "\\x$(printf %02x "$1")"; cat "$2"; } >"$outputs/$3"
}

n=0
for source in "$here"/build_debug/tools/fixtures/tarn_bridge/*.asm "$here"/assembler/fixtures/sources/*.asm \
              "$here"/../examples/*.src; do
  # Each is assembled under the name tarn takes by default, whatever the source's extension.
  name=$(basename "$source")
  name=${name%.*}
  cp "$source" "$out/$name.asm"
  (cd "$out" && "$tarn" /E KESTRIAN /F BIN16 /S 1 /D LBL_START_ANY "$name.asm" >/dev/null 2>&1) || true
  mkdir -p "$out/inhx8m"
  cp "$source" "$out/inhx8m/$name.asm"
  (cd "$out/inhx8m" && "$tarn" /F INHX8M "$name.asm" >/dev/null 2>&1) || true
  [[ -f $out/$name.map ]] && put 0 "$out/$name.map" "$name.map"
  # The object's target reads the map's last program word first.
  if [[ -f $out/$name.obj && -f $out/$name.map ]]; then
    { head -c 8 "$out/$name.map" | tail -c 2; cat "$out/$name.obj"; } >"$out/$name.objseed"
    put 1 "$out/$name.objseed" "$name.obj"
  fi
  [[ -f $out/$name.sym ]] && put 2 "$out/$name.sym" "$name.sym"
  [[ -f $out/$name.err ]] && put 3 "$out/$name.err" "$name.err"
  [[ -f $out/$name.lst ]] && put 4 "$out/$name.lst" "$name.lst"
  for f in "$out/inhx8m/$name".*; do
    case $f in *.asm|*.lst|*.sym|*.err|*.map) ;; *) cp "$f" "$hex/$name.${f##*.}" ;; esac
  done
  # The editor's seeds: the options byte (CR LF kept), then the listing. The sources are its
  # seeds as they are (their first character is the options byte).
  [[ -f $out/$name.lst ]] && { printf '\x00'; cat "$out/$name.lst"; } >"$text/$name.lst"
  n=$((n + 1))
done
for err in "$here"/assembler/golden/*.err; do put 3 "$err" "golden_$(basename "$err")"; done
cp "$here"/assembler/golden/*.hex "$hex/"

# Device images as the device window writes them: 2,048 and 4,096 words, a word in the upper
# half with the last word empty, and a file that ends without its end record.
python3 - "$hex" <<'EOF'
import sys
folder = sys.argv[1]
def record(address, words):
    data = [address * 2 >> 8 & 0xFF, address * 2 & 0xFF, 0]
    body = []
    for w in words:
        body += [w & 0xFF, w >> 8 & 0x0F]
    data = [len(body)] + data + body
    return ":" + "".join("%02X" % b for b in data) + "%02X" % (-sum(data) & 0xFF) + "\r\n"
def image(size, words):
    text = ""
    for w in range(0, size, 16):
        text += record(w, [words.get(w + i, 0xFFF) for i in range(16)])
    text += record(0x1000, [0x0F] * 16) + record(0x1010, [0xFFA, 0xFFF])
    return text + ":00000001FF\r\n"
open(folder + "/empty_2k.qvh", "w", newline="").write(image(2048, {}))
open(folder + "/program_4k.qvh", "w", newline="").write(image(4096, {0: 0xA05, 1: 0x123, 0xFFF: 0xA00}))
upper = image(4096, {0x900: 0xA5A})
open(folder + "/upper_half.qvh", "w", newline="").write(upper)
open(folder + "/no_end.qvh", "w", newline="").write(record(0, [0x123, 0x456]))
EOF

# Version answers: the exit code byte, then what the program printed.
printf '\x00' >"$versions/empty"
printf '\x00%s\n' "15103" >"$versions/basic"
printf '\x00%s\n' "-15103" >"$versions/basic_debug"
printf '\x00%s\r\n' "2.08.0005" >"$versions/simulator"
printf '\x00%s\n%s\n' "2.08.5" "second line" >"$versions/simulator_two_lines"
printf '\x7b' >"$versions/exit_code_only"

# The key's replies: the command (see key_reply_fuzzer.cpp), the seed and firmware bytes of
# the simulated key, then replies of status 0 ("done") followed by words of an erased chip.
for command in $(seq 0 18); do
  { printf "\\x$(printf %02x "$command")\\x3c\\xa7\\x03"; head -c 64 /dev/zero; \
    for i in $(seq 1 96); do printf '\xff\x0f'; done; } >"$key/command_$command"
done

# Keyword lists: the resource the IDE carries (bit 0 clear) and the text form (bit 0 set).
for list in "$here"/../resources/txt/*; do
  { printf '\x00'; cat "$list"; } >"$keywords/resource_$(basename "$list")"
done
{ printf '\x01'; printf 'MOVE=0,1,1,0,-2147483643,-2147483640,0,0,\r\n'; \
  printf 'mov=1,0,2,-1,255,65535,\r\nnoequals\r\n'; } >"$keywords/text_form"
echo "seeds made from $n sources"
