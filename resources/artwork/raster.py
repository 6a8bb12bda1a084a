"""A tiny anti-aliased rasteriser for the project's artwork, in plain Python.

Shapes are signed distance functions (negative inside, in pixels). A shape is painted with a
fill and an optional stroke that lies just inside its edge; every pixel is sampled on a grid
so that edges come out smooth. The canvas keeps premultiplied RGBA floats and is written as
a PAM file, which ImageMagick turns into the committed JPEG and BMP files.
"""

import math


def hex_colour(text, alpha=1.0):
    """'#rrggbb' as an (r, g, b, a) tuple of floats 0..1."""
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4)) + (alpha,)


def mix(a, b, t):
    """Linear blend of two colour tuples of the same length."""
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


# Signed distance functions. Each returns a function of (x, y).

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, radius=0.0):
    """Axis-aligned rectangle from (x0, y0) to (x1, y1) with rounded corners."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sd(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - radius

    return sd


def polygon(points):
    """Exact distance to a closed polygon; the sign comes from the even-odd rule."""
    edges = list(zip(points, points[1:] + points[:1]))

    def sd(x, y):
        best = float("inf")
        inside = False
        for (ax, ay), (bx, by) in edges:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            length2 = ex * ex + ey * ey
            t = clamp((wx * ex + wy * ey) / length2) if length2 else 0.0
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best

    return sd


def segment(ax, ay, bx, by, width):
    """A stroke of the given width with round caps."""
    ex, ey = bx - ax, by - ay
    length2 = ex * ex + ey * ey

    def sd(x, y):
        t = clamp(((x - ax) * ex + (y - ay) * ey) / length2) if length2 else 0.0
        return math.hypot(x - ax - ex * t, y - ay - ey * t) - width / 2

    return sd


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


class Canvas:
    def __init__(self, width, height, background=(0.0, 0.0, 0.0, 0.0)):
        self.width, self.height = width, height
        r, g, b, a = background
        self.pixels = [[r * a, g * a, b * a, a] for _ in range(width * height)]

    def _blend(self, index, colour, coverage):
        r, g, b, a = colour
        a *= coverage
        if a <= 0.0:
            return
        p = self.pixels[index]
        keep = 1.0 - a
        p[0] = r * a + p[0] * keep
        p[1] = g * a + p[1] * keep
        p[2] = b * a + p[2] * keep
        p[3] = a + p[3] * keep

    def shade(self, function, bbox=None):
        """Paints every pixel of bbox with function(x, y) -> RGBA, sampled once per pixel."""
        x0, y0, x1, y1 = bbox or (0, 0, self.width, self.height)
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                colour = function(x + 0.5, y + 0.5)
                self._blend(y * self.width + x, colour, 1.0)

    def draw(self, sd, fill=None, stroke=None, stroke_width=1.0, bbox=None, samples=4):
        """Paints a shape. fill and stroke are RGBA tuples or functions (x, y) -> RGBA."""
        x0, y0, x1, y1 = bbox or (0, 0, self.width, self.height)
        step = 1.0 / samples
        offsets = [(i + 0.5) * step for i in range(samples)]
        weight = 1.0 / (samples * samples)
        for py in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for px in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                acc_fill = [0.0, 0.0, 0.0, 0.0]
                acc_stroke = [0.0, 0.0, 0.0, 0.0]
                for oy in offsets:
                    for ox in offsets:
                        x, y = px + ox, py + oy
                        d = sd(x, y)
                        if d >= 0.0:
                            continue
                        if stroke is not None and d > -stroke_width:
                            paint, acc = stroke, acc_stroke
                        elif fill is not None:
                            paint, acc = fill, acc_fill
                        else:
                            continue
                        c = paint(x, y) if callable(paint) else paint
                        acc[0] += c[0] * c[3] * weight
                        acc[1] += c[1] * c[3] * weight
                        acc[2] += c[2] * c[3] * weight
                        acc[3] += c[3] * weight
                index = py * self.width + px
                for acc in (acc_fill, acc_stroke):
                    if acc[3] > 0.0:
                        colour = (acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], 1.0)
                        self._blend(index, colour, acc[3])

    def write_pam(self, path):
        """Writes the canvas as an 8-bit RGB_ALPHA PAM file (straight alpha)."""
        out = bytearray()
        for r, g, b, a in self.pixels:
            if a > 0.0:
                r, g, b = r / a, g / a, b / a
            out += bytes(int(round(clamp(v) * 255)) for v in (r, g, b, a))
        header = (f"P7\nWIDTH {self.width}\nHEIGHT {self.height}\nDEPTH 4\nMAXVAL 255\n"
                  "TUPLTYPE RGB_ALPHA\nENDHDR\n")
        with open(path, "wb") as f:
            f.write(header.encode("ascii") + bytes(out))
