#!/usr/bin/env python3
"""Draws the application's artwork into resources/: the splash picture, the toolbar bitmaps
and the pointing-hand cursor. The files are committed; run this only to change them.

Needs Python 3 and ImageMagick (Debian: imagemagick, fonts-dejavu-core). Usage:
    python3 -B resources/artwork/make_artwork.py
The ImageMagick program can be chosen with the environment variable IMAGEMAGICK.
"""

import os
import shutil
import subprocess
import sys
import tempfile

import cursor
import splash
import toolbar

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)
FONTS = "/usr/share/fonts/truetype/dejavu/"


def imagemagick():
    chosen = os.environ.get("IMAGEMAGICK")
    if chosen:
        return chosen
    for name in ("magick", "/usr/bin/convert"):
        if shutil.which(name):
            return shutil.which(name)
    sys.exit("make_artwork: ImageMagick not found (apt-get install imagemagick)")


def text_layer(font, size, colour, x, y, text, kerning=0.0, blur=0.0):
    """An ImageMagick sub-command that paints one line of text on a transparent layer."""
    layer = ["(", "-size", f"{splash.WIDTH}x{splash.HEIGHT}", "xc:none", "-font", FONTS + font,
             "-pointsize", str(size), "-kerning", str(kerning), "-fill", colour,
             "-annotate", f"+{x}+{y}", text]
    if blur:
        layer += ["-blur", f"0x{blur}"]
    return layer + [")", "-composite"]


def make_splash(convert, work):
    base = os.path.join(work, "splash.pam")
    splash.render(base)
    left = 36
    lines = [
        ("DejaVuSerif.ttf", 15, "#e2c27e", left, 48, "Larchmont Consoles", 2.0),
        ("DejaVuSerif-Bold.ttf", 42, "#ffffff", left - 2, 98, "VTLConfig", 0.5),
        ("DejaVuSans.ttf", 13, "#f1e8d8", left, 140, "MIDI controller configuration", 0.3),
        ("DejaVuSans.ttf", 13, "#f1e8d8", left, 158, "for organ consoles", 0.3),
    ]
    command = [convert, base]
    for font, size, _colour, x, y, text, kerning in lines:
        command += text_layer(font, size, "#000000c0", x + 2, y + 2, text, kerning, blur=2.0)
    for font, size, colour, x, y, text, kerning in lines:
        command += text_layer(font, size, colour, x, y, text, kerning)
    # A short gilt rule between the title and the subtitle.
    command += ["-fill", "#d9b56cd0", "-stroke", "none",
                "-draw", f"rectangle {left},115 {left + 150},116"]
    command += ["-alpha", "off", "-quality", "92", "-sampling-factor", "1x1",
                "-strip", os.path.join(RESOURCES, "tlsplash.jpg")]
    subprocess.run(command, check=True)


def make_toolbar(convert, work):
    for name, draw in toolbar.ICONS.items():
        pam = os.path.join(work, name + ".pam")
        toolbar.render(draw, pam)
        # 32-bit BMP with an alpha channel, so the icons sit on any toolbar colour.
        subprocess.run([convert, pam,
                        os.path.join(RESOURCES, name + ".bmp")], check=True)


def main():
    convert = imagemagick()
    with tempfile.TemporaryDirectory() as work:
        make_splash(convert, work)
        make_toolbar(convert, work)
    cursor.write_cursor(os.path.join(RESOURCES, "hand.cur"))


if __name__ == "__main__":
    main()
