#!/usr/bin/python3
"""Draws the editor's five PNG images into resources/img/.

Needs Debian's python3-pil and fonts-liberation (apt-get install python3-pil
fonts-liberation). Run from anywhere:

    /usr/bin/python3 resources/make-images.py [OUTDIR] [--preview FILE]

OUTDIR defaults to the img/ folder beside this script. --preview also writes a
mock-up of the whole editor (background, handles, LEDs and sample texts at the
control positions) to check the layout by eye; it is not a resource.

Every image is 8 bits per channel and not interlaced: the background is RGB,
the others RGBA. The background's rows are stored unfiltered (see
save_unfiltered_png): it decodes in well under half the time of Pillow's
filtered rows, and the file is smaller too. The control coordinates below are the editor's: the faders,
switches, lists and read-outs are drawn over the background at exactly these
places, so the background only carries what stays still (panels, captions,
fader tracks, the boxes behind the texts).
"""

import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/liberation"
SANS = os.path.join(FONT_DIR, "LiberationSans-Regular.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "LiberationSans-Bold.ttf")

WIDTH, HEIGHT = 410, 680
SS = 4  # supersampling for the shapes; text is drawn at 1x to stay crisp

# Palette: dark anthracite panel, warm light boxes for the black texts.
BG_TOP = (40, 43, 49)
BG_BOTTOM = (27, 29, 33)
PANEL = (50, 54, 61)
PANEL_EDGE = (70, 75, 84)
PANEL_SHADOW = (20, 21, 24)
CAPTION = (206, 210, 216)
DIM = (140, 146, 155)
BOX = (232, 228, 214)
BOX_EDGE = (14, 15, 17)
GROOVE = (16, 17, 20)
GROOVE_LIGHT = (88, 94, 104)
TICK = (120, 126, 136)
TICK_CENTRE = (196, 200, 206)
ACCENT = {
    "scale": (232, 170, 70),
    "main": (236, 112, 86),
    "parallel": (88, 196, 180),
    "v1": (110, 160, 236),
    "v2": (196, 128, 220),
}

# Control positions (x, y as the editor places them).
FADERS_X = 120
FADER_LEN = 184
HANDLE = 12
FADERS = {  # section -> list of (caption, y)
    "parallel": [("Interval", 192), ("Velocity", 216)],
    "v1": [("Interval 1", 304), ("Interval 2", 329), ("Interval 3", 352),
           ("Interval 4", 376), ("Velocity", 420)],
    "v2": [("Interval 1", 512), ("Interval 2", 536), ("Interval 3", 560),
           ("Interval 4", 584), ("Velocity", 628)],
}
LISTS = [  # caption, x, y, sample text for the preview
    ("Channel", 112, 125, "1"), ("Delay", 248, 125, "--off--"),
    ("Channel", 112, 231, "1"), ("Delay", 248, 231, "1/8d"),
    ("Channel", 112, 437, "2"), ("Pattern", 112, 393, "UpDown"),
    ("Delay", 248, 439, "1/16"),
    ("Channel", 112, 645, "3"), ("Pattern", 112, 601, "Random"),
    ("Delay", 248, 645, "1/32t"),
    ("Tonic", 112, 61, "C#"), ("Scale", 248, 63, "Major"),
]
VOICE_MUTES = [(360, 128), (359, 232), (359, 439), (359, 647)]
INTERVAL_MUTES = [(360, y) for y in (304, 328, 352, 376, 512, 536, 560, 584)]
SNAP = (111, 39)

# Panels: section, legend, top, bottom.
PANELS = [
    ("scale", "SCALE & SNAP", 33, 88),
    ("main", "MAIN VOICE", 104, 152),
    ("parallel", "PARALLEL VOICE", 168, 258),
    ("v1", "VOICE 1", 274, 466),
    ("v2", "VOICE 2", 482, 672),
]
PANEL_LEFT, PANEL_RIGHT = 6, 403


def font(path, size):
    return ImageFont.truetype(path, size)


def s(v):
    """Scales a coordinate to the supersampled canvas."""
    return round(v * SS)


def text_middle(draw, x, cy, text, fnt, fill, anchor="l"):
    """Draws text with its x-height centred on cy: left, right or centre anchored."""
    draw.text((x, cy), text, font=fnt, fill=fill, anchor=anchor + "m")


def draw_shapes(img):
    """Panels, boxes and fader tracks, on the supersampled canvas."""
    d = ImageDraw.Draw(img)
    # Vertical gradient behind everything.
    for y in range(s(HEIGHT)):
        t = y / (s(HEIGHT) - 1)
        c = tuple(round(BG_TOP[i] + (BG_BOTTOM[i] - BG_TOP[i]) * t) for i in range(3))
        d.line([(0, y), (s(WIDTH), y)], fill=c)

    # Title band.
    d.rectangle([0, 0, s(WIDTH), s(26)], fill=(22, 23, 27))
    d.rectangle([0, s(26), s(WIDTH), s(27) - 1], fill=ACCENT["scale"])

    for key, _, top, bottom in PANELS:
        d.rounded_rectangle([s(PANEL_LEFT) + SS, s(top) + SS, s(PANEL_RIGHT) + SS, s(bottom) + SS],
                            radius=s(5), fill=PANEL_SHADOW)
        d.rounded_rectangle([s(PANEL_LEFT), s(top), s(PANEL_RIGHT), s(bottom)],
                            radius=s(5), fill=PANEL, outline=PANEL_EDGE, width=SS)

    # Fader tracks: a recessed groove over the whole travel, ticks under it at the
    # ends, the quarters and the centre (0 for every fader of this editor).
    for rows in FADERS.values():
        for _, y in rows:
            cy = y + 3  # the handle is 12 high from y - 3
            x0, x1 = FADERS_X + 1, FADERS_X + FADER_LEN - 1
            d.rounded_rectangle([s(x0), s(cy - 2.5), s(x1), s(cy + 2.5)], radius=s(2.5),
                                fill=GROOVE_LIGHT)
            d.rounded_rectangle([s(x0), s(cy - 2.5), s(x1), s(cy + 1.5)], radius=s(2),
                                fill=GROOVE)
            travel = FADER_LEN - HANDLE
            for i in range(5):
                tx = FADERS_X + HANDLE / 2 + travel * i / 4
                centre = i == 2
                length = 4 if centre or i in (0, 4) else 2.5
                d.rectangle([s(tx - 0.5), s(y + 10), s(tx + 0.5) - 1, s(y + 10 + length) - 1],
                            fill=TICK_CENTRE if centre else TICK)
            # Read-out box (the text control is x + 188 .. x + 218, y - 3 .. y + 13).
            box(d, FADERS_X + 188, y - 3, FADERS_X + 218, y + 13)

    # List boxes (the text control is x + 2 .. x + 62, y .. y + 16, left aligned).
    for _, x, y, _ in LISTS:
        box(d, x + 2, y, x + 62, y + 16, left_pad=3)

    # Sockets under the LEDs so they sit in the panel rather than on it.
    for x, y in VOICE_MUTES + INTERVAL_MUTES:
        socket(d, x, y, 11)
    socket(d, SNAP[0], SNAP[1], 12)


def box(d, l, t, r, b, left_pad=2):
    """A light, slightly inset field around a text rectangle (exclusive right/bottom)."""
    l, t, r, b = l - left_pad, t - 1, r + 2, b + 1
    d.rounded_rectangle([s(l) - SS, s(t) - SS, s(r) + SS - 1, s(b) + SS - 1], radius=s(3),
                        fill=BOX_EDGE)
    d.rounded_rectangle([s(l), s(t), s(r) - 1, s(b) - 1], radius=s(2), fill=BOX)
    # A faint inner shadow along the top edge.
    d.rounded_rectangle([s(l), s(t), s(r) - 1, s(t + 1.5)], radius=s(1), fill=(200, 196, 184))
    d.rectangle([s(l + 1), s(t + 1), s(r - 1) - 1, s(t + 1.5)], fill=(214, 210, 197))


def socket(d, x, y, size):
    c = size / 2
    d.ellipse([s(x + c - c - 1.5), s(y + c - c - 1.5), s(x + c + c + 1.5), s(y + c + c + 1.5)],
              fill=(30, 32, 36))
    d.ellipse([s(x + c - c - 0.5), s(y + c - c - 0.5), s(x + c + c + 0.5), s(y + c + c + 0.5)],
              fill=(12, 13, 15))


def draw_texts(img):
    d = ImageDraw.Draw(img)
    title = font(SANS_BOLD, 19)
    legend = font(SANS_BOLD, 10)
    caption = font(SANS, 12)
    small = font(SANS, 9)

    # Name with a touch of letter spacing, and what it is.
    x = 14
    for ch in "Tamborelle":
        d.text((x, 13), ch, font=title, fill=(238, 236, 230), anchor="lm")
        x += d.textlength(ch, font=title) + 0.8
    text_middle(d, 396, 14, "MIDI VOICE GENERATOR", small, DIM, "r")

    # Legends sit on the panel's top edge, on a patch of the background.
    for key, text, top, _ in PANELS:
        w = d.textlength(text, font=legend)
        y0 = top - 6
        d.rectangle([14, y0, 14 + w + 18, top + 1], fill=blend_bg(top))
        d.rectangle([16, top - 3, 20, top + 1], fill=ACCENT[key])
        d.text((25, top - 1), text, font=legend, fill=ACCENT[key], anchor="lm")

    # Fader captions on the left, and a scale above each group of interval faders.
    for key, rows in FADERS.items():
        for text, y in rows:
            text_middle(d, 18, y + 3, text, caption, CAPTION)
        first = rows[0][1]
        if key != "parallel":
            travel = FADER_LEN - HANDLE
            for i, label in ((0, "\u221224"), (2, "0"), (4, "+24")):
                tx = FADERS_X + HANDLE / 2 + travel * i / 4
                text_middle(d, tx, first - 13, label, small, DIM, "m")
            text_middle(d, 365.5, first - 13, "Mute", small, DIM, "m")

    for text, x, y, _ in LISTS:
        if x < 200:
            text_middle(d, 18, y + 8, text, caption, CAPTION)
        else:
            text_middle(d, 240, y + 8, text, caption, CAPTION, "r")

    # Left of the voice mutes: the panel ends too close on their right.
    for x, y in VOICE_MUTES:
        text_middle(d, x - 6, y + 5.5, "Mute", caption, CAPTION, "r")
    text_middle(d, 18, SNAP[1] + 6, "Snap", caption, CAPTION)


def blend_bg(y):
    t = y / (HEIGHT - 1)
    return tuple(round(BG_TOP[i] + (BG_BOTTOM[i] - BG_TOP[i]) * t) for i in range(3))


def make_background():
    big = Image.new("RGB", (s(WIDTH), s(HEIGHT)))
    draw_shapes(big)
    img = big.resize((WIDTH, HEIGHT), Image.LANCZOS)
    draw_texts(img)
    return img


def make_handle():
    """A light cap with a dark centre line, 12 x 12, over a dark groove."""
    big = Image.new("RGBA", (s(12), s(12)), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    d.rounded_rectangle([0, 0, s(12) - 1, s(12) - 1], radius=s(3), fill=(10, 10, 12, 255))
    for y in range(SS, s(11)):
        t = (y - SS) / (s(10))
        c = round(236 - 70 * t)
        d.rounded_rectangle([SS, y, s(11) - 1, y], radius=0, fill=(c, c, c + 4, 255))
    # Round off the inner corners by redrawing the rim over the gradient.
    d.rounded_rectangle([0, 0, s(12) - 1, s(12) - 1], radius=s(3), outline=(10, 10, 12, 255),
                        width=SS)
    d.rectangle([s(5.25), s(2), s(6.75) - 1, s(10) - 1], fill=(28, 30, 34, 255))
    return big.resize((12, 12), Image.LANCZOS)


def make_led(size, off_rgb, on_rgb):
    """Two frames stacked vertically: frame 1 off, frame 2 on."""
    img = Image.new("RGBA", (size, size * 2), (0, 0, 0, 0))
    img.paste(led_frame(size, off_rgb, lit=False), (0, 0))
    img.paste(led_frame(size, on_rgb, lit=True), (0, size))
    return img


def led_frame(size, rgb, lit):
    k = 8
    n = size * k
    big = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(big)
    # Bezel, then the lens with a radial falloff, then a small highlight.
    d.ellipse([0, 0, n - 1, n - 1], fill=(8, 8, 10, 255))
    d.ellipse([k * 0.6, k * 0.6, n - 1 - k * 0.6, n - 1 - k * 0.6], fill=(70, 72, 78, 255))
    r0 = n / 2 - k * 1.2
    cx = cy = n / 2
    steps = 24
    for i in range(steps):
        f = i / (steps - 1)
        r = r0 * (1 - f * 0.85)
        if lit:
            c = tuple(min(255, round(v * (0.75 + 0.25 * f) + (255 - v) * 0.55 * f * f)) for v in rgb)
        else:
            c = tuple(round(v * (0.22 + 0.16 * f)) for v in rgb)
        d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=c + (255,))
    hr = n * 0.13
    hx, hy = cx - n * 0.14, cy - n * 0.15
    d.ellipse([hx - hr, hy - hr, hx + hr, hy + hr],
              fill=(255, 255, 255, 200 if lit else 70))
    return big.resize((size, size), Image.LANCZOS)


def save_unfiltered_png(img, path):
    """Writes an RGB image as PNG with filter type 0 (None) on every row.

    Pillow picks a filter per row, mostly Paeth for these gradients, and undoing
    Paeth is the bulk of the editor's first-open decode; unfiltered rows of this
    picture also compress better. The pixels are the same either way.
    """
    width, height = img.size
    raw = img.tobytes()
    stride = width * 3
    rows = b"".join(b"\0" + raw[y * stride:(y + 1) * stride] for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def make_preview(bg, handle, mute, snap, path):
    """The editor as it looks with controls drawn, for checking by eye."""
    img = bg.convert("RGBA")
    d = ImageDraw.Draw(img)
    text = font(SANS, 13)
    positions = [0.5, 0.7, 0.25, 0.5, 0.62, 0.8, 0.5, 0.5, 0.3, 0.45, 0.7, 0.5]
    values = ["0", "7", "-12", "0", "6", "14", "0", "0", "-5", "-2", "10", "0"]
    rows = [y for r in FADERS.values() for _, y in r]
    for i, y in enumerate(rows):
        x = FADERS_X + int((FADER_LEN - HANDLE) * positions[i])
        img.alpha_composite(handle, (x, y - 3))
        d.text((FADERS_X + 203, y + 5), values[i], font=text, fill=(0, 0, 0), anchor="mm")
    for _, x, y, sample in LISTS:
        d.text((x + 2, y + 8), sample, font=text, fill=(0, 0, 0), anchor="lm")
    for i, (x, y) in enumerate(VOICE_MUTES + INTERVAL_MUTES):
        frame = mute.crop((0, 11, 11, 22) if i in (1, 6) else (0, 0, 11, 11))
        img.alpha_composite(frame, (x, y))
    img.alpha_composite(snap.crop((0, 12, 12, 24)), SNAP)
    img.convert("RGB").save(path)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = os.path.join(here, "img")
    preview = None
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--preview" and args:
            preview = args.pop(0)
        else:
            outdir = a
    os.makedirs(outdir, exist_ok=True)

    images = {
        "bg.png": make_background(),                                        # 100
        "fader-handle.png": make_handle(),                                  # 101
        "mute-led.png": make_led(11, (255, 52, 40), (255, 70, 52)),         # 102
        "spare-led.png": make_led(12, (255, 176, 40), (255, 184, 56)),      # 103
        "snap-led.png": make_led(12, (70, 235, 110), (90, 240, 120)),       # 104
    }
    for name, img in images.items():
        if name == "bg.png":
            save_unfiltered_png(img, os.path.join(outdir, name))
        else:
            img.save(os.path.join(outdir, name), optimize=False)
    if preview:
        make_preview(images["bg.png"], images["fader-handle.png"], images["mute-led.png"],
                     images["snap-led.png"], preview)


if __name__ == "__main__":
    main(sys.argv[1:])
