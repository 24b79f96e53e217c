#!/usr/bin/env python3
"""Draws the launcher's skin images and program icon with ImageMagick.

    scripts/make_skin_art.py [--preview FILE] [--scales 100,150,200]

Writes the PNGs of resources/skin/, at 100 % and as "name@150.png" and
"name@200.png" for 150 % and 200 % displays, and resources/Vozeror.ico. The
PNGs are then recompressed losslessly with optipng. The outputs are
committed, so a build needs neither this script nor ImageMagick; run it again
after changing the artwork. With --preview it also writes a contact sheet of
all images on a grey checkerboard.

Sections: palette and fonts, drawing helpers, window background, header
pieces, desktop and phone-jump tiles, phone tiles, progress bar, footer icons,
program icon, main.

Conventions that the skin relies on:
- Every image has exactly the size of the control that shows it, since the
  skin draws each one over the whole control without a source rectangle.
- Images whose draw string carries mask='#FFFF00FF' use opaque magenta
  (#FF00FF) where the window behind must show through; the engine turns those
  pixels transparent when it loads the image. Images drawn without that mask
  (the backgrounds, the logo, the footer icons, the progress bar and the two
  normal images of the desktop tiles, whose mask '#FF0000' matches nothing)
  hold no magenta at all and are drawn on the colour that lies behind them.
- Antialiased edges are blended with the colour that lies behind the control,
  and only pixels of exactly that colour, reached from the corners, become
  magenta, so that no pink fringe is left around a shape.
- The progress bars lie over the run tiles while a setup is downloaded: the
  desktop bar at (224,20)-(304,28) of the 400x90 tile and the phone bars at
  (38,125)-(118,133) of the 158x178 tiles. Those places are kept empty.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIN_DIR = os.path.join(ROOT, "resources", "skin")
ICON_FILE = os.path.join(ROOT, "resources", "Vozeror.ico")

# --- Palette and fonts ---------------------------------------------------------

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
LATIN_BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

MAGENTA = "#FF00FF"
HEADER = "#FFFFFF"        # header band, behind the logo and the close button
HEADER_LINE = "#E4E9EF"
BODY = "#EEF2F7"          # body band, behind the desktop and phone-jump tiles
PANEL = "#FFFFFF"         # the phone page's white panel, behind the phone tiles
FOOTER = "#F7F9FB"        # footer band, behind the service and hotline icons
FOOTER_LINE = "#E1E6EC"
TILE = "#FFFFFF"          # the tiles' own background colour in the skin

TEXT = "#2B3440"
TEXT_SOFT = "#7D8894"
BLUE = "#2D8CF0"
BLUE_LIGHT = "#4FA0F5"
BLUE_DARK = "#1D6FC4"
GREEN = "#19BE6B"
GREEN_LIGHT = "#37CC80"
GREEN_DARK = "#11975A"
GREY_BUTTON = "#C3CAD3"
BORDER = "#DCE2E9"
RED = "#E5484D"
RED_DARK = "#B9353A"
TRACK = "#DCE3EA"

# Looks of one tile state: card fill, border, the action button's colours for
# an install and a run tile, and the vertical shift of the content (pushed).
STATES = {
    1: {"fill": "#FFFFFF", "border": BORDER, "install": BLUE, "run": GREEN, "shift": 0},
    2: {"fill": "#F3F8FF", "border": BLUE, "install": BLUE_LIGHT, "run": GREEN_LIGHT, "shift": 0},
    3: {"fill": "#E4EEFA", "border": BLUE_DARK, "install": BLUE_DARK, "run": GREEN_DARK, "shift": 1},
}

# --- Drawing helpers -------------------------------------------------------------


class Mvg:
    """Collects ImageMagick drawing primitives for one image."""

    def __init__(self):
        self.lines = []

    def add(self, text):
        self.lines.append(text)
        return self

    def rect(self, x0, y0, x1, y1, fill, stroke=None, width=1):
        self._paint(fill, stroke, width)
        return self.add("rectangle %g,%g %g,%g" % (x0, y0, x1, y1))

    def round_rect(self, x0, y0, x1, y1, r, fill, stroke=None, width=1):
        self._paint(fill, stroke, width)
        return self.add("roundrectangle %g,%g %g,%g %g,%g" % (x0, y0, x1, y1, r, r))

    def circle(self, cx, cy, r, fill, stroke=None, width=1):
        self._paint(fill, stroke, width)
        return self.add("circle %g,%g %g,%g" % (cx, cy, cx + r, cy))

    def line(self, x0, y0, x1, y1, colour, width):
        self._paint("none", colour, width)
        return self.add("stroke-linecap round line %g,%g %g,%g" % (x0, y0, x1, y1))

    def path(self, d, fill, stroke=None, width=1):
        self._paint(fill, stroke, width)
        return self.add("path '%s'" % d)

    def text(self, x, y, s, size, colour, font=CJK_FONT):
        """Text whose box starts at (x, y) (see text_top for a baseline)."""
        self.add("push graphic-context")
        self.add("gravity NorthWest")
        self._font(font, size, colour)
        self.add("text %g,%g '%s'" % (x, y, s))
        return self.add("pop graphic-context")

    def text_centred(self, w, h, cx, cy, s, size, colour, font=CJK_FONT):
        """Text centred on (cx, cy) of a w x h image."""
        self.add("push graphic-context")
        self.add("gravity Center")
        self._font(font, size, colour)
        self.add("text %g,%g '%s'" % (cx - w / 2.0, cy - h / 2.0, s))
        return self.add("pop graphic-context")

    def _font(self, font, size, colour):
        self.add("font '%s'" % font)
        self.add("font-size %g" % size)
        self.add("stroke none")
        self.add("fill '%s'" % colour)

    def _paint(self, fill, stroke, width):
        self.add("fill '%s'" % fill)
        self.add("stroke '%s'" % (stroke or "none"))
        self.add("stroke-width %g" % width)

    def source(self):
        return "\n".join(self.lines) + "\n"


def run(args):
    subprocess.run(args, check=True)


# Chunks that would make every run produce different bytes.
STABLE_PNG = ["-define", "png:exclude-chunks=date,time,tIME,bKGD",
              "-define", "png:compression-level=9", "-strip"]


# The display scale being drawn, in percent. At 100 the images carry their
# plain names; at another scale "name@<scale>.png", the name the engine asks
# for there, drawn from the same primitives through a scaling transform (so
# shapes and texts are drawn at the scaled size, not enlarged pixels), on a
# canvas of the control's size at that scale.
SCALE = 100


def scaled(n):
    """A length in skin pixels at SCALE, rounded as the engine rounds (half
    away from zero, like MulDiv)."""
    return int(n * SCALE / 100.0 + 0.5)


def art_name(name):
    if SCALE == 100:
        return name
    stem, ext = os.path.splitext(name)
    return "%s@%d%s" % (stem, SCALE, ext)


def render(name, w, h, behind, mvg, transparent_corners=False):
    """Draws mvg over a w x h field of the colour behind, writes SKIN_DIR/name
    (for the current SCALE).

    transparent_corners: the pixels of exactly the colour behind that are
    connected to a corner become magenta (made transparent by the mask)."""
    source = mvg.source()
    if SCALE != 100:
        source = "affine %g,0,0,%g,0,0\n" % (SCALE / 100.0, SCALE / 100.0) + source
    w, h = scaled(w), scaled(h)
    args = ["convert", "-size", "%dx%d" % (w, h), "xc:%s" % behind, "-draw", source]
    if transparent_corners:
        args += ["-fill", MAGENTA, "-fuzz", "0"]
        for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            args += ["-draw", "color %d,%d floodfill" % (x, y)]
    args += STABLE_PNG + ["PNG24:" + os.path.join(SKIN_DIR, art_name(name))]
    run(args)


def text_top(baseline, size):
    """The y of the text box's top that puts the baseline of a text at
    baseline (the CJK face's ascent is about 0.8 of its size)."""
    return baseline - round(size * 0.8)


# --- Window background -----------------------------------------------------------


def make_background():
    m = Mvg()
    m.rect(0, 0, 535, 49, HEADER)
    m.line(0, 49.5, 536, 49.5, HEADER_LINE, 1)
    m.rect(0, 50, 535, 304, BODY)
    m.rect(0, 305, 535, 354, FOOTER)
    m.line(0, 305.5, 536, 305.5, FOOTER_LINE, 1)
    render("bg.png", 536, 355, HEADER, m)
    # The window's corners are cut round (roundcorner "5,5"): outside that
    # curve the background is transparent, so that the layered window shows
    # what lies behind it there.
    path = os.path.join(SKIN_DIR, art_name("bg.png"))
    w, h = scaled(536), scaled(355)
    corner = "roundrectangle 0,0 535,354 3,3"
    if SCALE != 100:
        # The same outline at the scale: edges at the scaled size's last pixel.
        corner = "roundrectangle 0,0 %d,%d %g,%g" % (w - 1, h - 1, 3 * SCALE / 100.0,
                                                     3 * SCALE / 100.0)
    run(["convert", path, "(", "-size", "%dx%d" % (w, h), "xc:black", "-fill", "white",
         "-draw", corner, ")", "-alpha", "off",
         "-compose", "CopyOpacity", "-composite"] + STABLE_PNG + ["PNG32:" + path])


# --- Header pieces ---------------------------------------------------------------


def logo_mark(m, size, ox=0.0, oy=0.0):
    """The product mark: a blue rounded square with a white V over a small
    recovery arc, drawn into a size x size square at (ox, oy)."""
    s = size / 30.0
    m.round_rect(ox + 1 * s, oy + 1 * s, ox + 29 * s, oy + 29 * s, 7 * s, BLUE)
    m.path("M %g,%g L %g,%g L %g,%g" % (ox + 8 * s, oy + 8 * s, ox + 15 * s, oy + 21 * s,
                                         ox + 22 * s, oy + 8 * s),
           "none", "#FFFFFF", 3.2 * s)
    m.add("stroke-linecap round")
    m.path("M %g,%g A %g,%g 0 0,0 %g,%g" % (ox + 7 * s, oy + 20 * s, 8.5 * s, 8.5 * s,
                                             ox + 23 * s, oy + 20 * s),
           "none", "#BFE0FF", 1.6 * s)


def make_logo():
    m = Mvg()
    m.add("stroke-linejoin round")
    logo_mark(m, 30)
    render("logo.png", 30, 30, HEADER, m)


def make_close_buttons():
    # 1 normal: a grey cross on the header; 2 hot: red disc with a white
    # cross; 3 pushed: darker disc, cross one pixel lower.
    looks = {1: (None, "#8A939D", 0), 2: (RED, "#FFFFFF", 0), 3: (RED_DARK, "#FFFFFF", 1)}
    for state, (disc, cross, shift) in looks.items():
        m = Mvg()
        if disc:
            m.circle(15, 15 + shift, 12, disc)
        a, b = 10.5, 19.5
        m.line(a, a + shift, b, b + shift, cross, 2)
        m.line(b, a + shift, a, b + shift, cross, 2)
        render("btn_close_%d.png" % state, 30, 30, HEADER, m, transparent_corners=True)


# --- Desktop and phone-jump tiles (400 x 90, over the tile's white colour) ---------


def monitor_icon(m, ox, oy, accent):
    """A monitor with a recovery arrow on its screen, in a 56 x 56 box."""
    m.round_rect(ox + 2, oy + 6, ox + 54, oy + 42, 4, accent)
    m.rect(ox + 6, oy + 10, ox + 50, oy + 37, "#EAF4FF")
    m.rect(ox + 23, oy + 42, ox + 33, oy + 48, accent)
    m.round_rect(ox + 15, oy + 48, ox + 41, oy + 52, 2, accent)
    # A circular arrow: three quarters of a ring and its head.
    m.add("stroke-linecap round")
    m.path("M %g,%g A 8,8 0 1,1 %g,%g" % (ox + 20, oy + 19, ox + 28, oy + 32), "none", accent, 2.6)
    m.path("M %g,%g L %g,%g L %g,%g Z" % (ox + 16, oy + 14, ox + 23, oy + 15, ox + 18, oy + 21),
           accent)


def phones_icon(m, ox, oy):
    """Two phones side by side, in a 56 x 56 box."""
    m.round_rect(ox + 6, oy + 6, ox + 28, oy + 50, 4, "#3B4552")
    m.rect(ox + 9, oy + 11, ox + 25, oy + 42, "#EAF4FF")
    m.circle(ox + 17, oy + 46, 1.8, "#EAF4FF")
    m.round_rect(ox + 30, oy + 10, ox + 52, oy + 52, 4, GREEN)
    m.rect(ox + 33, oy + 15, ox + 49, oy + 45, "#EAFBF2")
    for dx in (35.5, 41, 46.5):
        m.circle(ox + dx, oy + 48.5, 1.2, "#EAFBF2")


def action_button(m, w, h, x0, y0, x1, y1, colour, label, size):
    m.round_rect(x0, y0, x1, y1, 4, colour)
    m.text_centred(w, h, (x0 + x1) / 2.0, (y0 + y1) / 2.0 - 0.5, label, size, "#FFFFFF")


def wide_tile(name, state, icon, title, subtitle, button_colour, button_label, note=None,
              disabled=False):
    w, h = 400, 90
    look = STATES[state]
    d = look["shift"]
    m = Mvg()
    m.add("stroke-linejoin round")
    fill, border = look["fill"], look["border"]
    if disabled:
        fill, border = "#F6F7F9", BORDER
    m.rect(0.5, 0.5, w - 1.5, h - 1.5, fill, border, 1)
    icon(m, 18, 17 + d)
    m.text(92, text_top(41 + d, 20), title, 20, "#9AA3AD" if disabled else TEXT)
    m.text(92, text_top(66 + d, 12), subtitle, 12, TEXT_SOFT)
    action_button(m, w, h, 306, 29 + d, 386, 61 + d, button_colour, button_label, 14)
    if note:
        m.text_centred(w, h, 264, 41, note, 11, TEXT_SOFT)
    render(name, w, h, TILE, m, transparent_corners=False)


def make_desktop_tiles():
    title = "电脑数据恢复"
    subtitle = "硬盘、U盘、存储卡文件恢复"
    for state in (1, 2, 3):
        wide_tile("computer_un_%d.png" % state, state, lambda m, x, y: monitor_icon(m, x, y, BLUE),
                  title, subtitle, STATES[state]["install"], "立即安装")
        wide_tile("computer_run_%d.png" % state, state,
                  lambda m, x, y: monitor_icon(m, x, y, GREEN),
                  title, subtitle, STATES[state]["run"], "立即运行")
    # Shown while the setup is downloaded (the bar lies at 224..304 x 20..28)
    # and while it runs.
    wide_tile("computer_run_dis.png", 1, lambda m, x, y: monitor_icon(m, x, y, "#B5BDC7"),
              title, subtitle, GREY_BUTTON, "安装中", note="正在下载并安装", disabled=True)


def make_phone_jump_tiles():
    for state in (1, 2, 3):
        wide_tile("phone_jump_%d.png" % state, state, phones_icon, "手机数据恢复",
                  "苹果 iPhone、安卓 Android 手机", STATES[state]["install"], "选择手机 ›")


# --- Phone tiles (158 x 178, over the phone page's white panel) ---------------------


def iphone_icon(m, cx, top):
    m.round_rect(cx - 17, top, cx + 17, top + 54, 7, "#3B4552")
    m.rect(cx - 13, top + 7, cx + 13, top + 43, "#EAF4FF")
    m.round_rect(cx - 5, top + 2.5, cx + 5, top + 4.5, 1, "#6B7580")
    m.circle(cx, top + 48.5, 2.6, "#EAF4FF")


def android_icon(m, cx, top):
    m.round_rect(cx - 17, top, cx + 17, top + 54, 5, GREEN)
    m.rect(cx - 14, top + 5, cx + 14, top + 44, "#EAFBF2")
    for dx in (-8, 0, 8):
        m.circle(cx + dx, top + 49, 1.6, "#EAFBF2")
    # A small robot head on the screen.
    m.path("M %g,%g A 9,9 0 0,1 %g,%g Z" % (cx - 9, top + 29, cx + 9, top + 29), GREEN)
    m.circle(cx - 3.5, top + 24, 1.2, "#EAFBF2")
    m.circle(cx + 3.5, top + 24, 1.2, "#EAFBF2")


def phone_tile(name, state, icon, title, subtitle, button_colour, button_label):
    w, h = 158, 178
    look = STATES[state]
    d = look["shift"]
    m = Mvg()
    m.add("stroke-linejoin round")
    m.round_rect(0.5, 0.5, w - 1.5, h - 1.5, 8, look["fill"], look["border"], 1)
    icon(m, 79, 14 + d)
    m.text_centred(w, h, 79, 86 + d, title, 16, TEXT)
    m.text_centred(w, h, 79, 107 + d, subtitle, 12, TEXT_SOFT)
    # 118..140 stays empty for the progress bar.
    action_button(m, w, h, 29, 144 + d, 129, 168 + d, button_colour, button_label, 13)
    render(name, w, h, PANEL, m, transparent_corners=True)


def make_phone_tiles():
    products = (("iphone", iphone_icon, "苹果手机恢复", "iPhone"),
                ("android", android_icon, "安卓手机恢复", "Android"))
    for prefix, icon, title, subtitle in products:
        for state in (1, 2, 3):
            phone_tile("%s_%d.png" % (prefix, state), state, icon, title, subtitle,
                       STATES[state]["install"], "立即安装")
            phone_tile("%s_run_%d.png" % (prefix, state), state, icon, title, subtitle,
                       STATES[state]["run"], "立即运行")


# --- Progress bar (80 x 8, over a tile) -------------------------------------------


def make_progress_bar():
    # The back image is the empty track on the tile's white. The fore image is
    # stretched into the filled part; its rounded ends lie on the track colour
    # so that its right end looks rounded over the track at any width.
    back = Mvg().round_rect(0, 0, 79, 7, 3.5, TRACK)
    render("install_b.png", 80, 8, TILE, back)
    fore = Mvg()
    fore.round_rect(0, 0, 79, 7, 3.5, BLUE)
    fore.round_rect(2, 1.2, 77, 2.6, 0.7, "#7DB9F7")
    render("install_f.png", 80, 8, TRACK, fore)


# --- Footer icons (14 x 14, over the footer band) -----------------------------------


def make_footer_icons():
    qq = Mvg()
    qq.round_rect(0.5, 1, 13.5, 10.5, 3.5, BLUE)
    qq.path("M 3,9 L 3,13.5 L 7.5,9.5 Z", BLUE)
    for x in (4, 7, 10):
        qq.circle(x, 5.8, 1.05, "#FFFFFF")
    render("qq_ico.png", 14, 14, FOOTER, qq)

    tel = Mvg()
    tel.add("stroke-linejoin round")
    # A handset: two ear pieces joined by a curved grip.
    tel.path("M 2.2,4.2 C 2.2,9.5 4.8,11.8 9.8,11.8 L 11.8,11.8 L 11.8,9.2 L 9.2,8.4 "
             "L 8,9.6 C 6.3,9 5,7.7 4.4,6 L 5.6,4.8 L 4.8,2.2 L 2.2,2.2 Z", BLUE, BLUE, 0.6)
    render("tel_ico.png", 14, 14, FOOTER, tel)


# --- Program icon ------------------------------------------------------------------


def make_icon():
    with tempfile.TemporaryDirectory() as tmp:
        frames = []
        for size in (16, 32, 48):
            m = Mvg()
            m.add("stroke-linejoin round")
            logo_mark(m, size)
            png = os.path.join(tmp, "icon%d.png" % size)
            run(["convert", "-size", "%dx%d" % (size, size), "xc:none", "-draw", m.source()]
                + STABLE_PNG + ["PNG32:" + png])
            frames.append(png)
        run(["convert"] + frames + ["-strip", ICON_FILE])


# --- Main ----------------------------------------------------------------------------


def transparent_copy(name, tmp):
    """The image with its magenta made transparent, as the engine shows it."""
    out = os.path.join(tmp, name)
    run(["convert", os.path.join(SKIN_DIR, name), "-alpha", "set", "-fuzz", "0",
         "-transparent", MAGENTA, "PNG32:" + out])
    return out


# Where the skin puts each image on the window (row offset plus control offset).
HOME_PAGE = [("logo.png", 5, 5), ("btn_close_1.png", 500, 5), ("computer_un_1.png", 68, 70),
             ("phone_jump_2.png", 68, 200), ("qq_ico.png", 120, 325), ("tel_ico.png", 250, 325)]
PHONE_PAGE = [("logo.png", 5, 5), ("btn_close_2.png", 500, 5), ("iphone_run_1.png", 92, 125),
              ("android_2.png", 290, 125), ("qq_ico.png", 120, 325), ("tel_ico.png", 250, 325)]
DOWNLOAD_PAGE = [("logo.png", 5, 5), ("btn_close_3.png", 500, 5), ("computer_run_dis.png", 68, 70),
                 ("install_b.png", 292, 90), ("phone_jump_1.png", 68, 200),
                 ("qq_ico.png", 120, 325), ("tel_ico.png", 250, 325)]


def window_mockup(placements, panel, texts, tmp, out):
    args = ["convert", os.path.join(SKIN_DIR, "bg.png")]
    if panel:
        args += ["-fill", PANEL, "-draw", "rectangle 33,70 502,319"]
    for name, x, y in placements:
        args += [transparent_copy(name, tmp), "-geometry", "+%d+%d" % (x, y), "-composite"]
    if "computer_run_dis.png" in [p[0] for p in placements]:
        # The bar at 30 %: the fore image squeezed into the first 24 pixels.
        args += ["(", os.path.join(SKIN_DIR, "install_f.png"), "-resize", "24x8!", ")",
                 "-geometry", "+292+90", "-composite"]
    args += ["-font", CJK_FONT]
    for x, y, size, colour, s in texts:
        args += ["-pointsize", str(size), "-fill", colour, "-annotate", "+%d+%d" % (x, y), s]
    run(args + [out])


def make_preview(target):
    footer = [(50, 25, 13, "#5A5A5A", "Vozeror"), (140, 337, 12, "#808080", "客服:4000012345"),
              (270, 337, 12, "#808080", "热线:4000012345")]
    with tempfile.TemporaryDirectory() as tmp:
        groups = [["bg.png"],
                  ["computer_un_1.png", "computer_un_2.png", "computer_un_3.png"],
                  ["computer_run_1.png", "computer_run_2.png", "computer_run_3.png",
                   "computer_run_dis.png"],
                  ["phone_jump_1.png", "phone_jump_2.png", "phone_jump_3.png"],
                  ["iphone_%d.png" % i for i in (1, 2, 3)]
                  + ["iphone_run_%d.png" % i for i in (1, 2, 3)]
                  + ["android_%d.png" % i for i in (1, 2, 3)]
                  + ["android_run_%d.png" % i for i in (1, 2, 3)]]
        small = ["logo.png", "btn_close_1.png", "btn_close_2.png", "btn_close_3.png",
                 "qq_ico.png", "tel_ico.png", "install_b.png", "install_f.png"]
        rows = []
        for i, group in enumerate(groups + [small]):
            row = os.path.join(tmp, "row%d.png" % i)
            cells = []
            for n in group:
                image = transparent_copy(n, tmp)
                if group is small:
                    # Small pieces three times enlarged, pixel for pixel.
                    run(["convert", image, "-filter", "point", "-resize", "300%", image])
                cells += ["-label", n, image]
            run(["montage", "-background", "#9AA0A6", "-font", LATIN_BOLD_FONT,
                 "-pointsize", "10"] + cells
                + ["-tile", "%dx1" % len(group), "-geometry", "+6+4", row])
            rows.append(row)
        sheet = os.path.join(tmp, "sheet.png")
        run(["convert", "-background", "#9AA0A6"] + rows + ["-gravity", "West", "-append", sheet])
        pages = []
        for i, (placements, panel, texts) in enumerate((
                (HOME_PAGE, False, []),
                (DOWNLOAD_PAGE, False, []),
                (PHONE_PAGE, True, [(130, 112, 20, "#808080", "请选择需要恢复的手机类型"),
                                    (458, 340, 12, "#00C0FF", "<<返回")]))):
            page = os.path.join(tmp, "page%d.png" % i)
            window_mockup(placements, panel, footer + texts, tmp, page)
            pages.append(page)
        row = os.path.join(tmp, "pages.png")
        run(["convert", "-background", "#9AA0A6"] + pages + ["-splice", "12x0", "+append", row])
        run(["convert", "-background", "#9AA0A6", sheet, row, "-gravity", "West", "-append",
             "+repage", "-depth", "8", target])


# The scales the skin carries art for; at any other the engine resamples
# the nearest one.
ART_SCALES = (100, 150, 200)


def optimise(paths):
    """Recompresses the PNGs losslessly (the pixels stay as they are)."""
    if shutil.which("optipng") is None:
        sys.exit("make_skin_art: optipng is missing (scripts/setup.sh installs it)")
    run(["optipng", "-quiet", "-o5", "-strip", "all"] + paths)


def main():
    global SCALE
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write a contact sheet of the images here")
    parser.add_argument("--scales", default=",".join(str(s) for s in ART_SCALES),
                        help="comma-separated scales to draw (default: %(default)s)")
    options = parser.parse_args()
    os.makedirs(SKIN_DIR, exist_ok=True)
    for scale in (int(s) for s in options.scales.split(",")):
        SCALE = scale
        make_background()
        make_logo()
        make_close_buttons()
        make_desktop_tiles()
        make_phone_jump_tiles()
        make_phone_tiles()
        make_progress_bar()
        make_footer_icons()
    SCALE = 100
    make_icon()
    optimise(sorted(os.path.join(SKIN_DIR, n) for n in os.listdir(SKIN_DIR) if n.endswith(".png")))
    if options.preview:
        make_preview(options.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
