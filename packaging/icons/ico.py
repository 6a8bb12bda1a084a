"""Packs the rendered PNGs into vtlconfig.ico, the icon of the Windows programs and of .vtl
files there: one PNG-compressed entry per size, as Windows Vista and later read them."""

import struct
import sys

SIZES = [16, 32, 48, 64, 128, 256]

images = [open(f"vtlconfig-{size}.png", "rb").read() for size in SIZES]
offset = 6 + 16 * len(images)
out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
for size, data in zip(SIZES, images):
    side = size % 256  # 0 stands for 256
    out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
for data in images:
    out += data
open(sys.argv[1] if len(sys.argv) > 1 else "vtlconfig.ico", "wb").write(out)
