"""The four skins: colours and stroke weights. Everything else is shared drawing code."""

from draw import mix, rgb

WHITE = rgb("#FFFFFF")
BLACK = rgb("#000000")


class Skin:
    def __init__(self, **kw):
        self.__dict__.update(kw)

    def tile(self, num, state):
        """(fill, border, border width, glyph colour, glyph accents) of button num in state 1..5."""
        if state == 5:
            return _disabled_tile(self, num)
        return self._tile(self, num, state)


def _disabled_tile(s, num):
    """Look 5, a button that cannot be pressed now: the normal tile greyed and washed into the
    background, its glyph faded into its fill and without accents, so it reads as out of use in
    every skin."""
    fill, border, width, col, _ = s._tile(s, num, 1)
    ground = rgb(s.bg["BG1"][1])
    grey = round(sum(w * c for w, c in zip((0.3, 0.59, 0.11), rgb(fill))))
    fill = mix(mix(rgb(fill), (grey, grey, grey), 0.75), ground, 0.55)
    return fill, mix(rgb(border), ground, 0.6), width, mix(rgb(col), fill, 0.6), {}


def _flat_tile(s, num, state):
    t = s.tiles[state]
    accents = s.accents if state in (1, 2) else {}
    return t[0], t[1], t[2], t[3], accents


def _vivid_tile(s, num, state):
    base = s.button_colours.get(num, s.button_colours[0])
    if state == 1:
        return base, mix(base, BLACK, 0.25), 1.0, WHITE, {}
    if state == 2:
        return mix(base, WHITE, 0.22), WHITE, 2.5, WHITE, {}
    if state == 3:
        return WHITE, base, 2.5, mix(base, BLACK, 0.1), {}
    return mix(base, WHITE, 0.78), rgb("#FFD54F"), 3.5, mix(base, BLACK, 0.1), {}


SKIN0 = Skin(
    name="Skin0",
    character="light and calm: pale grey-blue, white flat tiles, blue accent",
    bg={  # (top colour, bottom colour, glow colour)
        "BG1": ("#F4F7FA", "#E2E8EF", "#FFFFFF"),
        "BG2": ("#F8FAFC", "#ECF0F5", "#FFFFFF"),
        "BG3": ("#EAF1F9", "#D9E4F0", "#F7FBFF"),
        "BG4": ("#FBFCFD", "#F0F3F7", "#FFFFFF"),
        "BG5": ("#FFFFFF", "#E6EDF5", "#FFFFFF"),
    },
    texture=1.2,
    text="#1F2A36",
    accent="#2F7FD8",
    list_base="#FFFFFF",
    sw=2.0,
    _tile=_flat_tile,
    tiles={
        1: ("#FFFFFF", "#CCD5DF", 1.0, "#3B4A5A"),
        2: ("#E6F0FC", "#6FA8EA", 1.6, "#1F2C3A"),
        3: ("#2F7FD8", "#2468B5", 1.0, "#FFFFFF"),
        4: ("#4F98EA", "#1D5A9E", 2.2, "#FFFFFF"),
    },
    accents={"go": "#1F9D55", "bolt": "#E59A12", "stop": "#D43D46", "on": "#1F9D55", "accent": "#2F7FD8"},
    legend={"col": "#3B4A5A", "accent": "#2F7FD8", "del": "#D43D46", "new": "#1F9D55", "rep": "#D98200"},
    card=("#FFFFFF", "#CCD5DF"),
    doc_col="#52616F",
    doc_fill="#E9EEF3",
    newer="#3DBB6F",
    older="#F3C98B",
    badges={
        "copy": "#2F7FD8",
        "rep": "#DB8A00",
        "del": "#D43D46",
        "equal": "#8996A4",
        "extra": "#2F7FD8",
        "newer": "#1F9D55",
        "older": "#B7791F",
        "question": "#E59A12",
        "ink": "#FFFFFF",
    },
    lines=("#C3CDD8", "#FFFFFF"),
    logo=("#3A8DE6", "#1E5FAF"),
)

SKIN1 = Skin(
    name="Skin1",
    character="dark: charcoal surfaces, light glyphs, teal accent",
    bg={
        "BG1": ("#1D2127", "#121519", "#262C34"),
        "BG2": ("#22272E", "#181C21", "#2A313A"),
        "BG3": ("#1A2431", "#11161D", "#223246"),
        "BG4": ("#252A31", "#1C2026", "#2B323A"),
        "BG5": ("#2A3139", "#14171B", "#33414D"),
    },
    texture=1.5,
    text="#E3E8EE",
    accent="#35C2B0",
    list_base="#1E2227",
    sw=2.0,
    _tile=_flat_tile,
    tiles={
        1: ("#2C333C", "#414B57", 1.0, "#C9D2DC"),
        2: ("#3A4552", "#7F8FA0", 1.6, "#FFFFFF"),
        3: ("#35C2B0", "#2AA596", 1.0, "#0F1417"),
        4: ("#63D9CA", "#E6FFFB", 2.2, "#0F1417"),
    },
    accents={"go": "#52D585", "bolt": "#F4C350", "stop": "#F26B73", "on": "#52D585", "accent": "#35C2B0"},
    legend={"col": "#C9D2DC", "accent": "#35C2B0", "del": "#F26B73", "new": "#52D585", "rep": "#F4C350"},
    card=("#2A3038", "#414B57"),
    doc_col="#C9D2DC",
    doc_fill="#3A434E",
    newer="#3FAF6C",
    older="#8C7447",
    badges={
        "copy": "#3D8FE0",
        "rep": "#D98F12",
        "del": "#E0525B",
        "equal": "#6B7786",
        "extra": "#2FA89A",
        "newer": "#2E9E5B",
        "older": "#A5782E",
        "question": "#E0A020",
        "ink": "#FFFFFF",
    },
    lines=("#0B0D10", "#353D47"),
    logo=("#35C2B0", "#1E7F86"),
)

SKIN2 = Skin(
    name="Skin2",
    character="high contrast for low vision: black, white and yellow, thick strokes",
    bg={
        "BG1": ("#000000", "#000000", "#000000"),
        "BG2": ("#000000", "#000000", "#000000"),
        "BG3": ("#000000", "#000000", "#000000"),
        "BG4": ("#000000", "#000000", "#000000"),
        "BG5": ("#000000", "#000000", "#000000"),
    },
    texture=0,
    text="#FFFFFF",
    accent="#FFD800",
    list_base="#000000",
    sw=3.0,
    _tile=_flat_tile,
    tiles={
        1: ("#000000", "#FFFFFF", 2.5, "#FFFFFF"),
        2: ("#000000", "#FFD800", 4.0, "#FFD800"),
        3: ("#FFD800", "#FFD800", 2.5, "#000000"),
        4: ("#FFD800", "#FFFFFF", 4.0, "#000000"),
    },
    accents={"accent": "#FFD800"},
    legend={"col": "#FFFFFF", "accent": "#FFD800", "del": "#FFD800", "new": "#FFD800", "rep": "#FFD800"},
    card=("#000000", "#FFFFFF"),
    doc_col="#FFFFFF",
    doc_fill="#000000",
    newer="#FFD800",
    older="#000000",
    badges={
        "copy": "#FFD800",
        "rep": "#FFD800",
        "del": "#FFFFFF",
        "equal": "#FFFFFF",
        "extra": "#FFD800",
        "newer": "#FFD800",
        "older": "#FFFFFF",
        "question": "#FFD800",
        "ink": "#000000",
    },
    lines=("#FFFFFF", "#FFFFFF"),
    logo=("#FFD800", "#FFD800"),
)

SKIN3 = Skin(
    name="Skin3",
    character="strong colours: deep violet ground, every button in its own vivid colour",
    bg={
        "BG1": ("#2C1A8C", "#6A1B9A", "#3D5AFE"),
        "BG2": ("#34208F", "#5C1F94", "#4A3AD0"),
        "BG3": ("#0D47A1", "#2C1A8C", "#1E88E5"),
        "BG4": ("#2A1D78", "#3F1C7E", "#3C2D9E"),
        "BG5": ("#3A1C9A", "#8E24AA", "#E040FB"),
    },
    texture=1.5,
    text="#FFFFFF",
    accent="#FFD54F",
    list_base="#FFFFFF",
    sw=2.2,
    _tile=_vivid_tile,
    button_colours={
        0: rgb("#607D8B"),
        1: rgb("#00897B"),
        2: rgb("#1E88E5"),
        3: rgb("#2E9E44"),
        4: rgb("#F57C00"),
        5: rgb("#E53935"),
        6: rgb("#0097A7"),
        7: rgb("#E68A00"),
        10: rgb("#0277BD"),
        11: rgb("#E53935"),
        12: rgb("#D81B60"),
        16: rgb("#1E88E5"),
        17: rgb("#00897B"),
        18: rgb("#00897B"),
        19: rgb("#78909C"),
        20: rgb("#2E9E44"),
        22: rgb("#78909C"),
        23: rgb("#2E9E44"),
    },
    accents={},
    legend={"col": "#FFFFFF", "accent": "#FFD54F", "del": "#FF8A80", "new": "#B9F6CA", "rep": "#FFD54F"},
    card=("#FFFFFF", "#FFFFFF"),
    doc_col="#3A2A7A",
    doc_fill="#EDE7F6",
    panel_doc_col="#FFFFFF",
    panel_doc_fill="#9575CD",
    newer="#2E9E44",
    older="#FFB74D",
    badges={
        "copy": "#1E88E5",
        "rep": "#F57C00",
        "del": "#E53935",
        "equal": "#78909C",
        "extra": "#00ACC1",
        "newer": "#2E9E44",
        "older": "#8E24AA",
        "question": "#F9A825",
        "ink": "#FFFFFF",
    },
    lines=("#FFD54F", "#F57C00"),
    logo=("#FFB300", "#F4511E"),
)

SKINS = [SKIN0, SKIN1, SKIN2, SKIN3]
