"""Drawing helpers for the skin generator: a supersampled canvas and file writers.

Everything is drawn at SS times the output size and reduced at the end, which gives
antialiased edges from plain PIL primitives. Coordinates are in output pixels unless a
Frame maps a design grid onto the canvas.
"""

import math

from PIL import Image, ImageDraw, ImageFont

SS = 4
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def rgb(hexstr):
    if not isinstance(hexstr, str):
        return tuple(hexstr[:3])
    h = hexstr.lstrip("#")
    return tuple(int(h[i : i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    """Blend colour a towards b by t (0 = a, 1 = b)."""
    return tuple(round(x + (y - x) * t) for x, y in zip(rgb(a), rgb(b)))


def rgba(c, a=255):
    c = rgb(c)
    return (c[0], c[1], c[2], a)


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(FONT_DIR + name, max(1, round(size)))


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        if isinstance(bg, str) or len(bg) == 3:
            bg = rgba(bg)
        self.img = Image.new("RGBA", (w * SS, h * SS), bg)
        self.d = ImageDraw.Draw(self.img)

    def result(self):
        return self.img.resize((self.w, self.h), Image.Resampling.LANCZOS)


class Frame:
    """Maps a design grid (e.g. 24 units) onto a square area of a canvas."""

    def __init__(self, canvas, ox, oy, scale):
        self.c, self.ox, self.oy, self.s = canvas, ox, oy, scale

    def p(self, x, y):
        return ((self.ox + x * self.s) * SS, (self.oy + y * self.s) * SS)

    def n(self, v):
        return v * self.s * SS

    def line(self, pts, col, w, caps=True):
        pts = [self.p(x, y) for x, y in pts]
        width = max(1, round(self.n(w)))
        self.c.d.line(pts, fill=rgba(col), width=width, joint="curve")
        if caps:
            r = self.n(w) / 2
            for x, y in (pts[0], pts[-1]):
                self.c.d.ellipse((x - r, y - r, x + r, y + r), fill=rgba(col))

    def poly(self, pts, fill=None, outline=None, w=0):
        q = [self.p(x, y) for x, y in pts]
        if fill is not None:
            self.c.d.polygon(q, fill=rgba(fill))
        if outline is not None:
            self.line(list(pts) + [pts[0], pts[1]], outline, w, caps=False)

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, w=0):
        """Rounded rectangle; an outline is centred on the edge like a stroke."""
        a, b = self.p(x0, y0), self.p(x1, y1)
        if fill is not None:
            self.c.d.rounded_rectangle((a, b), radius=self.n(r), fill=rgba(fill))
        if outline is not None:
            h = self.n(w) / 2
            self.c.d.rounded_rectangle(
                ((a[0] - h, a[1] - h), (b[0] + h, b[1] + h)),
                radius=self.n(r) + h,
                outline=rgba(outline),
                width=max(1, round(self.n(w))),
            )

    def circle(self, cx, cy, r, fill=None, outline=None, w=0):
        x, y = self.p(cx, cy)
        rr = self.n(r)
        if fill is not None:
            self.c.d.ellipse((x - rr, y - rr, x + rr, y + rr), fill=rgba(fill))
        if outline is not None:
            h = self.n(w) / 2
            self.c.d.ellipse(
                (x - rr - h, y - rr - h, x + rr + h, y + rr + h), outline=rgba(outline), width=max(1, round(self.n(w)))
            )

    def arc(self, cx, cy, r, a0, a1, col, w, caps=True):
        """Arc in degrees, clockwise from 3 o'clock (PIL's convention)."""
        x, y = self.p(cx, cy)
        rr = self.n(r)
        h = self.n(w) / 2
        box = (x - rr - h, y - rr - h, x + rr + h, y + rr + h)
        self.c.d.arc(box, a0, a1, fill=rgba(col), width=max(1, round(self.n(w))))
        if caps:
            for a in (a0, a1):
                px = cx + r * math.cos(math.radians(a))
                py = cy + r * math.sin(math.radians(a))
                self.circle(px, py, w / 2, fill=col)

    def text(self, x, y, s, size, col, bold=True):
        self.c.d.text(self.p(x, y), s, font=font(self.n(size), bold), fill=rgba(col), anchor="mm")


def flatten(img, matte):
    """RGBA over a solid colour, for formats without transparency (JPG, BMP)."""
    base = Image.new("RGBA", img.size, rgba(matte))
    base.alpha_composite(img)
    return base.convert("RGB")


def save_gif(img, path, matte):
    """GIF with one transparent palette index.

    Edge pixels are blended with the colour the picture will stand on (matte), and only
    pixels that are mostly transparent become the transparent index, so edges stay clean
    without a halo.
    """
    alpha = img.getchannel("A")
    solid = flatten(img, matte)
    pal = solid.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = pal.getpalette()[: 255 * 3]
    palette += [0] * (255 * 3 - len(palette)) + list(rgb(matte))
    pal.putpalette(palette)
    mask = alpha.point(lambda a: 255 if a < 110 else 0)
    pal.paste(255, (0, 0), mask)
    pal.save(path, transparency=255, optimize=False)


def save_jpg(img, path, matte=None, quality=92, subsampling=0):
    if img.mode == "RGBA":
        img = flatten(img, matte)
    img.save(path, quality=quality, subsampling=subsampling, optimize=True)


def at2x(path):
    stem, dot, ext = path.rpartition(".")
    return f"{stem}@2x.{ext}"
