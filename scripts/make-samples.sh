#!/usr/bin/env bash
# Regenerates the sample firmware files and the simulator state files in samples/: for each
# model a binary image, its ".kmx" file made with objcopy, and samples/sim/<model>.json.
#
# An image starts with its version tag "$VER:<version>" and a zero byte (the simulated target
# reads its new firmware version from it), followed by deterministic bytes: a chain of SHA-256
# digests of the model name. A ".kmx" file is a header line "<model> <version>" and the image's
# Intel HEX records, CR LF line ends throughout.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
samples="$root/samples"
firmware="$samples/Vellmar/UpdateFiles"
image_size=2048

# model  file-version  base-address  bootloader  firmware-on-target  block-reply
models=(
  "KM7-HS21 1.05 0x08004000 r6 1.04 ok"
  "KM8-HS43 2.10 0x00010000 r3 2.03 ok"
  "yMOR     1.21 0x00000000 r2 1.20 next"
  "ZTRNWQ5  3.02 0x00001000 r7 3.01 ok"
)

# The bytes of an image: version tag, zero byte, then digests until image_size.
make_image() {
  local model=$1 version=$2 out=$3
  {
    printf '$VER:%s\0' "$version"
    local i=0
    while :; do
      printf '%s-%d' "$model" "$i" | sha256sum | cut -c1-64 | xxd -r -p
      i=$((i + 1))
      [ $((i * 32)) -ge "$image_size" ] && break
    done
  } | head -c "$image_size" >"$out"
}

make_kmx() {
  local model=$1 version=$2 base=$3 bin=$4 out=$5
  local hex
  hex="$(mktemp)"
  objcopy -I binary -O ihex --change-addresses "$base" "$bin" "$hex"
  {
    printf '%s %s\r\n' "$model" "$version"
    # objcopy writes CR LF already; normalise in case another binutils does not.
    sed 's/\r$//; s/$/\r/' "$hex"
  } >"$out"
  rm -f "$hex"
}

# Copies a ".kmx" file with the checksum of its 21st record line off by one.
make_bad_checksum() {
  local in=$1 out=$2
  awk 'function digit(c) { return index("0123456789ABCDEF", c) - 1 }
       function hex(s) { return digit(substr(s, 1, 1)) * 16 + digit(substr(s, 2, 1)) }
       BEGIN { ORS = "" }
       /^:/ { n++ }
       /^:/ && n == 21 {
         sub(/\r$/, "")
         sum = sprintf("%02X", (hex(substr($0, length($0) - 1)) + 1) % 256)
         $0 = substr($0, 1, length($0) - 2) sum "\r"
       }
       { print $0 "\n" }' "$in" >"$out"
}

make_state() {
  local model=$1 bootloader=$2 current=$3 reply=$4 out=$5
  cat >"$out" <<JSON
{
  "dongles": [
    {
      "serial": "0020001234",
      "serial_readable": true,
      "product": "Bramlet",
      "vid": 4292,
      "pid": 60000,
      "target": {
        "model": "$model",
        "bootloader": "$bootloader",
        "firmware": "$current",
        "block_reply": "$reply",
        "erase_ms": 600
      }
    }
  ]
}
JSON
}

mkdir -p "$samples/sim"
for entry in "${models[@]}"; do
  read -r model version base bootloader current reply <<<"$entry"
  dir="$firmware/$model"
  mkdir -p "$dir"
  make_image "$model" "$version" "$dir/$model-$version.bin"
  make_kmx "$model" "$version" "$base" "$dir/$model-$version.bin" "$dir/$model-$version.kmx"
  make_state "$model" "$bootloader" "$current" "$reply" "$samples/sim/$model.json"
done
make_bad_checksum "$firmware/KM7-HS21/KM7-HS21-1.05.kmx" "$firmware/KM7-HS21/KM7-HS21-1.05-badsum.kmx"
