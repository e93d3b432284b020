#!/usr/bin/python3
"""Draws every picture of the four skins, the job-file icon and the application icons.

    tools/skins/make_skins.py            write resources/Icons/... and data/icons/hicolor/...
    tools/skins/make_skins.py --sheet    also write contact sheets to /tmp/dualdock-sheet-SkinN.png

Needs python3-pil and fonts-dejavu-core. The output is committed; the build does not run this.
"""

import argparse
import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageStat

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import glyphs as G  # noqa: E402
from draw import SS, Canvas, Frame, at2x, flatten, font, mix, rgb, rgba, save_gif, save_jpg  # noqa: E402
from palettes import SKIN0, SKINS  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ICONS = os.path.join(ROOT, "resources", "Icons")
HICOLOR = os.path.join(ROOT, "data", "icons", "hicolor")

BG_SIZES = {"BG1": (1920, 1200), "BG2": (1600, 1000), "BG3": (1600, 1000), "BG4": (1600, 1000), "BG5": (480, 320)}
BIG_BUTTONS = [1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 19, 20, 22, 23]
SMALL_BUTTONS = [13, 14, 15, 16, 17, 18, 21]
PANEL_BUTTONS = {14, 15, 21, 22, 23}  # stand on the option panels (BG4)
DISABLED_BUTTONS = {2, 3, 4}  # Simulate, Execute, one-step: out of use during a run (look 5)
BIG, SMALL = 48, 24
LEGEND = 24
PAIR = (48, 24)  # status pictures beside the backup-mode grid
OP = (64, 32)  # operation pictures of the legend and the picture drop-downs
LIST = 16  # images of the to-do list and the folder list


def hexc(c):
    return "#%02X%02X%02X" % tuple(c[:3])


def mean_colour(img):
    return tuple(round(v) for v in ImageStat.Stat(img.convert("RGB")).mean)


# --- backgrounds -------------------------------------------------------------------------


def gradient(size, top, bottom, glow, texture, seed_shift=0):
    w, h = size
    mask = Image.linear_gradient("L").resize((w, h), Image.Resampling.BICUBIC)
    img = Image.composite(Image.new("RGB", (w, h), rgb(bottom)), Image.new("RGB", (w, h), rgb(top)), mask)
    if rgb(glow) != rgb(top):
        # one soft light in the upper left, large enough not to draw attention
        sw_, sh_ = max(8, w // 8), max(8, h // 8)
        layer = Image.new("L", (sw_, sh_), 0)
        cx = sw_ * 0.22 + seed_shift / 8
        ImageDraw.Draw(layer).ellipse((cx - sw_ * 0.5, -sh_ * 0.6, cx + sw_ * 0.5, sh_ * 0.45), fill=140)
        layer = layer.filter(ImageFilter.GaussianBlur(min(sw_, sh_) * 0.3)).resize((w, h), Image.Resampling.BICUBIC)
        img = Image.composite(Image.new("RGB", (w, h), rgb(glow)), img, layer)
    if texture:
        # fine grain hides gradient banding, and JPEG keeps it cheap at this strength
        # seeded, so that running the generator again gives the same files
        amp = texture * 2.4
        lut = [128 + round((v / 255 - 0.5) * 2 * amp) for v in range(256)]
        rnd = random.Random(f"{w}x{h}{top}{bottom}")
        noise = Image.frombytes("L", (w, h), rnd.randbytes(w * h)).point(lut).convert("RGB")
        img = ImageChops.add(img, noise, 1.0, -128)
    return img


def make_backgrounds(skin, out):
    imgs = {}
    for name, size in BG_SIZES.items():
        top, bottom, glow = skin.bg[name]
        img = gradient(size, top, bottom, glow, skin.texture, seed_shift=int(name[2]) * 7)
        if name == "BG5":
            logo = app_icon(128, skin.logo, hc=skin is SKINS[2])
            img.paste(logo, (24, (320 - 128) // 2), logo)
        imgs[name] = img
        save_jpg(img, os.path.join(out, name + ".jpg"), quality=85, subsampling=2)
    return imgs


def make_lines(skin, out, matte):
    a, b = skin.lines
    lh = Image.new("RGB", (1920, 2), rgb(b))
    lh.paste(rgb(a), (0, 0, 1920, 1))
    lv = Image.new("RGB", (2, 1200), rgb(b))
    lv.paste(rgb(a), (0, 0, 1, 1200))
    for img, name in ((lh, "LH.gif"), (lv, "LV.gif")):
        save_gif(img.convert("RGBA"), os.path.join(out, name), matte)


# --- buttons -------------------------------------------------------------------------------


def button(skin, num, state, size, small):
    c = Canvas(size, size)
    fill, border, bw, col, accents = skin.tile(num, state)
    if small:
        bw = max(1.0, bw * 0.55)  # a full-weight border would swallow the small glyph
    u = size / (SMALL if small else BIG)  # 1 at 100 %, 2 at 200 %
    frame = Frame(c, 0, 0, u)
    inset = 1.5 + bw / 2
    edge = (SMALL if small else BIG) - inset
    radius = 5 if small else 10
    frame.rrect(inset, inset, edge, edge, radius, fill=fill, outline=border, w=bw)
    area = 16 if small else 28
    off = ((SMALL if small else BIG) - area) / 2
    g = Frame(c, off * u, off * u, area * u / 24)
    sw = skin.sw * (1.3 if small and skin.sw < 2.5 else 1.0)
    G.BUTTON_GLYPHS[num](g, G.Ink(rgb(col), rgb(fill), sw, {k: rgb(v) for k, v in accents.items()}))
    return c.result()


def make_buttons(skin, out, matte, panel_matte):
    for num in BIG_BUTTONS + SMALL_BUTTONS:
        small = num in SMALL_BUTTONS
        size = SMALL if small else BIG
        m = panel_matte if num in PANEL_BUTTONS else matte
        for state in (1, 2, 3, 4, 5):
            if state == 5 and num not in DISABLED_BUTTONS:
                continue
            path = os.path.join(out, f"B{num}_{state}.gif")
            save_gif(button(skin, num, state, size, small), path, m)
            save_gif(button(skin, num, state, size * 2, small), at2x(path), m)


# --- legend, status and operation pictures -------------------------------------------------


def legend(skin, name, size):
    c = Canvas(size, size)
    u = size / LEGEND
    f = Frame(c, 0, 0, u)
    lg = skin.legend
    ink = G.Ink(rgb(lg["col"]), None, skin.sw * 0.9, {k: rgb(v) for k, v in lg.items() if k != "col"})
    ink.bg = rgb(mean_bg(skin))
    G.LEGEND_GLYPHS[name](f, ink)
    return c.result()


def mean_bg(skin):
    top, bottom, _ = skin.bg["BG2"]
    return mix(top, bottom, 0.5)


def chevron(f, x, y, s, col, sw, right=True):
    d = s if right else -s
    f.line([(x - d / 2, y - s), (x + d / 2, y), (x - d / 2, y + s)], col, sw)


def equals(f, x, y, col, sw):
    f.line([(x - 3.5, y - 2.5), (x + 3.5, y - 2.5)], col, sw)
    f.line([(x - 3.5, y + 2.5), (x + 3.5, y + 2.5)], col, sw)


def sparkle(f, x, y, r, col):
    f.poly([(x, y - r), (x + r * 0.3, y - r * 0.3), (x + r, y), (x + r * 0.3, y + r * 0.3), (x, y + r),
            (x - r * 0.3, y + r * 0.3), (x - r, y), (x - r * 0.3, y - r * 0.3)], fill=col)


def pair_doc(f, skin, x, kind, sw, on_panel=False):
    """One side of a status or operation picture: a document in the look of its state."""
    col, fill = rgb(skin.doc_col), rgb(skin.doc_fill)
    if on_panel:
        col, fill = rgb(getattr(skin, "panel_doc_col", col)), rgb(getattr(skin, "panel_doc_fill", fill))
    if kind == "missing":
        G.doc(f, x, 3.5, x + 13, 20.5, mix(col, skin.bg["BG4"][0], 0.35), sw, dashed=True)
        return
    if kind == "newer":
        fill = rgb(skin.newer)
    elif kind == "older":
        fill = rgb(skin.older)
    elif kind == "deleted":
        fill = mix(skin.badges["del"], "#FFFFFF", 0.55) if skin is not SKINS[2] else rgb("#000000")
    G.doc(f, x, 3.5, x + 13, 20.5, col, sw, fill=fill)
    if kind == "newer":
        sparkle(f, x + 13, 4.5, 4.2, rgb(skin.accent if skin is not SKINS[0] else "#E59A12"))


STATUS_PICTURES = {
    # file: (F1 side, middle sign, F2 side)
    "StatEqualGIF": ("same", "=", "same"),
    "StatExtraGIF": ("same", "", "missing"),
    "StatOlderGIF": ("missing", "", "same"),
    "StatNewerOlderGIF": ("newer", ">", "older"),
    "StatOlderNewerGIF": ("older", "<", "newer"),
}


def status_picture(skin, name, scale):
    w, h = PAIR
    c = Canvas(w * scale, h * scale)
    f = Frame(c, 0, 0, scale)
    left, sign, right = STATUS_PICTURES[name]
    sw = skin.sw * 0.75
    pair_doc(f, skin, 4, left, sw, on_panel=True)
    pair_doc(f, skin, 31, right, sw, on_panel=True)
    mid = rgb(skin.legend["col"])
    if sign == "=":
        equals(f, 24, 12, mid, sw)
    elif sign:
        chevron(f, 24, 12, 4, mid, sw * 1.2, right=(sign == ">"))
    return c.result()


OP_PICTURES = ["DoNothing", "CopyToTarget", "CopyToSource", "DeleteInTarget", "DeleteInSource"]


def op_picture(skin, name, scale):
    w, h = OP
    card, border = skin.card
    c = Canvas(w * scale, h * scale, bg=card)
    f = Frame(c, 0, 0, scale)
    f.rrect(0.5, 0.5, w - 0.5, h - 0.5, 0, outline=border, w=1)
    f = Frame(c, 0, 4 * scale, scale)
    sw = skin.sw * 0.75
    kinds = {"DoNothing": ("same", "same"), "CopyToTarget": ("same", "new"), "CopyToSource": ("new", "same"),
             "DeleteInTarget": ("same", "deleted"), "DeleteInSource": ("deleted", "same")}[name]
    for x, kind in ((6, kinds[0]), (45, kinds[1])):
        pair_doc(f, skin, x, "same" if kind == "new" else kind, sw)
        if kind == "deleted":
            col = rgb(skin.badges["del"]) if skin is not SKINS[2] else rgb("#FFD800")
            f.line([(x - 1, 6), (x + 14, 19)], col, skin.sw * 1.1)
            f.line([(x + 14, 6), (x - 1, 19)], col, skin.sw * 1.1)
    mid = rgb(skin.legend["col"]) if skin is not SKINS[3] else rgb(skin.doc_col)
    copy = rgb(skin.badges["copy"])
    if name == "CopyToTarget":
        G.arrow(f, 23, 41, 12, copy, skin.sw * 1.1, head=4)
    elif name == "CopyToSource":
        G.arrow(f, 41, 23, 12, copy, skin.sw * 1.1, head=4)
    elif name == "DoNothing":
        equals(f, 32, 12, mid, sw)
    return c.result()


# --- the small images of the two lists ------------------------------------------------------


def badge(skin, kind, size, base):
    c = Canvas(size, size, bg=base)
    f = Frame(c, 0, 0, size / 24)
    b = skin.badges
    ink = rgb(b["ink"])
    sw = 3.4 if skin is not SKINS[2] else 3.8
    colour = {"CopyTarget": "copy", "CopySource": "copy", "ReplaceToTarget": "rep", "ReplaceToSource": "rep",
              "DeleteTarget": "del", "DeleteSource": "del", "Equal": "equal", "Extra": "extra", "Newer": "newer",
              "Older": "older", "Question": "question", "Done": "newer", "Search": "copy", "Operation": "rep",
              "MoveTarget": "equal", "MoveSource": "equal"}[kind]
    f.circle(12, 12, 11.2, fill=rgb(b[colour]))
    if kind in ("CopyTarget", "CopySource"):
        right = kind == "CopyTarget"
        G.arrow(f, 5.5 if right else 18.5, 18.5 if right else 5.5, 12, ink, sw, head=5)
    elif kind in ("ReplaceToTarget", "ReplaceToSource"):
        right = kind == "ReplaceToTarget"
        bar = 18.5 if right else 5.5
        G.arrow(f, 4.5 if right else 19.5, 14.5 if right else 9.5, 12, ink, sw * 0.9, head=4.5)
        f.line([(bar, 6.5), (bar, 17.5)], ink, sw * 0.9)
    elif kind in ("DeleteTarget", "DeleteSource"):
        right = kind == "DeleteTarget"
        bar = 18.5 if right else 5.5
        cx = 10 if right else 14
        f.line([(cx - 3.8, 8.2), (cx + 3.8, 15.8)], ink, sw * 0.9)
        f.line([(cx + 3.8, 8.2), (cx - 3.8, 15.8)], ink, sw * 0.9)
        f.line([(bar, 6.5), (bar, 17.5)], ink, sw * 0.9)
    elif kind in ("MoveTarget", "MoveSource"):
        # The same file, taken along a bend to its new place on the side the arrow points to.
        right = kind == "MoveTarget"
        x0 = 6.5 if right else 17.5
        f.line([(x0, 5.5), (x0, 15)], ink, sw * 0.9)
        G.arrow(f, x0, 18.5 if right else 5.5, 15, ink, sw * 0.9, head=4.2)
    elif kind == "Equal":
        f.line([(6.5, 9), (17.5, 9)], ink, sw)
        f.line([(6.5, 15.5), (17.5, 15.5)], ink, sw)
    elif kind == "Extra":
        f.line([(12, 5.5), (12, 18.5)], ink, sw)
        f.line([(5.5, 12), (18.5, 12)], ink, sw)
    elif kind in ("Newer", "Older"):
        up = kind == "Newer"
        a, z = (18.5, 5.5) if up else (5.5, 18.5)
        d = -1 if up else 1
        f.line([(12, a), (12, z)], ink, sw)
        f.line([(6.5, z - d * 5.5), (12, z), (17.5, z - d * 5.5)], ink, sw)
    elif kind == "Question":
        f.arc(12, 9, 4.2, 180, 400, ink, sw * 0.9)
        a = 400
        x, y = 12 + 4.2 * math.cos(math.radians(a)), 9 + 4.2 * math.sin(math.radians(a))
        f.line([(x, y), (12, 13.5), (12, 14.5)], ink, sw * 0.9)
        f.circle(12, 18.8, sw * 0.55, fill=ink)
    elif kind == "Done":
        G.check(f, 12, 12.5, 6, ink, sw)
    elif kind == "Search":
        f.line([(13.5, 13.5), (18, 18)], ink, sw)
        f.circle(10.5, 10.5, 4.6, outline=ink, w=sw * 0.8)
    elif kind == "Operation":
        G.arrow(f, 5.5, 18.5, 8.5, ink, sw * 0.75, head=3.6)
        G.arrow(f, 18.5, 5.5, 15.5, ink, sw * 0.75, head=3.6)
    return c.result().convert("RGB")


LIST_IMAGES = {
    "OpKleinCopySource.jpg": "CopySource",
    "OpKleinCopyTarget.jpg": "CopyTarget",
    "OpKleinDeleteSource.jpg": "DeleteSource",
    "OpKleinDeleteTarget.jpg": "DeleteTarget",
    "StatEqual.jpg": "Equal",
    "StatExtra.jpg": "Extra",
    "StatNewer.jpg": "Newer",
    "StatOlder.jpg": "Older",
    "OpKleinReplaceToTarget.jpg": "ReplaceToTarget",
    "OpKleinReplaceToSource.jpg": "ReplaceToSource",
    "StatQuestion.bmp": "Question",
    "OpKleinMoveTarget.jpg": "MoveTarget",
    "OpKleinMoveSource.jpg": "MoveSource",
}
FOLDER_IMAGES = ["Dualdock.bmp", "Done.bmp", "StatQuestion.bmp", "Search.bmp", "Operation.bmp"]


def folder_image(skin, name, size):
    base = rgb(skin.list_base)
    if name == "Dualdock.bmp":
        return flatten(app_icon(size, skin.logo, hc=skin is SKINS[2]), base)
    return badge(skin, name[: -len(".bmp")].replace("StatQuestion", "Question"), size, base)


def write_small(img_fn, path):
    for scale, p in ((1, path), (2, at2x(path))):
        img = img_fn(LIST * scale)
        if p.endswith(".jpg"):
            save_jpg(img, p, quality=96)
        else:
            img.save(p)


# --- application and job-file icons -----------------------------------------------------------


def app_icon(size, colours, hc=False):
    """Two folders joined by an arc with arrowheads at both ends: the pair kept in step."""
    k = size * SS
    top, bottom = colours
    grad = Image.linear_gradient("L").resize((k, k))
    fill = Image.composite(Image.new("RGBA", (k, k), rgba(bottom)), Image.new("RGBA", (k, k), rgba(top)), grad)
    mask = Image.new("L", (k, k), 0)
    inset = k * (0.02 if size <= 24 else 0.06)
    ImageDraw.Draw(mask).rounded_rectangle((inset, inset, k - inset, k - inset), radius=k * 0.2, fill=255)
    img = Image.new("RGBA", (k, k), (0, 0, 0, 0))
    img.paste(fill, (0, 0), mask)
    c = Canvas(size, size)
    c.img = img
    c.d = ImageDraw.Draw(img)
    f = Frame(c, 0, 0, size / 24)
    ink = rgb("#000000") if hc else rgb("#FFFFFF")
    tiny = size <= 24
    wide = 7.4 if tiny else 7.8
    for x0 in ((2.6, 14.0) if tiny else (3.2, 13.0)):
        pts = [(x0, 20), (x0, 11), (x0 + 2.9, 11), (x0 + 4.0, 12.3), (x0 + wide, 12.3), (x0 + wide, 20)]
        f.poly(pts, fill=ink, outline=ink, w=1.0 if tiny else 0.8)
    # a two-way arrow above the pair
    sw = 2.2 if tiny else 1.7
    h = 3.2 if tiny else 2.8
    f.line([(4.2 + h, 6.5), (19.8 - h, 6.5)], ink, sw, caps=False)
    f.poly([(4.2, 6.5), (4.2 + h * 1.2, 6.5 - h), (4.2 + h * 1.2, 6.5 + h)], fill=ink)
    f.poly([(19.8, 6.5), (19.8 - h * 1.2, 6.5 - h), (19.8 - h * 1.2, 6.5 + h)], fill=ink)
    return c.result()


def job_icon(size):
    """A page with a folded corner carrying the program's mark: a job file."""
    c = Canvas(size, size)
    f = Frame(c, 0, 0, size / 24)
    tiny = size <= 24
    sw = max(1.0, size / 80) * 24 / size
    pts = [(3.5, 1), (14.5, 1), (20.5, 7), (20.5, 23), (3.5, 23)]
    f.poly(pts, fill=rgb("#FFFFFF"), outline=rgb("#8A97A6"), w=sw)
    f.poly([(14.5, 1), (14.5, 7), (20.5, 7)], fill=rgb("#DCE3EA"), outline=rgb("#8A97A6"), w=sw)
    img = c.result()
    mark = app_icon(max(8, round(size * (0.62 if tiny else 0.55))), SKIN0.logo)
    img.alpha_composite(mark, (round((size - mark.width) / 2), round(size * 0.92 - mark.height)))
    return img


def app_svg(colours):
    """The application mark as SVG, the same shapes as app_icon at its larger sizes."""
    top, bottom = colours
    folders = []
    for x0 in (3.2, 13.0):
        pts = [(x0, 20), (x0, 11), (x0 + 2.9, 11), (x0 + 4.0, 12.3), (x0 + 7.8, 12.3), (x0 + 7.8, 20)]
        d = " ".join(f"{x:g},{y:g}" for x, y in pts)
        folders.append(
            f'  <polygon points="{d}" fill="#fff" stroke="#fff" stroke-width="0.8" stroke-linejoin="round"/>'
        )
    h = 2.8
    heads = [
        f'  <polygon points="4.2,6.5 {4.2 + h * 1.2:g},{6.5 - h:g} {4.2 + h * 1.2:g},{6.5 + h:g}" fill="#fff"/>',
        f'  <polygon points="19.8,6.5 {19.8 - h * 1.2:g},{6.5 - h:g} {19.8 - h * 1.2:g},{6.5 + h:g}" fill="#fff"/>',
    ]
    return "\n".join(
        [
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 24 24">',
            '  <defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{hexc(rgb(top))}"/><stop offset="1" stop-color="{hexc(rgb(bottom))}"/>'
            "</linearGradient></defs>",
            '  <rect x="1.44" y="1.44" width="21.12" height="21.12" rx="4.8" fill="url(#g)"/>',
            *folders,
            f'  <line x1="{4.2 + h:g}" y1="6.5" x2="{19.8 - h:g}" y2="6.5" stroke="#fff" stroke-width="1.7"/>',
            *heads,
            "</svg>",
            "",
        ]
    )


def make_program_icons():
    sizes = [16, 22, 24, 32, 48, 64, 128, 256]
    for n in sizes:
        kinds = (("apps", app_icon, "dualdock.png"), ("mimetypes", job_icon, "application-x-dualdock-job.png"))
        for sub, fn, name in kinds:
            d = os.path.join(HICOLOR, f"{n}x{n}", sub)
            os.makedirs(d, exist_ok=True)
            img = fn(n, SKIN0.logo) if fn is app_icon else fn(n)
            img.save(os.path.join(d, name), optimize=True)
    d = os.path.join(HICOLOR, "scalable", "apps")
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "dualdock.svg"), "w") as out:
        out.write(app_svg(SKIN0.logo))
    ico = [16, 32, 48, 256]
    for fn, name in ((job_icon, "DDKIcon.ico"), (app_icon, "dualdock.ico")):
        imgs = [fn(n, SKIN0.logo) if fn is app_icon else fn(n) for n in ico]
        imgs[-1].save(os.path.join(ICONS, name), sizes=[(n, n) for n in ico], append_images=imgs[:-1])
    app_icon(256, SKIN0.logo).save(os.path.join(ICONS, "dualdock.png"), optimize=True)
    # the folder-list images in the Icons folder itself, in the look of the first skin
    for name in FOLDER_IMAGES:
        write_small(lambda s, name=name: folder_image(SKIN0, name, s), os.path.join(ICONS, name))


# --- one skin ------------------------------------------------------------------------------------


def make_skin(skin):
    out = os.path.join(ICONS, skin.name)
    os.makedirs(out, exist_ok=True)
    bgs = make_backgrounds(skin, out)
    matte = mix(mean_colour(bgs["BG1"]), mean_colour(bgs["BG2"]), 0.5)
    panel_matte = mean_colour(bgs["BG4"])
    skin.matte, skin.panel_matte = matte, panel_matte
    make_lines(skin, out, panel_matte)
    make_buttons(skin, out, matte, panel_matte)
    for name in G.LEGEND_GLYPHS:
        path = os.path.join(out, name + ".gif")
        save_gif(legend(skin, name, LEGEND), path, matte)
        save_gif(legend(skin, name, LEGEND * 2), at2x(path), matte)
    for name in STATUS_PICTURES:
        path = os.path.join(out, name + ".gif")
        save_gif(status_picture(skin, name, 1), path, panel_matte)
        save_gif(status_picture(skin, name, 2), at2x(path), panel_matte)
    for name in OP_PICTURES:
        path = os.path.join(out, "Op" + name + ".jpg")
        save_jpg(op_picture(skin, name, 1), path, skin.card[0], quality=95)
        save_jpg(op_picture(skin, name, 2), at2x(path), skin.card[0], quality=95)
    base = rgb(skin.list_base)
    for name, kind in LIST_IMAGES.items():
        write_small(lambda s, kind=kind: badge(skin, kind, s, base), os.path.join(out, name))
    for name in FOLDER_IMAGES:
        if name != "StatQuestion.bmp":
            write_small(lambda s, name=name: folder_image(skin, name, s), os.path.join(out, name))
    return out


# --- contact sheet ---------------------------------------------------------------------------------


def sheet(skin, folder, path):
    rows = (len(BIG_BUTTONS + SMALL_BUTTONS) + 1) // 2
    bg = Image.open(os.path.join(folder, "BG2.jpg")).convert("RGB").resize((1500, 50 + rows * 104))
    d = ImageDraw.Draw(bg)
    txt = rgb(skin.text)
    fnt = font(12, bold=False)
    d.text((16, 8), f"{skin.name}: {skin.character}", font=font(16), fill=txt)
    y = 40

    def show(name, x, y):
        img = Image.open(os.path.join(folder, name)).convert("RGBA")
        bg.paste(img, (x, y), img)
        return img

    # buttons: each number at 100 % (four states) then 200 % (four states)
    col_w = 740
    for i, num in enumerate(BIG_BUTTONS + SMALL_BUTTONS):
        x0 = 16 + (i % 2) * col_w
        yy = y + (i // 2) * 104
        d.text((x0, yy + 40), f"B{num}", font=fnt, fill=txt)
        x = x0 + 40
        for s in range(1, 5):
            show(f"B{num}_{s}.gif", x, yy + 24)
            x += 56
        for s in range(1, 5):
            show(f"B{num}_{s}@2x.gif", x, yy)
            x += 104
    bg.save(path)


def sheet2(skin, folder, path):
    """Second sheet: everything that is not a button."""
    bg = Image.open(os.path.join(folder, "BG4.jpg")).convert("RGB").resize((1500, 820))
    d = ImageDraw.Draw(bg)
    txt = rgb(skin.text)
    fnt = font(12, bold=False)
    d.text((16, 8), f"{skin.name}: pictures", font=font(16), fill=txt)

    def show(name, x, y):
        img = Image.open(os.path.join(folder, name)).convert("RGBA")
        bg.paste(img, (x, y), img)
        return img

    x, y = 16, 44
    for name in G.LEGEND_GLYPHS:
        show(name + ".gif", x, y + 12)
        show(name + "@2x.gif", x + 32, y)
        d.text((x, y + 54), name, font=fnt, fill=txt)
        x += 130
    x, y = 16, 130
    for name in STATUS_PICTURES:
        show(name + ".gif", x, y + 12)
        show(name + "@2x.gif", x + 56, y)
        d.text((x, y + 54), name, font=fnt, fill=txt)
        x += 190
    x, y = 16, 220
    for name in OP_PICTURES:
        show("Op" + name + ".jpg", x, y + 16)
        show("Op" + name + "@2x.jpg", x + 72, y)
        d.text((x, y + 70), name, font=fnt, fill=txt)
        x += 240
    x, y = 16, 320
    d.rectangle((8, y - 8, 1492, y + 200), fill=rgb(skin.list_base))
    ltxt = rgb("#000000") if sum(rgb(skin.list_base)) > 380 else rgb("#FFFFFF")
    names = list(LIST_IMAGES) + [n for n in FOLDER_IMAGES if n != "StatQuestion.bmp"]
    for i, name in enumerate(names):
        x, yy = 16 + (i % 8) * 184, y + (i // 8) * 100
        show(name, x, yy + 8)
        show(at2x(name), x + 22, yy)
        big = Image.open(os.path.join(folder, name)).resize((64, 64), Image.Resampling.NEAREST)
        bg.paste(big, (x + 64, yy))
        d.text((x, yy + 70), name.split(".")[0].replace("OpKlein", ""), font=font(10, bold=False), fill=ltxt)
    y = 540
    lh = Image.open(os.path.join(folder, "LH.gif")).convert("RGB").crop((0, 0, 700, 2))
    bg.paste(lh, (16, y))
    lv = Image.open(os.path.join(folder, "LV.gif")).convert("RGB").crop((0, 0, 2, 100))
    bg.paste(lv, (730, y))
    y = 560
    x = 16
    for name in ("BG1", "BG2", "BG3", "BG4"):
        img = Image.open(os.path.join(folder, name + ".jpg")).convert("RGB")
        img.thumbnail((300, 200))
        bg.paste(img, (x, y))
        d.text((x, y + img.height + 4), name, font=fnt, fill=txt)
        x += 310
    img = Image.open(os.path.join(folder, "BG5.jpg")).convert("RGB")
    img.thumbnail((240, 200))
    bg.paste(img, (x, y))
    bg.save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--sheet", action="store_true", help="write contact sheets to /tmp")
    ap.add_argument("--skin", type=int, action="append", help="only this skin number (repeatable)")
    args = ap.parse_args()
    os.makedirs(ICONS, exist_ok=True)
    make_program_icons()
    for i, skin in enumerate(SKINS):
        if args.skin and i not in args.skin:
            continue
        folder = make_skin(skin)
        if args.sheet:
            sheet(skin, folder, f"/tmp/dualdock-sheet-{skin.name}-buttons.png")
            sheet2(skin, folder, f"/tmp/dualdock-sheet-{skin.name}-pictures.png")
        mattes = f"buttons matted on {hexc(skin.matte)}, panel pictures on {hexc(skin.panel_matte)}"
        print(f"{skin.name}: {folder} ({mattes})")


if __name__ == "__main__":
    main()
