#!/usr/bin/env bash
# An independent tool turns each Intel HEX and S-record image back into bytes,
# which must be exactly the raw image, for every EPROM type; and the same tool's
# Intel HEX and S-records of the raw image check as the same as the list.
#   srec_cat_check.sh VARIDAC_FILL LIST
# VARIDAC_RUNNER, when set, runs the companion (wine for the Windows one).
set -euo pipefail
fill=(${VARIDAC_RUNNER:-} "$1")
list=$2
command -v srec_cat >/dev/null || { echo "srec_cat is missing: install the srecord package (scripts/install-deps)"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$list" "$scratch/EXAMPLE.INF"
failed=0
for type in 27C64 27C128 27C256 27C512; do
  for format in bin ihex srec; do
    "${fill[@]}" --eprom "$type" --format "$format" "$scratch/EXAMPLE.INF" >/dev/null
  done
  bin="$scratch/EXAMPLE_$type.BIN"
  srec_cat "$scratch/EXAMPLE_$type.HEX" -intel -o "$scratch/from-hex.bin" -binary
  srec_cat "$scratch/EXAMPLE_$type.S19" -motorola -o "$scratch/from-s19.bin" -binary
  for converted in from-hex.bin from-s19.bin; do
    if cmp -s "$bin" "$scratch/$converted"; then
      echo "$type: $converted equals the BIN ($(stat -c %s "$bin") bytes)"
    else
      echo "$type: $converted differs from the BIN"
      failed=1
    fi
  done
  srec_cat "$bin" -binary -o "$scratch/tool.hex" -intel
  srec_cat "$bin" -binary -o "$scratch/tool.s19" -motorola
  for dump in tool.hex tool.s19; do
    if "${fill[@]}" --check "$scratch/$dump" "$scratch/EXAMPLE.INF" >"$scratch/check.out" 2>&1; then
      echo "$type: srec_cat's $dump checks as the same"
    else
      echo "$type: srec_cat's $dump does not check as the same:"
      cat "$scratch/check.out"
      failed=1
    fi
  done
done
exit $failed
