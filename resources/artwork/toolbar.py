"""The toolbar pictures, 24 x 24 pixels each, named after the toolbar keys.

One style for all: soft fills lit from above, a one-pixel darker outline just inside every
shape, and a transparent background.
"""

import math

from raster import Canvas, box, circle, hex_colour, mix, polygon, subtract

SIZE = 24

OUTLINE_GREY = hex_colour("#5b6470")
PAPER = hex_colour("#ffffff")
PAPER_SHADE = hex_colour("#e4e9f0")
TEXT_LINE = hex_colour("#8fb3dc")


def vertical(top, bottom, y0, y1):
    """A fill that runs from colour top at y0 to colour bottom at y1."""
    top, bottom = hex_colour(top), hex_colour(bottom)
    return lambda x, y: mix(top, bottom, min(1.0, max(0.0, (y - y0) / (y1 - y0))))


def paper(x0, y0, x1, y1):
    return lambda x, y: mix(PAPER, PAPER_SHADE, (y - y0) / (y1 - y0))


def document(canvas, x0, y0, x1, y1, lines=True):
    """A sheet with a folded top-right corner and a few lines of text."""
    fold = 4.0
    sheet = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    canvas.draw(sheet, fill=paper(x0, y0, x1, y1), stroke=OUTLINE_GREY)
    corner = polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    canvas.draw(corner, fill=hex_colour("#cfd6df"), stroke=OUTLINE_GREY, stroke_width=0.8)
    if lines:
        y, row = y0 + fold + 2.0, 0
        while y + 1.0 <= y1 - 2.0:
            right = x1 - (4.0 if row % 2 else 2.0)
            canvas.draw(box(x0 + 2.0, y, right, y + 1.0), fill=TEXT_LINE)
            y, row = y + 3.0, row + 1


def arrow(x, top, bottom, up):
    """A thick vertical arrow with its point at top (up) or bottom (down)."""
    head, shaft = 5.0, 2.0
    length = 5.5
    if up:
        points = [(x, top), (x + head, top + length), (x + shaft, top + length),
                  (x + shaft, bottom), (x - shaft, bottom), (x - shaft, top + length),
                  (x - head, top + length)]
    else:
        points = [(x, bottom), (x + head, bottom - length), (x + shaft, bottom - length),
                  (x + shaft, top), (x - shaft, top), (x - shaft, bottom - length),
                  (x - head, bottom - length)]
    return polygon(points)


def manual(canvas, top):
    """A short organ manual seen from the front, on whole pixels so that the keys stay crisp:
    seven white keys of two pixels with one-pixel gaps, and the sharps over the gaps."""
    bottom = 23.0
    canvas.draw(box(0.0, top, 24.0, bottom, 1.0), fill=vertical("#9a6236", "#6b3e1d", top, bottom),
                stroke=hex_colour("#3b210d"))
    key_top, key_bottom = top + 1.0, bottom - 1.0
    canvas.draw(box(1.0, key_top, 23.0, key_bottom), fill=hex_colour("#4a2e18"))
    for k in range(7):
        x0 = 2.0 + 3.0 * k
        canvas.draw(box(x0, key_top, x0 + 2.0, key_bottom),
                    fill=vertical("#e8e0d0", "#ffffff", key_top, key_bottom))
    for k in (0, 1, 3, 4, 5):
        gap = 4.0 + 3.0 * k
        canvas.draw(box(gap, key_top, gap + 2.0, key_top + 5.0), fill=hex_colour("#1c1714"))


def draw_load(canvas):
    # An open folder with a sheet in it.
    back = polygon([(1.0, 4.0), (8.0, 4.0), (10.0, 6.0), (21.0, 6.0), (21.0, 20.0), (1.0, 20.0)])
    canvas.draw(back, fill=vertical("#e9b23e", "#c98a1c", 4.0, 20.0),
                stroke=hex_colour("#8a5a10"))
    canvas.draw(box(4.0, 8.0, 19.0, 16.0), fill=PAPER, stroke=OUTLINE_GREY)
    front = polygon([(5.0, 11.0), (23.0, 11.0), (20.0, 21.0), (1.0, 21.0)])
    canvas.draw(front, fill=vertical("#ffe08a", "#f1b43c", 11.0, 21.0),
                stroke=hex_colour("#8a5a10"))


def draw_save(canvas):
    # A diskette: blue shell, metal shutter, paper label.
    canvas.draw(box(2.0, 2.0, 22.0, 22.0, 1.5), fill=vertical("#5d8fd6", "#2f5ea6", 2.0, 22.0),
                stroke=hex_colour("#1b3a6b"))
    canvas.draw(box(6.0, 2.0, 18.0, 10.0, 0.5), fill=vertical("#f2f4f7", "#b9c0ca", 2.0, 10.0),
                stroke=hex_colour("#4a5562"))
    canvas.draw(box(13.0, 4.0, 16.0, 8.0), fill=hex_colour("#2a3340"))
    canvas.draw(box(5.0, 12.0, 19.0, 22.0, 0.5), fill=paper(5.0, 12.0, 19.0, 22.0),
                stroke=hex_colour("#1b3a6b"))
    for y in (15.0, 18.0):
        canvas.draw(box(7.0, y, 17.0, y + 1.0), fill=TEXT_LINE)


def draw_transfer(canvas, up):
    manual(canvas, 12.0)
    shape = arrow(12.0, 0.0, 11.0, up)
    if up:
        canvas.draw(shape, fill=vertical("#6fd38a", "#23914a", 0.5, 11.5),
                    stroke=hex_colour("#145c2c"))
    else:
        canvas.draw(shape, fill=vertical("#ffb36b", "#dd5a1f", 0.5, 11.5),
                    stroke=hex_colour("#8a3210"))


def draw_loado(canvas):
    # Program data coming up out of the console.
    draw_transfer(canvas, up=True)


def draw_write(canvas):
    # Program data going down into the console.
    draw_transfer(canvas, up=False)


def draw_copy(canvas):
    document(canvas, 2.0, 1.0, 15.0, 17.0)
    document(canvas, 9.0, 7.0, 22.0, 23.0)


def draw_paste(canvas):
    # A clipboard with a sheet on it.
    canvas.draw(box(2.0, 3.0, 19.0, 23.0, 1.5), fill=vertical("#c99358", "#9c6633", 3.0, 23.0),
                stroke=hex_colour("#5e3a17"))
    document(canvas, 9.0, 8.0, 22.0, 23.0)
    canvas.draw(box(6.0, 1.0, 15.0, 6.0, 1.0), fill=vertical("#eef1f5", "#a9b2bd", 1.0, 6.0),
                stroke=hex_colour("#4a5562"))
    canvas.draw(box(9.0, 1.0, 12.0, 3.0, 0.5), fill=hex_colour("#4a5562"))


def draw_midi(canvas):
    # A five-pin DIN socket: metal rim, black face with the key notch on top, pins in an arc.
    cx, cy = 12.0, 12.0
    canvas.draw(circle(cx, cy, 11.0), fill=vertical("#f4f5f7", "#8d949e", 1.0, 23.0),
                stroke=hex_colour("#3a3f46"))
    face = subtract(circle(cx, cy, 8.0), box(10.5, 2.0, 13.5, 6.2))
    canvas.draw(face, fill=vertical("#3b3d42", "#121315", 4.0, 20.0))
    pin_radius = 5.0
    for angle in (180, 135, 90, 45, 0):
        a = math.radians(angle)
        px, py = cx + pin_radius * math.cos(a), cy + pin_radius * math.sin(a)
        canvas.draw(circle(px, py, 1.35), fill=vertical("#fff3c4", "#c9a23c", py - 1.3, py + 1.3))


def draw_live(canvas):
    # The console played and seen: a manual with one key lit, and a lamp glowing above it.
    manual(canvas, 12.0)
    canvas.draw(box(11.0, 13.0, 13.0, 22.0), fill=vertical("#ffd27a", "#ff9f1a", 13.0, 22.0))
    canvas.draw(circle(12.0, 6.0, 4.5), fill=vertical("#fff1b8", "#f0a020", 1.5, 10.5),
                stroke=hex_colour("#8a5a10"))
    for x0, x1 in ((2.0, 5.0), (19.0, 22.0)):
        canvas.draw(box(x0, 5.5, x1, 6.5), fill=hex_colour("#f0a020"))


ICONS = {
    "load": draw_load,
    "save": draw_save,
    "loado": draw_loado,
    "write": draw_write,
    "copy": draw_copy,
    "paste": draw_paste,
    "midi": draw_midi,
    "live": draw_live,
}


def render(draw, path):
    canvas = Canvas(SIZE, SIZE)
    draw(canvas)
    canvas.write_pam(path)
