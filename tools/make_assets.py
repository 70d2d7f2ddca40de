#!/usr/bin/env python3
"""Draws the program's pictures and synthesises its sounds into assets/.

Only the standard library is used: the pictures are rasterised here (4 x 4 supersampling per pixel)
and written as PNG or 32-bit BMP bytes directly, the sounds are written with the wave module.
Run it from anywhere; it rewrites every file it makes:

    python3 tools/make_assets.py
"""

import math
import os
import struct
import wave
import zlib

ASSETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "assets")
SAMPLES = 4  # supersampling per axis
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


# ---------------------------------------------------------------- shapes: predicates on (x, y)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_outer, r_inner):
    return lambda x, y: r_inner * r_inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r_outer * r_outer


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def rounded_polygon(points, r):
    """The polygon grown outwards by r with round corners (a Minkowski sum with a disc)."""
    base = polygon(points)

    def distance_to_segment(x, y, a, b):
        ax, ay = a
        bx, by = b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return math.hypot(x - px, y - py)

    def inside(x, y):
        if base(x, y):
            return True
        n = len(points)
        return any(distance_to_segment(x, y, points[i], points[(i + 1) % n]) <= r for i in range(n))

    return inside


def arc(cx, cy, r_outer, r_inner, start_deg, end_deg):
    """Ring sector; angles in degrees, 0 pointing right, counting clockwise on screen."""

    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_inner * r_inner <= d2 <= r_outer * r_outer):
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        if start_deg <= end_deg:
            return start_deg <= angle <= end_deg
        return angle >= start_deg or angle <= end_deg

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# ---------------------------------------------------------------- canvas


class Canvas:
    """RGBA pixels, painted shape by shape with anti-aliased edges."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[list(background) for _ in range(width)] for _ in range(height)]

    def fill(self, shape, colour, shade=None):
        """Paints colour (r, g, b[, a]) where shape holds; shade(x, y) -> factor lightens or darkens."""
        r, g, b = colour[:3]
        alpha = colour[3] / 255 if len(colour) > 3 else 1.0
        step = 1 / SAMPLES
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                            hits += 1
                if hits == 0:
                    continue
                coverage = hits / (SAMPLES * SAMPLES) * alpha
                factor = shade(px + 0.5, py + 0.5) if shade else 1.0
                src = [min(255, max(0, c * factor)) for c in (r, g, b)]
                self._blend(px, py, src, coverage)

    def _blend(self, px, py, src, coverage):
        dst = self.pixels[py][px]
        dst_a = dst[3] / 255
        out_a = coverage + dst_a * (1 - coverage)
        if out_a <= 0:
            return
        for i in range(3):
            dst[i] = (src[i] * coverage + dst[i] * dst_a * (1 - coverage)) / out_a
        dst[3] = out_a * 255

    def rows(self):
        for row in self.pixels:
            yield [tuple(int(round(c)) for c in p) for p in row]


def vertical_shade(top, bottom, y0, y1):
    """A light-to-dark factor from y0 to y1, for a slightly rounded look."""

    def shade(_x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return top + (bottom - top) * t

    return shade


# ---------------------------------------------------------------- file writers


def write_png(path, canvas):
    raw = bytearray()
    for row in canvas.rows():
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def write_bmp(path, canvas):
    """32-bit BMP with a BITMAPV4 header and an alpha mask, so the transparent corners stay so."""
    pixels = bytearray()
    for row in reversed(list(canvas.rows())):  # bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    header_size = 108
    offset = 14 + header_size
    info = struct.pack(
        "<IiiHHIIiiII",
        header_size,
        canvas.width,
        canvas.height,
        1,
        32,
        3,  # BI_BITFIELDS
        len(pixels),
        3780,  # 96 dpi in pixels per metre
        3780,
        0,
        0,
    )
    masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    colour_space = b"BGRs" + bytes(36) + struct.pack("<III", 0, 0, 0)
    info += masks + colour_space
    assert len(info) == header_size
    file_header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + info + pixels)


def write_wav(path, samples, rate):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)


# ---------------------------------------------------------------- pictures


def warning_icon():
    c = Canvas(48, 48)
    outline = [(24, 5), (44, 41), (4, 41)]
    c.fill(rounded_polygon(outline, 3.0), (90, 70, 0))
    inner = [(24, 9.5), (40.5, 39), (7.5, 39)]
    c.fill(rounded_polygon(inner, 1.5), (255, 204, 40), vertical_shade(1.08, 0.92, 8, 40))
    c.fill(rounded_rect(21.8, 16, 26.2, 31, 2.0), (40, 30, 0))
    c.fill(circle(24, 35.2, 2.4), (40, 30, 0))
    return c


def round_badge(colour, dark):
    c = Canvas(48, 48)
    c.fill(circle(24, 24, 21.5), dark)
    c.fill(circle(24, 24, 20), colour, vertical_shade(1.18, 0.86, 4, 44))
    return c


def information_icon():
    c = round_badge((40, 110, 205), (20, 60, 130))
    white = (255, 255, 255)
    c.fill(circle(24, 13.5, 3.2), white)
    c.fill(union(rounded_rect(21, 19, 27, 35, 1.0), rect(18.5, 19, 27, 22)), white)
    c.fill(rect(18.5, 33, 29.5, 36), white)
    return c


def question_icon():
    c = round_badge((30, 135, 90), (15, 80, 50))
    white = (255, 255, 255)
    # The hook of the question mark: three quarters of a ring, then a short stem down the middle.
    c.fill(arc(24, 17.5, 8.5, 4.0, 165, 75), white)
    c.fill(rounded_rect(21.8, 24, 26.2, 30.5, 1.2), white)
    c.fill(circle(24, 36, 2.8), white)
    return c


SUN_RAYS = (235, 120, 10)
SUN_RIM = (200, 90, 0)
SUN_DISC = (255, 170, 20)
SUN_SHADE = (1.15, 0.9, 7, 25)  # top and bottom factor, from y to y on the 32 x 32 grid


def sun_rays():
    """The application icon's twelve rays as triangles on its 32 x 32 grid."""
    rays = []
    for i in range(12):
        angle = math.radians(i * 30 + 15)
        tip = (16 + 15 * math.cos(angle), 16 + 15 * math.sin(angle))
        left = (16 + 9 * math.cos(angle - 0.22), 16 + 9 * math.sin(angle - 0.22))
        right = (16 + 9 * math.cos(angle + 0.22), 16 + 9 * math.sin(angle + 0.22))
        rays.append([left, tip, right])
    return rays


def application_icon(size=32):
    """The sun, drawn at any size from the 32 x 32 grid that application_svg() describes too."""
    k = size / 32
    c = Canvas(size, size)
    c.fill(union(*(polygon([(x * k, y * k) for x, y in ray]) for ray in sun_rays())), SUN_RAYS)
    c.fill(circle(16 * k, 16 * k, 9.5 * k), SUN_RIM)
    top, bottom, y0, y1 = SUN_SHADE
    c.fill(circle(16 * k, 16 * k, 8.5 * k), SUN_DISC, vertical_shade(top, bottom, y0 * k, y1 * k))
    return c


def application_svg():
    def hex_colour(colour, factor=1.0):
        return "#" + "".join("%02x" % int(min(255, max(0, c * factor))) for c in colour)

    top, bottom, y0, y1 = SUN_SHADE
    rays = " ".join(
        "M" + " L".join("%.3f,%.3f" % point for point in ray) + " Z" for ray in sun_rays()
    )
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <linearGradient id="disc" x1="0" y1="{y0}" x2="0" y2="{y1}" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="{hex_colour(SUN_DISC, top)}"/>
      <stop offset="1" stop-color="{hex_colour(SUN_DISC, bottom)}"/>
    </linearGradient>
  </defs>
  <path fill="{hex_colour(SUN_RAYS)}" d="{rays}"/>
  <circle cx="16" cy="16" r="9.5" fill="{hex_colour(SUN_RIM)}"/>
  <circle cx="16" cy="16" r="8.5" fill="url(#disc)"/>
</svg>
"""


def start_picture():
    c = Canvas(36, 36)
    c.fill(circle(18, 18, 16), (20, 110, 40))
    c.fill(circle(18, 18, 14.8), (45, 170, 70), vertical_shade(1.15, 0.85, 3, 33))
    c.fill(rounded_polygon([(14, 10.5), (26, 18), (14, 25.5)], 1.2), (255, 255, 255))
    return c


def stop_picture():
    c = Canvas(36, 36)
    c.fill(circle(18, 18, 16), (130, 20, 20))
    c.fill(circle(18, 18, 14.8), (210, 45, 45), vertical_shade(1.15, 0.85, 3, 33))
    c.fill(rounded_rect(11.5, 11.5, 24.5, 24.5, 1.5), (255, 255, 255))
    return c


def person_picture():
    c = Canvas(32, 40)
    skin = (205, 120, 60)
    c.fill(circle(16, 9, 6.5), skin, vertical_shade(1.15, 0.9, 2, 16))
    body = union(rounded_rect(6, 17, 26, 39, 6.0), rect(6, 30, 26, 39))
    c.fill(body, (60, 95, 160), vertical_shade(1.15, 0.85, 17, 39))
    return c


def closed_picture():
    c = Canvas(32, 40)
    grey = (95, 95, 105)
    c.fill(arc(16, 15, 8.5, 5.5, 180, 0), grey)
    c.fill(union(rect(7.5, 14, 10.5, 20), rect(21.5, 14, 24.5, 20)), grey)
    c.fill(rounded_rect(4, 19, 28, 38, 3.0), (200, 50, 40), vertical_shade(1.15, 0.85, 19, 38))
    c.fill(circle(16, 26.5, 2.6), (60, 10, 10))
    c.fill(rect(15, 27, 17, 33), (60, 10, 10))
    return c


# ---------------------------------------------------------------- sounds

RATE = 22050


def chime(tones, tone_seconds=0.16, gap_seconds=0.02, volume=0.35):
    """Soft sine tones one after the other, each with a short attack and an exponential fade."""
    samples = []
    attack = int(0.008 * RATE)
    length = int(tone_seconds * RATE)
    for frequency in tones:
        for n in range(length):
            t = n / RATE
            envelope = min(1.0, n / attack) * math.exp(-t * 9.0)
            release = min(1.0, (length - n) / attack)
            tone = math.sin(2 * math.pi * frequency * t) + 0.15 * math.sin(4 * math.pi * frequency * t)
            samples.append(volume * envelope * release * tone / 1.15)
        samples.extend([0.0] * int(gap_seconds * RATE))
    return samples


def main():
    os.makedirs(ASSETS, exist_ok=True)

    def path(name):
        return os.path.join(ASSETS, name)

    write_png(path("WarningIcon.png"), warning_icon())
    write_png(path("InformationIcon.png"), information_icon())
    write_png(path("QuestionIcon.png"), question_icon())
    write_png(path("Velmora.png"), application_icon())
    # The desktop's icon theme: the same sun as a drawing and in the usual sizes.
    for size in ICON_SIZES:
        folder = path(f"icons/hicolor/{size}x{size}/apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "velmora.png"), application_icon(size))
    os.makedirs(path("icons/hicolor/scalable/apps"), exist_ok=True)
    with open(path("icons/hicolor/scalable/apps/velmora.svg"), "w", encoding="utf-8") as f:
        f.write(application_svg())
    write_bmp(path("Start.bmp"), start_picture())
    write_bmp(path("Stop.bmp"), stop_picture())
    write_bmp(path("Person.bmp"), person_picture())
    write_bmp(path("Closed.bmp"), closed_picture())
    write_wav(path("Warning.wav"), chime([659.3, 440.0]), RATE)  # E5 down to A4
    write_wav(path("Information.wav"), chime([523.3, 784.0]), RATE)  # C5 up to G5
    write_wav(path("Question.wav"), chime([587.3, 740.0], tone_seconds=0.2), RATE)  # D5 up to F#5


if __name__ == "__main__":
    main()
