"""The button and legend glyphs, drawn on a 24-unit grid through a Frame.

Each glyph takes (frame, ink): ink.col is the main colour, ink.bg the colour of the
surface it stands on (used to cut gaps where shapes overlap), ink.sw the stroke width in
grid units and ink.c(name) a semantic colour (green for go, red for stop ...), which is
the main colour when the surface is a pressed button.
"""

import math


class Ink:
    def __init__(self, col, bg, sw, accents=None):
        self.col, self.bg, self.sw = col, bg, sw
        self.accents = accents or {}

    def c(self, name):
        return self.accents.get(name, self.col)


def folder(f, x0, y0, x1, y1, col, sw, fill=None):
    tab = (x1 - x0) * 0.38
    pts = [(x0, y1), (x0, y0), (x0 + tab, y0), (x0 + tab + 1.6, y0 + 2), (x1, y0 + 2), (x1, y1)]
    f.poly(pts, fill=fill, outline=col, w=sw)


def doc(f, x0, y0, x1, y1, col, sw, fill=None, dashed=False):
    k = (x1 - x0) * 0.36
    pts = [(x0, y0), (x1 - k, y0), (x1, y0 + k), (x1, y1), (x0, y1)]
    if dashed:
        edges = list(zip(pts, pts[1:] + pts[:1]))
        for (ax, ay), (bx, by) in edges:
            n = max(1, round(math.hypot(bx - ax, by - ay) / (sw * 2.2)))
            for i in range(n):
                t0, t1 = i / n, (i + 0.5) / n
                a = (ax + (bx - ax) * t0, ay + (by - ay) * t0)
                b = (ax + (bx - ax) * t1, ay + (by - ay) * t1)
                f.line([a, b], col, sw * 0.8)
        return
    f.poly(pts, fill=fill, outline=col, w=sw)
    f.line([(x1 - k, y0), (x1 - k, y0 + k), (x1, y0 + k)], col, sw * 0.8)


def magnifier(f, cx, cy, r, col, sw, bg):
    d = r * 0.7071
    f.line([(cx + d, cy + d), (cx + d + r * 0.8, cy + d + r * 0.8)], col, sw * 1.5)
    f.circle(cx, cy, r, fill=bg, outline=col, w=sw)


def arrow(f, x0, x1, y, col, sw, head=3.2):
    """Horizontal arrow from x0 to x1 (either way)."""
    s = 1 if x1 > x0 else -1
    f.line([(x0, y), (x1, y)], col, sw)
    f.line([(x1 - s * head, y - head), (x1, y), (x1 - s * head, y + head)], col, sw)


def check(f, cx, cy, s, col, sw):
    f.line([(cx - s, cy), (cx - s * 0.3, cy + s * 0.7), (cx + s, cy - s * 0.75)], col, sw)


# --- button glyphs --------------------------------------------------------------------


def g_backup(f, ink):
    # the mode grid: one choice per row, as on the backup-mode panel
    on = {(0, 0), (1, 2), (2, 1)}
    for r in range(3):
        for c in range(3):
            x, y = 5 + c * 7, 5 + r * 7
            if (r, c) in on:
                f.rrect(x - 2.6, y - 2.6, x + 2.6, y + 2.6, 1.2, fill=ink.c("accent"))
            else:
                f.rrect(x - 2.1, y - 2.1, x + 2.1, y + 2.1, 1, outline=ink.col, w=ink.sw * 0.6)


def g_simulate(f, ink):
    folder(f, 1.5, 4, 10.5, 12, ink.col, ink.sw * 0.85)
    folder(f, 13.5, 4, 22.5, 12, ink.col, ink.sw * 0.85)
    f.circle(12, 14, 7.2, fill=ink.bg)
    magnifier(f, 12, 14, 5.2, ink.c("accent"), ink.sw, ink.bg)


def g_execute(f, ink):
    pts = [(7.5, 4.5), (19.5, 12), (7.5, 19.5)]
    f.poly(pts, fill=ink.c("go"), outline=ink.c("go"), w=ink.sw)


def g_oneklick(f, ink):
    pts = [(14.5, 2), (5, 13.5), (11.2, 13.5), (9.5, 22), (19, 10), (12.8, 10), (15.5, 2)]
    f.poly(pts, fill=ink.c("bolt"), outline=ink.c("bolt"), w=ink.sw * 0.6)


def g_stop(f, ink):
    f.rrect(5.5, 5.5, 18.5, 18.5, 2.2, fill=ink.c("stop"))


def g_stopsimu(f, ink):
    g_stop(f, ink)
    # the magnifier cut out of the square says "stop the simulation"
    f.line([(13.2, 13.2), (16, 16)], ink.bg, ink.sw * 0.9)
    f.circle(11, 11, 3.1, outline=ink.bg, w=ink.sw * 0.75)


def g_save(f, ink):
    sw = ink.sw
    f.poly([(4, 4), (16.5, 4), (20, 7.5), (20, 20), (4, 20)], outline=ink.col, w=sw)
    f.rrect(8, 4, 15, 8.8, 0.4, outline=ink.col, w=sw * 0.8)
    f.rrect(7.6, 13.2, 16.4, 20, 0.4, fill=ink.c("accent"))


def g_open(f, ink):
    sw = ink.sw
    f.line([(3.5, 19), (3.5, 5), (9, 5), (11, 7), (18.5, 7), (18.5, 10)], ink.col, sw)
    f.poly([(3.5, 19), (7, 10.5), (22, 10.5), (18.5, 19)], fill=ink.c("accent"), outline=ink.col, w=sw)


def g_info(f, ink):
    f.circle(12, 12, 9.5, outline=ink.col, w=ink.sw)
    f.circle(12, 7.3, ink.sw * 0.8, fill=ink.c("accent"))
    f.line([(12, 11), (12, 17)], ink.c("accent"), ink.sw * 1.2)


def g_exclude(f, ink):
    pts = [(3, 4.5), (21, 4.5), (14, 12.5), (14, 19), (10, 21), (10, 12.5)]
    f.poly(pts, fill=ink.c("accent"), outline=ink.col, w=ink.sw)


def g_close(f, ink):
    f.line([(6.5, 6.5), (17.5, 17.5)], ink.col, ink.sw * 1.2)
    f.line([(17.5, 6.5), (6.5, 17.5)], ink.col, ink.sw * 1.2)


def g_showlist(f, ink):
    for y in (6, 12, 18):
        f.circle(5, y, ink.sw * 0.8, fill=ink.col)
        f.line([(9.5, y), (20, y)], ink.col, ink.sw)


def g_maximize(f, ink):
    f.rrect(4.5, 4.5, 19.5, 19.5, 1.5, outline=ink.col, w=ink.sw)
    f.line([(4.5, 8), (19.5, 8)], ink.col, ink.sw * 1.2, caps=False)


def g_restore(f, ink):
    f.line([(8, 8), (8, 4.5), (19.5, 4.5), (19.5, 16), (16, 16)], ink.col, ink.sw)
    f.rrect(4.5, 8, 16, 19.5, 1.2, outline=ink.col, w=ink.sw)


def clock(f, ink, cx, cy, r, col):
    f.circle(cx, cy, r, outline=col, w=ink.sw)
    f.line([(cx, cy), (cx, cy - r * 0.62)], col, ink.sw)
    f.line([(cx, cy), (cx + r * 0.45, cy + r * 0.25)], col, ink.sw)


def g_sched_off(f, ink):
    clock(f, ink, 12, 12, 8.5, ink.col)
    f.line([(3.5, 3.5), (20.5, 20.5)], ink.bg, ink.sw * 2.6)
    f.line([(3.5, 3.5), (20.5, 20.5)], ink.c("stop"), ink.sw)


def g_sched_on(f, ink):
    clock(f, ink, 11, 11, 8.5, ink.col)
    f.circle(18, 18, 5.6, fill=ink.c("on"), outline=ink.bg, w=ink.sw * 0.8)
    check(f, 18, 18.2, 2.4, ink.bg, ink.sw * 0.8)


def g_switch_off(f, ink):
    f.rrect(2, 7, 22, 17, 5, outline=ink.col, w=ink.sw)
    f.circle(7, 12, 3.2, fill=ink.col)


def g_switch_on(f, ink):
    f.rrect(2, 7, 22, 17, 5, fill=ink.c("on"), outline=ink.c("on"), w=ink.sw)
    f.circle(17, 12, 3.4, fill=ink.bg)


BUTTON_GLYPHS = {
    1: g_backup,
    2: g_simulate,
    3: g_execute,
    4: g_oneklick,
    5: g_stop,
    6: g_save,
    7: g_open,
    10: g_info,
    11: g_stopsimu,
    12: g_exclude,
    13: g_close,
    14: g_close,
    15: g_close,
    16: g_showlist,
    17: g_maximize,
    18: g_restore,
    19: g_sched_off,
    20: g_sched_on,
    21: g_close,
    22: g_switch_off,
    23: g_switch_on,
}

# --- legend glyphs ---------------------------------------------------------------------


def g_files(f, ink):
    doc(f, 5.5, 3, 18.5, 21, ink.col, ink.sw, fill=ink.bg)
    for y in (11, 14.5, 18):
        f.line([(8.5, y), (15.5, y)], ink.col, ink.sw * 0.6)


def g_folders(f, ink):
    folder(f, 2.5, 5, 21.5, 19.5, ink.col, ink.sw, fill=ink.c("accent"))


def g_delete(f, ink):
    col = ink.c("del")
    f.line([(6, 7), (18, 7)], col, ink.sw)
    f.line([(9.5, 7), (10, 4.5), (14, 4.5), (14.5, 7)], col, ink.sw * 0.8)
    f.poly([(7, 9.5), (17, 9.5), (16, 20.5), (8, 20.5)], outline=col, w=ink.sw)
    for x in (10.3, 13.7):
        f.line([(x, 12.5), (x, 17.5)], col, ink.sw * 0.6)


def g_new(f, ink):
    doc(f, 3.5, 3, 15.5, 20, ink.col, ink.sw, fill=ink.bg)
    f.circle(16.5, 16.5, 6, fill=ink.c("new"))
    f.line([(16.5, 13.3), (16.5, 19.7)], ink.bg, ink.sw * 0.85)
    f.line([(13.3, 16.5), (19.7, 16.5)], ink.bg, ink.sw * 0.85)


def g_replace(f, ink):
    col = ink.c("rep")
    f.arc(12, 12, 7.5, 200, 330, col, ink.sw, caps=False)
    f.arc(12, 12, 7.5, 20, 150, col, ink.sw, caps=False)
    a = math.radians(330)
    x, y = 12 + 7.5 * math.cos(a), 12 + 7.5 * math.sin(a)
    f.poly([(x - 3.5, y - 1.2), (x + 2.6, y - 2.6), (x + 1.2, y + 3.5)], fill=col)
    a = math.radians(150)
    x, y = 12 + 7.5 * math.cos(a), 12 + 7.5 * math.sin(a)
    f.poly([(x + 3.5, y + 1.2), (x - 2.6, y + 2.6), (x - 1.2, y - 3.5)], fill=col)


def g_move(f, ink):
    # A page taken along a bend to its new place.
    col = ink.c("accent")
    doc(f, 3, 3, 11, 13, ink.col, ink.sw * 0.8, fill=ink.bg)
    f.line([(7, 13), (7, 18.5), (15.5, 18.5)], col, ink.sw)
    f.line([(12.5, 15.3), (15.8, 18.5), (12.5, 21.7)], col, ink.sw)
    doc(f, 15.5, 8, 21, 15, ink.col, ink.sw * 0.8, fill=ink.bg)


LEGEND_GLYPHS = {
    "PicFiles": g_files,
    "PicFolders": g_folders,
    "PicDelete": g_delete,
    "PicNew": g_new,
    "PicReplace": g_replace,
    "PicMove": g_move,
}
