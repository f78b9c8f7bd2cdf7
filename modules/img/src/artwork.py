#!/usr/bin/env python3
"""Draws the window's artwork as SVG files; the build renders them to PNG.

usage: artwork.py OUTDIR      writes OUTDIR/<path>.svg for every picture
       artwork.py --list      prints the picture paths (without extension)

One look throughout: near-black panels, gray edges, orange (#cf3e00) for
accents, hover and selection. The mouse and its button highlights are drawn
from the same shapes, so a highlight always lies exactly on its button.
"""
import math
import os
import sys

ORANGE = "#cf3e00"
ORANGE_HI = "#ff5a14"
GRAY0 = "#1a1a1a"
GRAY1 = "#3c3c3c"
GRAY2 = "#969696"
GRAY3 = "#d1d1d1"
WHITE = "#ffffff"


def svg(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}"><defs>{defs}</defs>{body}</svg>\n')


# ---------------------------------------------------------------- wordmark
# Angular block letters on a 27 x 34 cell, drawn with a forward slant.
LETTERS = {
    "S": "M0 0H27V7H7V13.5H27V34H0V27H20V20.5H0Z",
    "K": "M0 0H7V14L18 0H27L14 17L27 34H18L7 20V34H0Z",
    "A": "M0 34L10 0H17L27 34H20L17.6 26H9.4L7 34ZM11.4 19.5H15.6L13.5 11Z",
    "R": "M0 0H22L27 5V15L22 20H20L27 34H19L12.5 20H7V34H0ZM7 6.5V13.5H20V6.5Z",
    "N": "M0 0H7L20 21V0H27V34H20L7 13V34H0Z",
}


def wordmark(x, y, scale, fill, word="SKARN", advance=32):
    parts = []
    for i, ch in enumerate(word):
        parts.append(f'<path transform="translate({i * advance} 0)" d="{LETTERS[ch]}"/>')
    return (f'<g transform="translate({x} {y}) scale({scale}) skewX(-12)" fill="{fill}" '
            f'fill-rule="evenodd">{"".join(parts)}</g>')


# ---------------------------------------------------------------- window
# The backdrop's gradient, glow, rings and accents are drawn by the scene
# itself: a window-sized picture would hold 2.5 MB for the program's life.
# Only the hex mesh is a picture, one tile the scene repeats. Seven rows of
# cells make a whole number of pixels, so the tiles meet without a seam.
HEX_W, HEX_ROWS, HEX_TILE_H = 24, 7, 291


def background_hex():
    cell_h = HEX_TILE_H / HEX_ROWS
    defs = (f'<pattern id="hex" width="{HEX_W}" height="{cell_h:.4f}" patternUnits="userSpaceOnUse">'
            f'<path d="M0 0L12 {cell_h / 6:.3f}V{cell_h / 2:.3f}L0 {cell_h * 2 / 3:.3f}'
            f'M12 {cell_h / 2:.3f}L24 {cell_h * 2 / 3:.3f}M24 0L12 {cell_h / 6:.3f}'
            f'M12 {cell_h * 5 / 6:.3f}V{cell_h:.4f}" '
            'fill="none" stroke="#ffffff" stroke-opacity="0.035" stroke-width="1"/></pattern>')
    return svg(HEX_W, HEX_TILE_H, f'<rect width="{HEX_W}" height="{HEX_TILE_H}" fill="url(#hex)"/>', defs)


def title_bar():
    w, h = 1024, 82
    defs = ('<linearGradient id="tb" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#202024"/><stop offset="1" stop-color="#0c0c0d"/></linearGradient>')
    # Full height under the logo, a slim band over the right column.
    shape = "M0 0H1024V46H330L294 82H0Z"
    body = [f'<path d="{shape}" fill="url(#tb)"/>',
            f'<path d="M0 81H293L329 45H1024" fill="none" stroke="{ORANGE}" stroke-width="2"/>',
            '<path d="M0 76H290L326 40H1024" fill="none" stroke="#ffffff" stroke-opacity="0.06"/>',
            f'<path d="M340 0L356 16H740L756 0Z" fill="{ORANGE}" fill-opacity="0.18"/>',
            f'<path d="M356 16H740" stroke="{ORANGE}" stroke-opacity="0.7"/>']
    for i in range(8):
        x = 700 - i * 9
        body.append(f'<path d="M{x} 38L{x + 6} 32" stroke="{GRAY2}" stroke-opacity="0.4" stroke-width="2"/>')
    return svg(w, h, "".join(body), defs)


def title_logo():
    w, h = 260, 80
    body = [f'<path d="M24 24L40 40L24 56H34L50 40L34 24Z" fill="{ORANGE}"/>',
            wordmark(62, 22, 1.0, WHITE),
            f'<rect x="62" y="60" width="156" height="2" fill="{ORANGE}"/>',
            f'<text x="224" y="62" font-family="DejaVu Sans" font-weight="bold" font-size="11" '
            f'fill="{GRAY2}">SK-70</text>']
    return svg(w, h, "".join(body))


def power_on():
    # The busy text is centred in the window, and so is this picture: its
    # middle band (around y 212) is left empty for "LOADING ......".
    w, h = 540, 425
    cx, cy = 270, 200
    defs = ('<radialGradient id="halo" cx="270" cy="200" r="200" gradientUnits="userSpaceOnUse">'
            '<stop offset="0" stop-color="#cf3e00" stop-opacity="0.35"/>'
            '<stop offset="1" stop-color="#cf3e00" stop-opacity="0"/></radialGradient>'
            '<linearGradient id="plate" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#1c1c20"/><stop offset="1" stop-color="#060607"/></linearGradient>')

    def hexagon(r):
        pts = [(cx + r * math.cos(math.radians(60 * i + 30)), cy + r * math.sin(math.radians(60 * i + 30)))
               for i in range(6)]
        return "M" + "L".join(f"{x:.1f} {y:.1f}" for x, y in pts) + "Z"

    body = [f'<path d="{hexagon(190)}" fill="url(#halo)"/>',
            f'<path d="{hexagon(172)}" fill="url(#plate)" stroke="{GRAY1}" stroke-width="2"/>',
            f'<path d="{hexagon(158)}" fill="none" stroke="{ORANGE}" stroke-width="3"/>',
            f'<path d="M{cx - 26} {cy - 122}L{cx} {cy - 96}L{cx + 26} {cy - 122}" fill="none" '
            f'stroke="{ORANGE}" stroke-width="6"/>',
            wordmark(cx - 117, cy - 76, 1.6, WHITE),
            f'<rect x="{cx - 110}" y="{cy - 13}" width="220" height="3" fill="{ORANGE}"/>',
            f'<text x="{cx}" y="{cy + 92}" text-anchor="middle" font-family="DejaVu Sans" '
            f'font-weight="bold" font-size="15" letter-spacing="4" fill="{GRAY3}">SK-70 GAMING MOUSE</text>',
            f'<path d="M{cx - 60} {cy + 112}H{cx + 60}" stroke="{GRAY2}" stroke-opacity="0.5"/>',
            f'<text x="{cx}" y="{h - 16}" text-anchor="middle" font-family="DejaVu Sans" '
            f'font-size="11" letter-spacing="3" fill="{GRAY2}">PRECISION  ·  CONTROL  ·  SPEED</text>']
    return svg(w, h, "".join(body), defs)


# ---------------------------------------------------------------- icons
def icon(body, w=16, h=16):
    return svg(w, h, body)


def close_btn(color):
    return icon(f'<path d="M3.5 3.5L12.5 12.5M12.5 3.5L3.5 12.5" stroke="{color}" stroke-width="2" '
                'stroke-linecap="square"/>')


def min_btn(color):
    return icon(f'<rect x="3" y="11" width="10" height="2" fill="{color}"/>')


def ask_btn(color):
    return icon(f'<circle cx="8" cy="8" r="6.6" fill="none" stroke="{color}" stroke-width="1.5"/>'
                f'<path d="M5.8 6.2C5.8 3.4 10.4 3.4 10.4 6C10.4 7.6 8 7.8 8 9.6" fill="none" '
                f'stroke="{color}" stroke-width="1.6"/><rect x="7.1" y="10.9" width="1.8" height="1.8" fill="{color}"/>')


def back_btn(color):
    return icon(f'<path d="M4.2 5.2A5.2 5.2 0 1 1 3 9.4" fill="none" stroke="{color}" stroke-width="1.8"/>'
                f'<path d="M1.6 2.2L5.6 6.4L1.4 7.4Z" fill="{color}"/>')


def drop_btn(up):
    d = "M0 6L5 0L10 6Z" if up else "M0 0H10L5 6Z"
    return icon(f'<path d="{d}" fill="{ORANGE if up else GRAY3}"/>', 10, 6)


def slide_knob():
    return icon(f'<circle cx="6" cy="6" r="5.2" fill="{WHITE}" stroke="{ORANGE}" stroke-width="1.6"/>'
                f'<circle cx="6" cy="6" r="1.8" fill="{ORANGE}"/>', 12, 12)


def check_btn():
    return icon(f'<path d="M1 4.2L3.3 6.6L7.2 1.4" fill="none" stroke="{ORANGE_HI}" stroke-width="1.8" '
                'stroke-linecap="square"/>', 8, 8)


def sure_btn():
    return icon(f'<circle cx="8" cy="8" r="7" fill="{ORANGE}"/>'
                f'<path d="M4.5 8.2L7 10.6L11.6 5.4" fill="none" stroke="{WHITE}" stroke-width="1.8"/>')


def speed_scale():
    ticks = "".join(f'<rect x="{3 + 19.5 * i + 6 - 0.5:.1f}" y="0" width="1" height="{6 if i in (0, 4) else 4}" '
                    f'fill="{GRAY2}"/>' for i in range(5))
    return icon(f'<rect x="9" y="0" width="78" height="1" fill="{GRAY1}"/>{ticks}', 96, 6)


def macro_icon(kind):
    key = (f'<rect x="1.5" y="4.5" width="13" height="10" rx="2" fill="{GRAY0}" stroke="{GRAY3}"/>'
           f'<rect x="4" y="6.5" width="8" height="5" rx="1" fill="{GRAY1}"/>')
    mouse = (f'<rect x="3.5" y="3.5" width="9" height="12" rx="4.5" fill="{GRAY0}" stroke="{GRAY3}"/>'
             f'<path d="M8 3.5V8M3.5 8H12.5" stroke="{GRAY3}"/>')
    down = f'<path d="M8 0.5V4M5.6 2L8 4.6L10.4 2" fill="none" stroke="{ORANGE_HI}" stroke-width="1.6"/>'
    up = f'<path d="M8 4.6V1M5.6 3L8 0.5L10.4 3" fill="none" stroke="{GRAY3}" stroke-width="1.6"/>'
    if kind == "keyDelay":
        return icon(f'<circle cx="8" cy="8.5" r="6.5" fill="{GRAY0}" stroke="{GRAY3}" stroke-width="1.2"/>'
                    f'<path d="M8 4.5V8.5L10.8 10.3" fill="none" stroke="{ORANGE_HI}" stroke-width="1.5"/>'
                    f'<rect x="6.5" y="0.5" width="3" height="1.5" fill="{GRAY3}"/>')
    if kind == "keyPress":
        return icon(key + down)
    if kind == "keyRelease":
        return icon(key + up)
    if kind == "mousePress":
        return icon(mouse + f'<path d="M4 8V6A4 4 0 0 1 8 4V8Z" fill="{ORANGE_HI}"/>')
    return icon(mouse + f'<path d="M4.5 8V6A3.5 3.5 0 0 1 8 4.5" fill="none" stroke="{GRAY2}"/>'
                f'<path d="M13 1.5L15 3.5L13 5.5" fill="none" stroke="{GRAY3}"/>')


# ---------------------------------------------------------------- guns
METAL = ('<linearGradient id="metal" x1="0" y1="0" x2="0" y2="1">'
         '<stop offset="0" stop-color="#b4b4bc"/><stop offset="0.5" stop-color="#6c6c74"/>'
         '<stop offset="1" stop-color="#3a3a40"/></linearGradient>'
         '<linearGradient id="wood" x1="0" y1="0" x2="0" y2="1">'
         '<stop offset="0" stop-color="#a8683a"/><stop offset="1" stop-color="#5a3318"/></linearGradient>')


def gun(parts):
    body = []
    for d, fill in parts:
        paint = {"m": "url(#metal)", "w": "url(#wood)", "d": "#2a2a2e", "o": ORANGE}[fill]
        body.append(f'<path d="{d}" fill="{paint}" stroke="#0c0c0e" stroke-width="0.8" stroke-linejoin="round"/>')
    return svg(160, 44, "".join(body), METAL)


GUNS = {
    "M416": [
        ("M4 14H22L26 17H34V26H26L18 31H6L4 27Z", "d"),          # collapsible stock
        ("M34 13H96V24H34Z", "m"),                              # receiver
        ("M96 15H140V21H96Z", "d"),                             # handguard
        ("M140 17H156V19.5H140Z", "m"),                         # barrel
        ("M40 9H92V13H40Z", "d"),                               # rail
        ("M62 24H72L76 38H66Z", "m"),                           # magazine
        ("M48 24H56L53 35H46Z", "d"),                           # grip
        ("M150 12H153V17H150Z", "o"),
    ],
    "AKM": [
        ("M2 16L36 14V22L30 28H8L2 24Z", "w"),
        ("M36 12H94V23H36Z", "m"),
        ("M94 14H124V21H94Z", "w"),
        ("M124 16H156V18.5H124Z", "m"),
        ("M100 11H146V13.5H100Z", "m"),
        ("M64 23H74C76 30 80 35 86 39L80 42C72 38 66 31 64 23Z", "m"),
        ("M46 23H54L51 34H44Z", "w"),
        ("M150 11H153V16H150Z", "o"),
    ],
    "M16A4": [
        ("M2 14H32V26L24 30H4L2 26Z", "d"),
        ("M32 13H94V24H32Z", "m"),
        ("M44 6H78L80 13H42Z", "d"),                            # carry handle
        ("M94 14H132V22H94Z", "d"),
        ("M132 17H157V19.5H132Z", "m"),
        ("M60 24H70L73 38H63Z", "m"),
        ("M44 24H52L49 35H42Z", "d"),
        ("M151 11H154V17H151Z", "o"),
    ],
    "SCAR-L": [
        ("M4 13H30V17H26V24H30V28H8L4 24Z", "d"),
        ("M30 11H100V25H30Z", "m"),
        ("M100 12H138V23H100Z", "d"),
        ("M138 16H156V19H138Z", "m"),
        ("M36 7H134V11H36Z", "d"),
        ("M66 25H76L79 39H69Z", "m"),
        ("M48 25H56L53 36H46Z", "d"),
        ("M148 10H151V16H148Z", "o"),
    ],
    "UNP9": [
        ("M14 14H40V18H34V24H40V27H18L14 24Z", "d"),
        ("M40 11H112V26H40Z", "m"),
        ("M112 15H130V21H112Z", "d"),
        ("M130 16.5H144V19.5H130Z", "m"),
        ("M48 7H104V11H48Z", "d"),
        ("M80 26H90L91 40H81Z", "m"),
        ("M58 26H66L63 37H56Z", "d"),
        ("M139 11H142V16H139Z", "o"),
    ],
    "Thomson": [
        ("M2 15L40 13V22L32 30H8L2 26Z", "w"),
        ("M40 12H98V22H40Z", "m"),
        ("M98 14H120V21H98Z", "w"),
        ("M120 16H152V19.5H120Z", "m"),
        ("M124 13H138V16H124Z", "m"),
        ("M108 21H116L114 30H106Z", "w"),                        # fore grip
        ("M74 22A10 10 0 1 1 73.9 22Z", "d"),                    # drum
        ("M52 22H60L57 33H50Z", "w"),
        ("M148 12H151V16H148Z", "o"),
    ],
}


def target():
    c = 95
    rings = "".join(f'<circle cx="{c}" cy="{c}" r="{r}" fill="none" stroke="{GRAY2}" stroke-opacity="{op}"/>'
                    for r, op in ((88, 0.9), (66, 0.5), (44, 0.5), (22, 0.5)))
    ticks = "".join(f'<path d="M{c} {c - 88 + 4 * k}V{c - 88 + 4 * k}" />' for k in range(1))
    marks = []
    for i in range(1, 9):
        y = c + 11 * i
        marks.append(f'<path d="M{c - (6 if i % 2 == 0 else 3)} {y}H{c + (6 if i % 2 == 0 else 3)}" '
                     f'stroke="{ORANGE}" stroke-opacity="0.8"/>')
    body = [f'<circle cx="{c}" cy="{c}" r="94" fill="#0b0b0c" stroke="{GRAY1}" stroke-width="2"/>',
            rings, ticks,
            f'<path d="M{c} 4V186M4 {c}H186" stroke="{GRAY1}"/>',
            f'<path d="M{c} 10V30M{c} 160V180M10 {c}H30M160 {c}H180" stroke="{GRAY3}" stroke-width="2"/>',
            "".join(marks),
            f'<circle cx="{c}" cy="{c}" r="6" fill="none" stroke="{ORANGE}" stroke-width="2"/>']
    return svg(190, 190, "".join(body))


# ---------------------------------------------------------------- mouse
# Mouse picture coordinates: 243 x 414, drawn with its left edge at window
# x 378.5 and top at y 134. Highlights are drawn at fixed window positions,
# so each one is the same button shape seen through a window-placed box.
MOUSE_W, MOUSE_H = 243, 414
MOUSE_X, MOUSE_Y = 500 - MOUSE_W / 2, 134

BODY = ("M122 8C170 4 212 18 220 60C228 110 236 200 232 270C228 340 210 402 124 408"
        "C44 404 20 350 14 300C8 250 6 200 14 160C20 110 22 60 40 30C60 12 90 8 122 8Z")
LEFT_KEY_CUT = "M-20 -20H145V150Q80 150 -20 168Z"
RIGHT_KEY_CUT = "M147 -20H260V158Q200 150 147 150Z"


def rrect(x, y, w, h, r):
    return (f"M{x + r} {y}H{x + w - r}A{r} {r} 0 0 1 {x + w} {y + r}V{y + h - r}"
            f"A{r} {r} 0 0 1 {x + w - r} {y + h}H{x + r}A{r} {r} 0 0 1 {x} {y + h - r}"
            f"V{y + r}A{r} {r} 0 0 1 {x + r} {y}Z")


WHEEL = rrect(139, 34, 14, 56, 6)
DPI_UP = rrect(139, 161, 14, 28, 4)
DPI_DOWN = rrect(139, 201, 14, 28, 4)
SIDE_FRONT = rrect(6, 186, 15, 48, 5)
SIDE_BACK = rrect(6, 244, 15, 48, 5)
SIDE_TOP = rrect(15, 104, 13, 38, 5)

# index: (window x, window y, width, height, shape, clipped to body,
#         leader polyline in mouse coordinates)
HIGHLIGHTS = [
    (370, 132, 70, 168, LEFT_KEY_CUT, True, [(-8.5, -1), (18, -1), (37, 30)]),
    (562, 132, 50, 168, RIGHT_KEY_CUT, True, [(229.5, -1), (212, -1), (198, 22)]),
    (512, 104, 28, 122, WHEEL, False, [(146, -30), (146, 34)]),
    (360, 316, 44, 56, SIDE_FRONT, False, [(-18.5, 183), (13, 183), (13, 186)]),
    (360, 374, 44, 56, SIDE_BACK, False, [(-18.5, 241), (13, 241), (13, 244)]),
    (515, 295, 94, 34, DPI_UP, False, [(153, 162), (230.5, 162)]),
    (515, 335, 94, 34, DPI_DOWN, False, [(153, 202), (230.5, 202)]),
    (368, 229, 44, 52, SIDE_TOP, False, [(-10.5, 96), (21, 96), (21, 104)]),
]


def mouse_defs():
    return (f'<clipPath id="body"><path d="{BODY}"/></clipPath>'
            '<linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
            '<stop offset="0" stop-color="#34343a"/><stop offset="0.6" stop-color="#1a1a1e"/>'
            '<stop offset="1" stop-color="#0e0e10"/></linearGradient>'
            '<linearGradient id="keys" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#3a3a41"/><stop offset="1" stop-color="#202024"/></linearGradient>'
            '<linearGradient id="wheel" x1="0" y1="0" x2="1" y2="0">'
            '<stop offset="0" stop-color="#2a2a2e"/><stop offset="0.5" stop-color="#8a8a92"/>'
            '<stop offset="1" stop-color="#2a2a2e"/></linearGradient>')


def mouse_front():
    ribs = "".join(f'<path d="M140 {37 + 4 * i}H152" stroke="#141416" stroke-width="1.2"/>' for i in range(13))
    grip = "".join(f'<path d="M{16 + (i % 2) * 2} {196 + 8 * i}l10 -5" stroke="#000" stroke-opacity="0.35" '
                   f'stroke-width="2"/>' for i in range(12))
    body = [
        f'<path d="{BODY}" fill="url(#shell)" stroke="#55555c" stroke-width="1.5"/>',
        f'<g clip-path="url(#body)"><path d="{LEFT_KEY_CUT}" fill="url(#keys)"/>'
        f'<path d="{RIGHT_KEY_CUT}" fill="url(#keys)"/>{grip}'
        '<path d="M60 360Q122 392 184 360" fill="none" stroke="#cf3e00" stroke-width="3" '
        'stroke-opacity="0.85"/></g>',
        '<path d="M146 8V150M10 168Q80 150 145 150M147 150Q200 150 236 158" fill="none" '
        'stroke="#050506" stroke-width="2.5"/>',
        f'<path d="{rrect(134, 28, 24, 68, 9)}" fill="#050506"/>',
        f'<path d="{WHEEL}" fill="url(#wheel)"/>{ribs}',
        f'<path d="{DPI_UP}" fill="#26262b" stroke="#5a5a62"/>',
        f'<path d="{DPI_DOWN}" fill="#26262b" stroke="#5a5a62"/>',
        '<path d="M143 172L146 168L149 172M143 216L146 220L149 216" fill="none" stroke="#9a9aa2"/>',
        f'<path d="{SIDE_FRONT}" fill="#26262b" stroke="#5a5a62"/>',
        f'<path d="{SIDE_BACK}" fill="#26262b" stroke="#5a5a62"/>',
        f'<path d="{SIDE_TOP}" fill="#26262b" stroke="#5a5a62"/>',
        f'<path d="M112 290L134 290L123 308Z" fill="{ORANGE}"/>',
        wordmark(86, 318, 0.42, "#8a8a92"),
    ]
    return svg(MOUSE_W, MOUSE_H, "".join(body), mouse_defs())


def highlight(i, selected):
    wx, wy, w, h, shape, clipped, leader = HIGHLIGHTS[i]
    dx, dy = MOUSE_X - wx, MOUSE_Y - wy
    fill = ORANGE if selected else "#ffffff"
    fill_op = 0.6 if selected else 0.07
    stroke = ORANGE_HI if selected else GRAY2
    line = " ".join(f"{x:.1f},{y:.1f}" for x, y in leader)
    defs = mouse_defs()
    if clipped:
        # A main key shows through its box only in part: light its outer
        # edge and let the glow fade towards the middle of the mouse.
        outer = 0 if i == 0 else 1
        x0, x1 = (wx - MOUSE_X, wx - MOUSE_X + w)
        defs += (f'<linearGradient id="fade" gradientUnits="userSpaceOnUse" x1="{x0}" y1="0" x2="{x1}" y2="0">'
                 f'<stop offset="0" stop-color="{fill}" stop-opacity="{fill_op if outer == 0 else 0}"/>'
                 f'<stop offset="1" stop-color="{fill}" stop-opacity="{0 if outer == 0 else fill_op}"/>'
                 '</linearGradient>'
                 f'<clipPath id="key"><path d="{shape}"/></clipPath>')
        region = (f'<g clip-path="url(#body)"><path d="{shape}" fill="url(#fade)"/></g>'
                  f'<g clip-path="url(#key)"><path d="{BODY}" fill="none" stroke="{stroke}" stroke-width="2"/></g>')
    else:
        region = (f'<path d="{shape}" fill="{fill}" fill-opacity="{fill_op}" stroke="{stroke}" '
                  'stroke-width="1.5"/>')
    body = (f'<g transform="translate({dx} {dy})">{region}'
            f'<polyline points="{line}" fill="none" stroke="{stroke}" stroke-width="1.5"/></g>')
    return svg(w, h, body, defs)


# ---------------------------------------------------------------- catalogue
def catalogue():
    pics = {
        "backgroundHex": background_hex,
        "titleBar": title_bar,
        "titleLogo": title_logo,
        "skin1/index/powerOn": power_on,
        "skin1/index/closeBtn": lambda: close_btn(GRAY3),
        "skin1/index/closeBtnH": lambda: close_btn(ORANGE_HI),
        "skin1/index/minBtn": lambda: min_btn(GRAY3),
        "skin1/index/minBtnH": lambda: min_btn(ORANGE_HI),
        "skin1/index/ask": lambda: ask_btn(GRAY3),
        "skin1/index/askH": lambda: ask_btn(ORANGE_HI),
        "skin1/index/back": lambda: back_btn(GRAY3),
        "skin1/index/backH": lambda: back_btn(ORANGE_HI),
        "skin1/index/dropBtn": lambda: drop_btn(False),
        "skin1/index/dropBtnU": lambda: drop_btn(True),
        "skin1/index/slide": slide_knob,
        "skin1/index/checkBtn": check_btn,
        "skin1/index/sureBtn": sure_btn,
        "skin1/mouse/MouseFront": mouse_front,
        "skin1/lightControl/speedScale": speed_scale,
        "skin1/gun/target": target,
    }
    for i in range(8):
        pics[f"skin1/mouse/Mouse{i}"] = (lambda i=i: highlight(i, False))
        pics[f"skin1/mouse/Mouse{i}S"] = (lambda i=i: highlight(i, True))
    for name, parts in GUNS.items():
        pics[f"skin1/gun/{name}"] = (lambda parts=parts: gun(parts))
    for kind in ("KeyDelay", "KeyPress", "KeyRelease", "MousePress", "MouseRelease"):
        k = kind[0].lower() + kind[1:]
        pics[f"skin1/macros/macro{kind}"] = (lambda k=k: macro_icon(k))
    return pics


def main():
    pics = catalogue()
    if len(sys.argv) == 2 and sys.argv[1] == "--list":
        print("\n".join(sorted(pics)))
        return
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for path, draw in pics.items():
        out = os.path.join(sys.argv[1], path + ".svg")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        text = draw()
        with open(out, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
