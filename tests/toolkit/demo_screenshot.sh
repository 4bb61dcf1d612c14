#!/usr/bin/env bash
# Runs the toolkit demo under a virtual X server and saves a screenshot of the whole screen:
#   tests/toolkit/demo_screenshot.sh BUILD_DIR OUT.png
# Needs xvfb-run and xwd; the timeout sits inside xvfb-run so no X server is left behind.
set -euo pipefail
build=${1:?build folder}
out=${2:?PNG file to write}
xwd_file=$(mktemp --suffix=.xwd)
trap 'rm -f "$xwd_file"' EXIT
xvfb-run -a -s "-screen 0 800x760x24" sh -c "
  timeout 30 '$build/tests/toolkit/toolkit_demo' --quit-after 6000 &
  sleep 4
  xwd -root -silent > '$xwd_file'
  wait"
# XWD (32-bit big-endian header, then the pixels) to PNG, with nothing but Python's standard library.
python3 - "$xwd_file" "$out" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
header_size, width, height = h[0], h[4], h[5]
byte_order, bits, line_bytes = h[7], h[11], h[12]
masks, colours = h[14:17], h[19]
shifts = [(m & -m).bit_length() - 1 for m in masks]
start, n = header_size + colours * 12, bits // 8
rows = []
for y in range(height):
    line = data[start + y * line_bytes:start + y * line_bytes + width * n]
    row = bytearray(b'\0')
    for x in range(width):
        p = int.from_bytes(line[x * n:(x + 1) * n], 'little' if byte_order == 0 else 'big')
        row += bytes((p & m) >> s for m, s in zip(masks, shifts))
    rows.append(bytes(row))
def chunk(kind, body):
    return (struct.pack('>I', len(body)) + kind + body +
            struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff))
with open(sys.argv[2], 'wb') as f:
    f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b''))
PY
echo "screenshot: $out"
