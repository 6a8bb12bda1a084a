"""The pointing-hand cursor shown over the keyboards, pistons and channel buttons.

Drawn pixel by pixel: '#' outline, 'o' the shaded side of the hand, '.' white, ' ' clear.
It is written as a Windows cursor file (32 x 32, 32 bits with alpha plus the AND mask)
with the hot spot on the tip of the index finger.
"""

import struct

SIZE = 32

HAND = [
    "      ##          ",
    "     #..#         ",
    "     #..#         ",
    "     #..#         ",
    "     #..#         ",
    "     #..###       ",
    "     #..#..###    ",
    "     #..#..#..##  ",
    "     #..#..#..#.o#",
    "  ## #..#..#..#.o#",
    " #..##..#..#..#.o#",
    " #...#..........o#",
    "  #.............o#",
    "  #.............o#",
    "   #............o#",
    "   #...........o# ",
    "    #..........o# ",
    "    #.........oo# ",
    "     #........o#  ",
    "     #........o#  ",
    "     ##########   ",
]

# The tip of the index finger, on its top outline.
HOT_SPOT = (6, 0)

COLOURS = {
    "#": (0, 0, 0, 255),
    ".": (255, 255, 255, 255),
    "o": (200, 200, 200, 255),
    " ": (0, 0, 0, 0),
}


def pixels():
    """Rows of RGBA tuples, top row first, SIZE x SIZE."""
    rows = []
    for y in range(SIZE):
        line = HAND[y] if y < len(HAND) else ""
        rows.append([COLOURS[line[x]] if x < len(line) else COLOURS[" "] for x in range(SIZE)])
    return rows


def cursor_bytes():
    rows = pixels()
    # BITMAPINFOHEADER: the height counts the colour image and the AND mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # a DIB stores the bottom row first
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
        bits = 0
        for x, (_r, _g, _b, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")  # rows of 32 bits are already 4-byte aligned
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT_SPOT[0], HOT_SPOT[1], len(image),
                        6 + 16)
    return directory + entry + image


def write_cursor(path):
    with open(path, "wb") as f:
        f.write(cursor_bytes())

