#!/usr/bin/env bash
# The 32-bit library runs on a processor with x87 and SSE but no SSE2:
# its code holds no instruction of SSE2 or any later extension.
set -euo pipefail
lib=$1
dis=$(mktemp)
trap 'rm -f "$dis"' EXIT
objdump -d --no-show-raw-insn "$lib" | awk -F'\t' 'NF >= 2 && $1 ~ /:$/ {print $2}' > "$dis"
total=$(wc -l < "$dis")
# mnemonic on its own, then the whole instruction text
later=$(awk '
  { m = $1; line = $0 }
  # any operation on 256/512-bit registers, opmask registers, VEX/EVEX forms
  line ~ /%[yz]mm|%k[0-7]/ { print; next }
  m ~ /^v/ && line ~ /%xmm/ { print; next }
  # double-precision SIMD and scalar SSE2 (addpd, movsd %xmm, cvtss2sd, ucomisd ...)
  m ~ /(pd|sd)$/ && line ~ /%xmm/ { print; next }
  m ~ /^(cvtdq2ps|cvtps2dq|cvttps2dq|cvtpd2ps|cvtps2pd|cvtsd2ss|cvtss2sd|cvtsi2sd[lq]?|cvtsd2si|cvttsd2si)$/ { print; next }
  # integer SIMD on xmm registers, movd/movq to xmm, 128-bit integer moves
  m ~ /^p/ && line ~ /%xmm/ { print; next }
  m ~ /^(movd|movq)$/ && line ~ /%xmm/ { print; next }
  m ~ /^(movdqa|movdqu|movdq2q|movq2dq|maskmovdqu|movntdq|movntpd|movnti|clflush|lfence|mfence)$/ { print; next }
  # SSE3, SSSE3, SSE4, bit-manipulation and later
  m ~ /^(fisttp[sl]?|fisttpll|haddps|hsubps|addsubps|movshdup|movsldup|movddup|lddqu|monitor|mwait)$/ { print; next }
  m ~ /^(blendps|blendvps|dpps|insertps|extractps|roundps|roundss|popcnt|crc32[bwlq]?|lzcnt|tzcnt|andn|bextr|blsi|blsmsk|blsr|bzhi|pdep|pext|rorx|sarx|shlx|shrx|mulx|adcx|adox|movbe)$/ { print; next }
' "$dis" | sort | uniq -c | sort -rn)
if [ -n "$later" ]; then
  echo "instructions beyond SSE1 in $lib:"
  echo "$later" | head -40
  exit 1
fi
echo "isa: $total instructions, none beyond SSE1"
