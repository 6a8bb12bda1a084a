"""The splash picture: a walnut panel with a façade of organ pipes above a five-octave
manual. The title text is added by ImageMagick afterwards (see make_artwork.py).

The window that shows the picture is cut to a rounded rectangle from (5, 5) to (503, 250)
with corners of radius 25, so everything of note stays well inside that outline.
"""

import math

from raster import Canvas, box, clamp, hex_colour, intersect, mix, polygon

WIDTH, HEIGHT = 499, 262

WALNUT_DARK = hex_colour("#24140b")
WALNUT_MID = hex_colour("#4a2b17")
WALNUT_LIGHT = hex_colour("#6b4226")
GOLD = hex_colour("#d9b56c")


def _hash(ix, iy, seed):
    n = (ix * 374761393 + iy * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0


def noise(x, y, seed=0):
    """Smooth value noise in 0..1."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = _hash(ix, iy, seed)
    b = _hash(ix + 1, iy, seed)
    c = _hash(ix, iy + 1, seed)
    d = _hash(ix + 1, iy + 1, seed)
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy


def wood(x, y, dark=WALNUT_DARK, mid=WALNUT_MID, light=WALNUT_LIGHT, seed=1):
    """Walnut with horizontal grain: slow rings bent by noise and fine fibres along them."""
    bend = noise(x / 260.0, y / 60.0, seed) * 5.0 + noise(x / 70.0, y / 20.0, seed + 1) * 0.8
    ring = 0.5 + 0.5 * math.sin((y / 7.0 + bend) * math.pi)
    ring = ring ** 3
    fibre = noise(x / 45.0, y * 1.1, seed + 2)
    t = clamp(0.25 + 0.45 * ring + 0.3 * (fibre - 0.5))
    colour = mix(dark, mid, t / 0.6) if t < 0.6 else mix(mid, light, (t - 0.6) / 0.4)
    return colour


def background(x, y):
    colour = wood(x, y)
    # A soft vignette keeps the eye on the middle and darkens the corners that are cut off.
    dx, dy = (x - WIDTH / 2) / (WIDTH / 2), (y - HEIGHT / 2) / (HEIGHT / 2)
    shade = clamp(1.0 - 0.35 * (dx * dx + dy * dy) ** 1.2, 0.5, 1.0)
    return (colour[0] * shade, colour[1] * shade, colour[2] * shade, 1.0)


def tin(u, flat=0.0):
    """Polished tin on a cylinder: u runs from -1 (left edge) to 1 (right edge)."""
    u = clamp(u, -0.999, 0.999)
    nz = math.sqrt(1.0 - u * u)
    nz = nz + (1.0 - nz) * flat
    u = u * (1.0 - flat)
    diffuse = clamp(-0.45 * u + 0.9 * nz)
    highlight = math.exp(-((u + 0.38) / 0.13) ** 2)
    warm_rim = math.exp(-((u - 0.78) / 0.12) ** 2) * 0.35
    base = mix(hex_colour("#2b2420"), hex_colour("#c9c6c0"), diffuse)
    base = mix(base, hex_colour("#ffffff"), highlight * 0.85)
    return mix(base, hex_colour("#a8703c"), warm_rim)


class Pipe:
    def __init__(self, cx, width, top, mouth, toe):
        self.cx, self.w, self.top, self.mouth, self.toe = cx, width, top, mouth, toe

    def half_width_at(self, y):
        if y <= self.mouth:
            return self.w / 2
        t = (y - self.mouth) / (self.toe - self.mouth)
        return self.w / 2 + (1.2 - self.w / 2) * t

    def body_colour(self, x, y):
        half = self.half_width_at(y)
        colour = tin((x - self.cx) / half)
        if y < self.top + 2.0:  # the rolled rim at the top catches a little more light
            colour = mix(colour, hex_colour("#ffffff"), 0.25)
        return colour

    def outline(self):
        half, foot = self.w / 2, 1.2
        return polygon([
            (self.cx - half, self.top), (self.cx + half, self.top),
            (self.cx + half, self.mouth), (self.cx + foot, self.toe),
            (self.cx - foot, self.toe), (self.cx - half, self.mouth)])

    def draw(self, canvas):
        bbox = (self.cx - self.w / 2 - 1, self.top - 1, self.cx + self.w / 2 + 1, self.toe + 1)
        # A shadow on the panel behind, offset to the right.
        shadow = self.outline()
        canvas.draw(lambda x, y: shadow(x - 3.0, y - 1.0) - 1.5,
                    fill=(0, 0, 0, 0.35), bbox=(bbox[0], bbox[1], bbox[2] + 6, bbox[3] + 3))
        canvas.draw(self.outline(), fill=self.body_colour, bbox=bbox)
        self._draw_mouth(canvas)

    def _draw_mouth(self, canvas):
        half = self.w / 2
        mouth_half = half * 0.55
        mouth_height = max(2.5, self.w * 0.3)
        lip_top = self.mouth - mouth_height - self.w * 0.9
        # The upper lip is pressed flat and comes to a point: a slightly brighter shield.
        lip = polygon([(self.cx - mouth_half, self.mouth - mouth_height),
                       (self.cx, lip_top),
                       (self.cx + mouth_half, self.mouth - mouth_height)])
        canvas.draw(lip,
                    fill=lambda x, y: tin((x - self.cx) / half, flat=0.75),
                    stroke=(0.15, 0.12, 0.1, 0.35), stroke_width=0.6,
                    bbox=(self.cx - half, lip_top - 1, self.cx + half, self.mouth))
        # The mouth itself: a dark opening across the flattened front.
        opening = box(self.cx - mouth_half, self.mouth - mouth_height,
                      self.cx + mouth_half, self.mouth, 0.6)
        canvas.draw(opening, fill=hex_colour("#120c08"),
                    bbox=(self.cx - half, self.mouth - mouth_height - 1, self.cx + half,
                          self.mouth + 1))
        # The lower lip below it, a short flat triangle on the foot.
        lower = polygon([(self.cx - mouth_half, self.mouth),
                         (self.cx + mouth_half, self.mouth),
                         (self.cx, self.mouth + self.w * 0.3)])
        canvas.draw(lower, fill=lambda x, y: tin((x - self.cx) / half, flat=0.6),
                    bbox=(self.cx - half, self.mouth, self.cx + half, self.mouth + self.w))


def facade():
    """Nine pipes, the tallest in the middle, mouths in one line, standing on the rail."""
    pipes = []
    count, width, gap = 7, 16.5, 5.0
    left = 463.0 - count * width - (count - 1) * gap
    for i in range(count):
        cx = left + width / 2 + i * (width + gap)
        distance = abs(i - (count - 1) / 2) / ((count - 1) / 2)
        top = 24.0 + 60.0 * distance ** 1.4
        w = width - 2.0 * distance
        pipes.append(Pipe(cx, w, top, 140.0, 178.0))
    return pipes


RAIL_TOP, RAIL_BOTTOM = 176.0, 186.0
KEYS_LEFT, KEYS_RIGHT = 40.0, 459.0
KEYS_TOP, KEYS_BOTTOM = 195.0, 223.0
CHEEK = 12.0


def draw_rail(canvas):
    """The wooden impost the pipes stand on, with a gilt moulding along its top."""
    rail = box(308.0, RAIL_TOP, 470.0, RAIL_BOTTOM, 1.5)
    canvas.draw(rail,
                fill=lambda x, y: wood(x, y * 2.0, hex_colour("#3b2212"), hex_colour("#6a4127"),
                                       hex_colour("#8a5a35"), seed=7),
                stroke=hex_colour("#1a0e07"), stroke_width=0.8,
                bbox=(306, RAIL_TOP - 1, 474, RAIL_BOTTOM + 1))
    canvas.draw(box(308.0, RAIL_TOP, 470.0, RAIL_TOP + 1.6), fill=GOLD,
                bbox=(306, RAIL_TOP - 1, 474, RAIL_TOP + 3))


def draw_manual(canvas):
    """A 61-note manual, C to C, between two cheek blocks, on a dark key bed."""
    left, right = KEYS_LEFT - CHEEK, KEYS_RIGHT + CHEEK
    bed = box(left, KEYS_TOP - 5.0, right, KEYS_BOTTOM + 4.0, 2.5)
    canvas.draw(lambda x, y: bed(x - 2.0, y - 2.0) - 1.0, fill=(0, 0, 0, 0.4),
                bbox=(left, KEYS_TOP - 6, right + 5, KEYS_BOTTOM + 8))
    canvas.draw(bed,
                fill=lambda x, y: wood(x, y * 1.5, hex_colour("#1e1008"), hex_colour("#3d2313"),
                                       hex_colour("#5a3720"), seed=11),
                stroke=hex_colour("#120904"), stroke_width=0.8,
                bbox=(left - 1, KEYS_TOP - 6, right + 1, KEYS_BOTTOM + 5))
    canvas.draw(box(left + 1.0, KEYS_TOP - 5.0, right - 1.0, KEYS_TOP - 3.8), fill=GOLD,
                bbox=(left, KEYS_TOP - 6, right, KEYS_TOP - 3))

    whites = 36
    pitch = (KEYS_RIGHT - KEYS_LEFT) / whites
    for k in range(whites):
        x0 = KEYS_LEFT + k * pitch + 0.5
        x1 = x0 + pitch - 1.0
        key = box(x0, KEYS_TOP, x1, KEYS_BOTTOM, 0.8)

        def ivory(x, y, x0=x0):
            t = (y - KEYS_TOP) / (KEYS_BOTTOM - KEYS_TOP)
            colour = mix(hex_colour("#d9cfb8"), hex_colour("#f8f3e6"), clamp(t * 3.0))
            if y > KEYS_BOTTOM - 2.5:  # the rounded front edge of the key
                colour = mix(colour, hex_colour("#b8ab90"), 0.6)
            return colour

        canvas.draw(key, fill=ivory, bbox=(x0 - 1, KEYS_TOP - 1, x1 + 1, KEYS_BOTTOM + 1))

    # Sharps sit after the white keys C, D, F, G and A of each octave.
    black_height = (KEYS_BOTTOM - KEYS_TOP) * 0.6
    for k in range(whites - 1):
        if k % 7 in (2, 6):
            continue
        cx = KEYS_LEFT + (k + 1) * pitch
        x0, x1 = cx - pitch * 0.32, cx + pitch * 0.32
        sharp = box(x0, KEYS_TOP - 0.5, x1, KEYS_TOP + black_height, 0.9)

        def ebony(x, y, x0=x0, x1=x1):
            u = (x - x0) / (x1 - x0)
            top_face = y > KEYS_TOP + black_height - 3.0
            colour = hex_colour("#2c2622") if top_face else hex_colour("#14110f")
            if 0.2 < u < 0.45 and not top_face:
                colour = mix(colour, hex_colour("#5a524c"), 0.6)
            return colour

        canvas.draw(lambda x, y, s=sharp: s(x - 1.0, y - 1.0), fill=(0, 0, 0, 0.35),
                    bbox=(x0, KEYS_TOP, x1 + 2, KEYS_TOP + black_height + 2))
        canvas.draw(sharp, fill=ebony,
                    bbox=(x0 - 1, KEYS_TOP - 1, x1 + 1, KEYS_TOP + black_height + 1))


def draw_frame(canvas):
    """A fine gilt line inset from the window's rounded outline."""
    outer = box(15.0, 15.0, 489.0, 241.0, 17.0)
    ring = intersect(outer, lambda x, y: -(outer(x, y) + 0.9))
    canvas.draw(ring, fill=(GOLD[0], GOLD[1], GOLD[2], 0.55))


def render(path):
    canvas = Canvas(WIDTH, HEIGHT, (0, 0, 0, 1))
    canvas.shade(background)
    draw_frame(canvas)
    for pipe in facade():
        pipe.draw(canvas)
    draw_rail(canvas)
    draw_manual(canvas)
    canvas.write_pam(path)
