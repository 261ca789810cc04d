#!/usr/bin/env python3
"""Draws the install window's skin: every picture the UI descriptions name,
plus the window icon, as PNG files under OUT (paths as the package holds them).

Sizes and colours live here so that the whole skin changes in one place.
Shapes are drawn by signed distance with one pixel of anti-aliasing; the
standard library's zlib and struct write the files.

    make_skin.py OUT
    make_skin.py --advert FILE   the advert picture the local web API serves
                                 (not part of the skin: it comes from the web)
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_icon  # noqa: E402

# Palette (red, green, blue, alpha).
FELT = (18, 92, 54, 255)
FELT_DARK = (6, 42, 24, 255)
STRIP = (8, 36, 22, 255)
GOLD = (226, 184, 82, 255)
GOLD_LIGHT = (250, 222, 140, 255)
GOLD_DARK = (170, 128, 40, 255)
IVORY = (244, 238, 220, 255)
INK = (34, 34, 36, 255)
RUBY = (188, 36, 48, 255)
SHADOW = (0, 0, 0, 90)

WINDOW_W, WINDOW_H = 720, 450
TOP_STRIP_H = 32
ADVERT_H = 250
DIALOG_W, DIALOG_H = 360, 200
CORNER = 6


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(fill) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        alpha = colour[3] / 255.0 * coverage
        if alpha <= 0:
            return
        target = self.pixels[y * self.width + x]
        old_alpha = target[3] / 255.0
        out_alpha = alpha + old_alpha * (1 - alpha)
        for i in range(3):
            target[i] = (colour[i] * alpha + target[i] * old_alpha * (1 - alpha)) / out_alpha
        target[3] = out_alpha * 255

    def shade(self, box, distance, colour_at):
        """Fills where distance(x, y) < 0, colour_at(x, y) giving the colour."""
        left, top, right, bottom = (max(0, int(box[0]) - 1), max(0, int(box[1]) - 1),
                                    min(self.width, int(box[2]) + 2), min(self.height, int(box[3]) + 2))
        for y in range(top, bottom):
            for x in range(left, right):
                coverage = min(1.0, max(0.0, 0.5 - distance(x + 0.5, y + 0.5)))
                if coverage > 0:
                    self.blend(x, y, colour_at(x + 0.5, y + 0.5), coverage)

    def png(self):
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)
            for x in range(self.width):
                rows.extend(int(round(max(0, min(255, c)))) for c in self.pixels[y * self.width + x])
        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    def distance(x, y):
        qx, qy = abs(x - cx) - hx + radius, abs(y - cy) - hy + radius
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius
    return distance


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, half_width):
    def distance(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - half_width
    return distance


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def ring(shape, half_width):
    return lambda x, y: abs(shape(x, y)) - half_width


def rotated(shape, cx, cy, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return lambda x, y: shape(cx + (x - cx) * c + (y - cy) * s, cy - (x - cx) * s + (y - cy) * c)


def solid(colour):
    return lambda x, y: colour


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def vertical(top_colour, bottom_colour, y0, y1):
    return lambda x, y: mix(top_colour, bottom_colour, (y - y0) / max(1, y1 - y0))


def felt(cx, cy, reach):
    """Felt lit from the middle, darker towards the edges, with a faint weave."""
    def colour(x, y):
        d = math.hypot((x - cx) / reach[0], (y - cy) / reach[1])
        weave = 0.035 * ((int(x) * 7 + int(y) * 13) % 5 - 2) / 2
        return mix(FELT, FELT_DARK, d * d * 0.9 + weave)
    return colour


def everywhere(canvas):
    return (0, 0, canvas.width, canvas.height), lambda x, y: -1


# ---- Window and advert ----------------------------------------------------------------

def window_background():
    c = Canvas(WINDOW_W, WINDOW_H)
    box, inside = everywhere(c)
    c.shade(box, inside, felt(WINDOW_W / 2, WINDOW_H * 0.62, (WINDOW_W * 0.75, WINDOW_H * 0.9)))
    c.shade((0, 0, WINDOW_W, TOP_STRIP_H), rounded_rect(0, 0, WINDOW_W, TOP_STRIP_H, 0), solid(STRIP))
    for y, colour in ((TOP_STRIP_H, GOLD_DARK), (TOP_STRIP_H + ADVERT_H, GOLD_DARK)):
        c.shade((0, y, WINDOW_W, y + 1), rounded_rect(0, y, WINDOW_W, y + 1, 0), solid(colour))
    # A thin gold frame around the borderless window.
    c.shade(box, ring(rounded_rect(0.5, 0.5, WINDOW_W - 0.5, WINDOW_H - 0.5, 0), 0.5), solid(GOLD_DARK))
    # The chip of the title strip.
    c.shade((8, 6, 28, 26), circle(18, 16, 9), solid(GOLD))
    c.shade((8, 6, 28, 26), ring(circle(18, 16, 6), 1.2), solid(STRIP))
    return c


def heart(cx, cy, size):
    r = size * 0.3
    lobes = union(circle(cx - r * 0.95, cy - r * 0.3, r), circle(cx + r * 0.95, cy - r * 0.3, r))
    point = lambda x, y: (abs(x - cx) * 0.8 + (y - cy) * 0.6) - size * 0.42 + 0 * y
    return union(lobes, lambda x, y: max(point(x, y), cy - r * 0.6 - y))


def diamond(cx, cy, size):
    return lambda x, y: (abs(x - cx) / (size * 0.32) + abs(y - cy) / (size * 0.46) - 1) * size * 0.2


def club(cx, cy, size):
    r = size * 0.2
    return union(circle(cx, cy - r * 1.1, r), circle(cx - r * 1.05, cy + r * 0.4, r),
                 circle(cx + r * 1.05, cy + r * 0.4, r), segment(cx, cy, cx, cy + size * 0.45, size * 0.06))


def spade(cx, cy, size):
    upside = heart(cx, cy, size)
    return union(lambda x, y: upside(x, 2 * cy - y + size * 0.1), segment(cx, cy, cx, cy + size * 0.42, size * 0.06))


def card(c, cx, cy, degrees, suit, colour):
    w, h = 84, 118
    body = rotated(rounded_rect(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, 8), cx, cy, degrees)
    shadow = rotated(rounded_rect(cx - w / 2 + 4, cy - h / 2 + 6, cx + w / 2 + 4, cy + h / 2 + 6, 8), cx, cy, degrees)
    box = (cx - 90, cy - 90, cx + 90, cy + 90)
    c.shade(box, lambda x, y: shadow(x, y) - 3, solid(SHADOW))
    c.shade(box, body, vertical(IVORY, (226, 218, 196, 255), cy - h / 2, cy + h / 2))
    c.shade(box, ring(rotated(rounded_rect(cx - w / 2 + 5, cy - h / 2 + 5, cx + w / 2 - 5, cy + h / 2 - 5, 5),
                              cx, cy, degrees), 0.6), solid(GOLD_DARK))
    c.shade(box, rotated(suit(cx, cy + 4, 44), cx, cy, degrees), solid(colour))
    c.shade(box, rotated(suit(cx - w / 2 + 14, cy - h / 2 + 18, 14), cx, cy, degrees), solid(colour))


def advert_default():
    c = Canvas(WINDOW_W, ADVERT_H)
    box, inside = everywhere(c)
    c.shade(box, inside, felt(WINDOW_W * 0.7, ADVERT_H * 0.55, (WINDOW_W * 0.7, ADVERT_H * 1.3)))
    # The table's rail: an oval in gold.
    c.shade(box, ring(lambda x, y: (math.hypot((x - 520) / 250, (y - 140) / 150) - 1) * 150, 1.2), solid(GOLD_DARK))
    for cx, cy, degrees, suit, colour in ((430, 128, -14, spade, INK), (500, 118, -4, heart, RUBY),
                                          (570, 122, 7, diamond, RUBY), (640, 134, 17, club, INK)):
        card(c, cx, cy, degrees, suit, colour)
    # Chips beside the cards.
    for cx, cy, colour in ((340, 196, RUBY), (362, 186, GOLD), (318, 188, IVORY)):
        c.shade((cx - 20, cy - 20, cx + 20, cy + 20), circle(cx + 2, cy + 3, 15), solid(SHADOW))
        c.shade((cx - 20, cy - 20, cx + 20, cy + 20), circle(cx, cy, 15), solid(colour))
        c.shade((cx - 20, cy - 20, cx + 20, cy + 20), ring(circle(cx, cy, 10), 1.5), solid(FELT_DARK))
    return c


def advert_served():
    """An advert as the web API would serve it: a ruby banner with a royal
    flush fanned across it and a tower of chips, unlike the green default."""
    c = Canvas(WINDOW_W, ADVERT_H - 1)
    box, inside = everywhere(c)
    wine = (92, 14, 28, 255)
    wine_dark = (38, 4, 12, 255)
    def lit(x, y):
        d = math.hypot((x - WINDOW_W * 0.35) / (WINDOW_W * 0.8), (y - ADVERT_H * 0.4) / ADVERT_H)
        return mix(wine, wine_dark, min(1.0, d * d * 1.4))
    c.shade(box, inside, lit)
    # Gold rays from behind the cards.
    for degrees in range(-60, 61, 15):
        ray = rotated(segment(250, 250, 250, -40, 9), 250, 250, degrees)
        c.shade(box, ray, solid((226, 184, 82, 60)))
    for cx, cy, degrees, suit, colour in ((150, 132, -24, heart, RUBY), (205, 118, -12, heart, RUBY),
                                          (260, 112, 0, heart, RUBY), (315, 118, 12, heart, RUBY),
                                          (370, 132, 24, heart, RUBY)):
        card(c, cx, cy, degrees, suit, colour)
    # A tower of chips on the right.
    for level in range(7):
        cx, cy = 560, 200 - level * 14
        c.shade((cx - 50, cy - 30, cx + 50, cy + 30), lambda x, y: math.hypot((x - cx) / 44, (y - cy) / 16) * 16 - 16,
                solid(GOLD if level % 2 == 0 else IVORY))
        c.shade((cx - 50, cy - 30, cx + 50, cy + 30),
                ring(lambda x, y: math.hypot((x - cx) / 30, (y - cy) / 11) * 11 - 11, 1.5), solid(RUBY))
    c.shade(box, ring(rounded_rect(2.5, 2.5, WINDOW_W - 2.5, ADVERT_H - 3.5, 10), 1.5), solid(GOLD_LIGHT))
    return c


# ---- Controls ----------------------------------------------------------------------

def strip(frame_w, frame_h, frames, draw):
    c = Canvas(frame_w * len(frames), frame_h)
    for index, look in enumerate(frames):
        draw(c, index * frame_w, frame_w, frame_h, look)
    return c


BUTTON_LOOKS = ("up", "hover", "down", "disabled")


def gold_button(c, x0, w, h, look):
    top, bottom = {"up": (GOLD_LIGHT, GOLD), "hover": ((255, 236, 170, 255), (238, 198, 96, 255)),
                   "down": (GOLD, GOLD_DARK), "disabled": ((150, 150, 140, 255), (110, 112, 104, 255))}[look]
    offset = 1 if look == "down" else 0
    c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 1, 2, x0 + w - 1, h, CORNER), solid(SHADOW))
    c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 1, 1 + offset, x0 + w - 1, h - 2 + offset, CORNER),
            vertical(top, bottom, 0, h))
    c.shade((x0, 0, x0 + w, h), ring(rounded_rect(x0 + 1.5, 1.5 + offset, x0 + w - 1.5, h - 2.5 + offset, CORNER), 0.5),
            solid(GOLD_DARK if look != "disabled" else (90, 90, 84, 255)))


def quiet_button(c, x0, w, h, look):
    """A link-like button: nothing at rest, a soft plate on hover and press."""
    fill = {"up": None, "hover": (255, 255, 255, 28), "down": (0, 0, 0, 50), "disabled": None}[look]
    if fill:
        c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 1, 1, x0 + w - 1, h - 1, CORNER), solid(fill))
    if look in ("hover", "down"):
        c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 8, h - 4, x0 + w - 8, h - 3, 0), solid(GOLD))


def plate_button(c, x0, w, h, look):
    """The secondary action: dark plate with a gold edge."""
    fill = {"up": (20, 70, 42, 255), "hover": (28, 92, 56, 255), "down": (10, 48, 28, 255),
            "disabled": (60, 70, 64, 255)}[look]
    c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 1, 1, x0 + w - 1, h - 1, CORNER), solid(fill))
    c.shade((x0, 0, x0 + w, h), ring(rounded_rect(x0 + 1.5, 1.5, x0 + w - 1.5, h - 1.5, CORNER), 0.5),
            solid(GOLD if look != "disabled" else (110, 112, 104, 255)))


def glyph_button(glyph):
    def draw(c, x0, w, h, look):
        plate = {"up": None, "hover": (255, 255, 255, 36), "down": (0, 0, 0, 70), "disabled": None}[look]
        if glyph == "close" and look in ("hover", "down"):
            plate = (176, 40, 46, 255) if look == "hover" else (130, 24, 30, 255)
        if plate:
            c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 2, 2, x0 + w - 2, h - 2, CORNER), solid(plate))
        ink = IVORY if look != "disabled" else (120, 120, 110, 255)
        cx, cy, s = x0 + w / 2, h / 2, w * 0.2
        if glyph == "close":
            shape = union(segment(cx - s, cy - s, cx + s, cy + s, 1.0), segment(cx - s, cy + s, cx + s, cy - s, 1.0))
        else:
            shape = segment(cx - s, cy + s * 0.6, cx + s, cy + s * 0.6, 1.0)
        c.shade((x0, 0, x0 + w, h), shape, solid(ink))
    return draw


CHECK_LOOKS = ("unchecked", "unchecked_hover", "unchecked_disabled", "checked", "checked_hover", "checked_disabled")


def check_box(c, x0, w, h, look):
    edge = GOLD_LIGHT if "hover" in look else GOLD
    if "disabled" in look:
        edge = (120, 120, 110, 255)
    c.shade((x0, 0, x0 + w, h), rounded_rect(x0 + 1, 1, x0 + w - 1, h - 1, 3), solid(FELT_DARK))
    c.shade((x0, 0, x0 + w, h), ring(rounded_rect(x0 + 1.5, 1.5, x0 + w - 1.5, h - 1.5, 3), 0.6), solid(edge))
    if look.startswith("checked"):
        tick = union(segment(x0 + 4, h * 0.52, x0 + w * 0.42, h - 4.5, 1.1),
                     segment(x0 + w * 0.42, h - 4.5, x0 + w - 3.5, 4, 1.1))
        c.shade((x0, 0, x0 + w, h), tick, solid(edge if "disabled" in look else GOLD_LIGHT))


def progress_track(w, h):
    c = Canvas(w, h)
    c.shade((0, 0, w, h), rounded_rect(0, 0, w, h, h / 2), solid(FELT_DARK))
    c.shade((0, 0, w, h), ring(rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, h / 2), 0.5), solid(GOLD_DARK))
    return c


def progress_fill(w, h):
    """Three parts: rounded caps with a stretchable middle, so that any
    cropped width still ends in a lit edge rather than a cut."""
    c = Canvas(w, h)
    c.shade((0, 0, w, h), rounded_rect(0, 0, w, h, h / 2), vertical(GOLD_LIGHT, GOLD_DARK, 0, h))
    c.shade((0, 0, w, h), rounded_rect(h / 2, 2, w - h / 2, 4, 1), solid((255, 255, 255, 70)))
    return c


def sunken_field(w, h):
    c = Canvas(w, h)
    c.shade((0, 0, w, h), rounded_rect(0, 0, w, h, CORNER), solid((4, 30, 16, 255)))
    c.shade((0, 0, w, h), ring(rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, CORNER), 0.5), solid(GOLD_DARK))
    c.shade((0, 0, w, h), rounded_rect(4, 1, w - 4, 2, 0), solid((0, 0, 0, 110)))
    return c


def dialog_background():
    c = Canvas(DIALOG_W, DIALOG_H)
    box, inside = everywhere(c)
    c.shade(box, inside, felt(DIALOG_W / 2, DIALOG_H * 0.6, (DIALOG_W, DIALOG_H * 1.2)))
    c.shade((0, 0, DIALOG_W, 30), rounded_rect(0, 0, DIALOG_W, 30, 0), solid(STRIP))
    c.shade((0, 30, DIALOG_W, 31), rounded_rect(0, 30, DIALOG_W, 31, 0), solid(GOLD_DARK))
    # The message sits on an ivory card, centred on the line y = 100.
    c.shade(box, rounded_rect(16, 44, DIALOG_W - 16, 146, CORNER), solid((240, 234, 216, 255)))
    c.shade(box, ring(rounded_rect(0.5, 0.5, DIALOG_W - 0.5, DIALOG_H - 0.5, 0), 0.5), solid(GOLD_DARK))
    return c


def pictures():
    return {
        "Installer/Skin/WindowBackground.png": window_background(),
        "Installer/Skin/AdvertDefault.png": advert_default(),
        "Installer/Skin/ButtonInstall.png": strip(220, 50, BUTTON_LOOKS, gold_button),
        "Installer/Skin/ButtonInstallSmall.png": strip(140, 40, BUTTON_LOOKS, gold_button),
        "Installer/Skin/ButtonQuiet.png": strip(100, 26, BUTTON_LOOKS, quiet_button),
        "Installer/Skin/ButtonLink.png": strip(90, 22, BUTTON_LOOKS, quiet_button),
        "Installer/Skin/ButtonBrowse.png": strip(72, 28, BUTTON_LOOKS, plate_button),
        "Installer/Skin/ButtonDialog.png": strip(100, 34, BUTTON_LOOKS, gold_button),
        "Installer/Skin/ButtonClose.png": strip(28, 28, BUTTON_LOOKS, glyph_button("close")),
        "Installer/Skin/ButtonMinimize.png": strip(28, 28, BUTTON_LOOKS, glyph_button("minimize")),
        "Installer/Skin/CheckBox.png": strip(16, 16, CHECK_LOOKS, check_box),
        "Installer/Skin/ProgressTrack.png": progress_track(520, 18),
        "Installer/Skin/ProgressFill.png": progress_fill(516, 14),
        "Installer/Skin/PathField.png": sunken_field(520, 28),
        "Installer/Skin/DialogBackground.png": dialog_background(),
    }


def main(out):
    for name, canvas in pictures().items():
        path = os.path.join(out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as target:
            target.write(canvas.png())
    icon = os.path.join(out, "Installer/Icons/Installer.ico")
    os.makedirs(os.path.dirname(icon), exist_ok=True)
    with open(icon, "wb") as target:
        target.write(make_icon.icon_bytes())
    return 0


def write_advert(path):
    with open(path, "wb") as target:
        target.write(advert_served().png())
    return 0


if __name__ == "__main__":
    if sys.argv[1:2] == ["--advert"]:
        sys.exit(write_advert(sys.argv[2]))
    sys.exit(main(sys.argv[1]))
