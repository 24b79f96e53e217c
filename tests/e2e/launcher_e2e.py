#!/usr/bin/env python3
"""The launcher as a user meets it: the real program under Xvfb in a Wine
prefix of its own (X11 driver), clicked with xdotool and seen through
screenshots, downloading from the demo redirect server through the prefix's
WinINet proxy.

Sections: tools (processes, X, screenshots, images), the fixture (display,
prefix, server, browser stand-in), the cases, main.

What a case sees of a tile is classified: the screen area is compared with
each image the tile may show (magenta made the colour behind it), and the
closest one names the state. Waiting for something to appear polls the
screen until a generous limit; no case asserts how long anything took.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

# --- Tools -------------------------------------------------------------------------

ARGS = None
ENV = None
SKIN = None
LIMIT = 60.0   # seconds before a wait gives up (a stall, not a speed check)

# Window-relative places of the skin's controls: the row offset (header 0,
# body 50, footer 305) plus the control's own offset.
CLOSE = (500, 5, 30, 30)
COMPUTER_TILE = (68, 70, 400, 90)
COMPUTER_BAR = (292, 90, 80, 8)
PHONE_JUMP = (68, 200, 400, 90)
IPHONE_TILE = (92, 125, 158, 178)
ANDROID_TILE = (290, 125, 158, 178)
IPHONE_BAR = (130, 250, 80, 8)
CHOOSE_TEXT = (122, 90, 300, 30)
QQ = (138, 323, 100, 20)
TEL = (268, 323, 100, 20)
RETURN = (450, 320, 60, 30)

WHITE = "#FFFFFF"
BAR_FORE = (0x2D, 0x8C, 0xF0)   # install_f.png
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCT_KEYS = {"desktop": "Zavodidere", "iphone": "Ravivarovo", "android": "Vavarived"}


def centre(area):
    x, y, w, h = area
    return x + w // 2, y + h // 2


def run(args, check=True, **kw):
    return subprocess.run(args, env=ENV, check=check, capture_output=True, text=True, **kw)


def winerun(*args, timeout=120):
    """Runs a program in the prefix. Its output goes through a file: Wine's
    background services, started by the first program, inherit the output
    and would keep a pipe open long after the program ended."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.run([os.path.join(ARGS.source, "cmake", "winerun"), "--prefix", PREFIX,
                               "--arch", ARGS.arch, "--display", "--timeout", str(timeout)]
                              + list(args), env=ENV, stdin=subprocess.DEVNULL, stdout=out,
                              stderr=subprocess.STDOUT).returncode
        out.seek(0)
        return subprocess.CompletedProcess(args, code, out.read().decode("utf-8", "replace"), "")


def wine_reg(*args):
    return winerun("reg", *args)


def wait_until(what, probe, limit=LIMIT):
    """Polls probe() until it gives a true value, which is returned."""
    end = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("not seen within %d s: %s" % (limit, what))
        time.sleep(0.2)


def xdo(*args):
    return run(["xdotool"] + [str(a) for a in args], check=False).stdout


def windows_named(title):
    out = xdo("search", "--onlyvisible", "--name", "^%s$" % title)
    return [w for w in out.split()]


def geometry(window):
    """(x, y, width, height) of an X window on the screen."""
    info = run(["xwininfo", "-id", window], check=False).stdout
    values = {}
    for line in info.splitlines():
        line = line.strip()
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            if line.startswith(key + ":"):
                values[key] = int(line.split(":")[1])
    if len(values) < 4:
        return None   # the window is gone
    return (values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"],
            values["Height"])


def program_windows(exe):
    """Geometry strings (WxH+X+Y) of the mapped top-level windows of exe."""
    tree = run(["xwininfo", "-root", "-children"]).stdout
    found = []
    for line in tree.splitlines():
        if '("%s"' % exe in line:
            parts = line.split()
            for p in parts:
                if "x" in p and "+" in p and p[0].isdigit():
                    found.append((parts[0], p))
                    break
    return found


class Shot:
    """One screenshot of the whole screen as raw RGB."""

    def __init__(self, save_as=None):
        self.w, self.h = SCREEN
        self.rgb = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=ENV,
                                  check=True, capture_output=True).stdout
        if save_as:
            self.save(save_as)

    def pixel(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.rgb[i:i + 3])

    def region(self, x, y, w, h):
        rows = []
        for yy in range(y, y + h):
            i = (yy * self.w + x) * 3
            rows.append(self.rgb[i:i + w * 3])
        return b"".join(rows)

    def save(self, name, crop=None):
        os.makedirs(ARGS.shots, exist_ok=True)
        path = os.path.join(ARGS.shots, name)
        args = ["convert", "-size", "%dx%d" % (self.w, self.h), "-depth", "8", "rgb:-"]
        if crop:
            args += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        subprocess.run(args + [path], input=self.rgb, check=True, env=ENV)
        return path


_refs = {}


def reference(name, behind):
    """A skin image as raw RGB, its magenta (masked) pixels made `behind`."""
    key = (name, behind)
    if key not in _refs:
        _refs[key] = subprocess.run(
            ["convert", os.path.join(SKIN, name), "-fill", behind, "-opaque", "#FF00FF",
             "-background", behind, "-flatten", "-alpha", "off", "-depth", "8", "rgb:-"],
            check=True, capture_output=True).stdout
    return _refs[key]


def distance(a, b):
    """Share of pixels whose channels differ by more than 40."""
    n = min(len(a), len(b)) // 3
    differ = 0
    for i in range(0, n * 3, 3):
        if (abs(a[i] - b[i]) > 40 or abs(a[i + 1] - b[i + 1]) > 40
                or abs(a[i + 2] - b[i + 2]) > 40):
            differ += 1
    return differ / float(n)


def count_colour(data, colour, tolerance=40):
    return sum(1 for i in range(0, len(data), 3)
               if all(abs(data[i + k] - colour[k]) <= tolerance for k in range(3)))


# --- The launcher window -------------------------------------------------------------


class Launcher:
    def __init__(self, exe):
        self.proc = subprocess.Popen(
            [os.path.join(ARGS.source, "cmake", "winerun"), "--prefix", PREFIX, "--arch", ARGS.arch,
             "--display", "--timeout", "400", exe],
            env=ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)

    def wait_window(self, title="Vozeror"):
        """The launcher's painted 536x355 window. Turning layered gives the
        window a new X window, so the search is repeated until it is painted."""
        def find():
            for w in windows_named(title):
                g = geometry(w)
                if g and g[2:] == (536, 355):
                    self.window = w
                    return self.painted()
            return False
        wait_until("a painted 536x355 window titled %r" % title, find)
        return self.window

    def geometry(self):
        """The window's geometry; when its X window has been replaced (as
        turning layered does), the new one of the same title and size."""
        g = geometry(self.window)
        if g is None:
            for w in windows_named("Vozeror"):
                g = geometry(w)
                if g and g[2:] == (536, 355):
                    self.window = w
                    return g
        return g

    def origin(self):
        g = self.geometry()
        return g and (g[0], g[1])

    def painted(self):
        if not self.origin():
            return False
        x, y = self.origin()
        # The header's white band is there once the skin is drawn.
        return Shot().pixel(x + 250, y + 25) == (255, 255, 255)

    def area(self, area, shot=None):
        shot = shot or Shot()
        x, y = self.origin()
        return shot.region(x + area[0], y + area[1], area[2], area[3])

    def classify(self, area, candidates, behind=WHITE, shot=None):
        """The candidate image closest to what the area shows, and its distance."""
        seen = self.area(area, shot)
        scored = sorted((distance(seen, reference(c, behind)), c) for c in candidates)
        return scored[0][1], scored[0][0]

    def shows(self, area, expected, candidates, behind=WHITE):
        def probe():
            name, dist = self.classify(area, candidates, behind)
            return name == expected and dist < 0.08
        return probe

    def move_to(self, x, y):
        ox, oy = self.origin()
        xdo("mousemove", ox + x, oy + y)
        time.sleep(0.3)   # lets the window see the motion before a button

    def click(self, x, y):
        self.move_to(x, y)
        xdo("click", 1)
        time.sleep(0.2)

    def away(self):
        """Leaves every control: first over the body's margin (a client
        point that no button covers), then out of the window. Under Wine
        here a pointer that jumps straight out of the window brings no
        WM_MOUSELEAVE, and the control last entered would stay hot."""
        origin = self.origin()
        if origin:
            xdo("mousemove", origin[0] + 20, origin[1] + 200)
            time.sleep(0.3)
        xdo("mousemove", 5, 795)
        time.sleep(0.3)

    def bar_width(self, area):
        return count_colour(self.area(area), BAR_FORE) // area[3]

    def exit_code(self):
        return self.proc.wait(timeout=LIMIT)


INSTALL_TILES = ["computer_un_1.png", "computer_un_2.png", "computer_un_3.png",
                 "computer_run_1.png", "computer_run_2.png", "computer_run_3.png",
                 "computer_run_dis.png"]
IPHONE_TILES = ["iphone_1.png", "iphone_2.png", "iphone_3.png", "iphone_run_1.png",
                "iphone_run_2.png", "iphone_run_3.png"]
ANDROID_TILES = ["android_1.png", "android_2.png", "android_3.png", "android_run_1.png",
                 "android_run_2.png", "android_run_3.png"]
CLOSE_IMAGES = ["btn_close_1.png", "btn_close_2.png", "btn_close_3.png"]


# --- Cases ---------------------------------------------------------------------------


def case_start_view(app):
    x, y, w, h = app.geometry()
    assert (w, h) == (536, 355), "window size %dx%d" % (w, h)
    sw, sh = SCREEN
    # Centred on the work area (the whole screen here), halves truncated.
    assert (x, y) == (sw // 2 - w // 2, sh // 2 - h // 2), "window at %d,%d" % (x, y)
    hints = run(["xprop", "-id", app.window, "_MOTIF_WM_HINTS"]).stdout
    fields = [f.strip() for f in hints.split("=")[1].split(",")]
    assert int(fields[2], 16) == 0, "the window asks for decorations: " + hints
    shadows = [g for _, g in program_windows("vozeror.exe") if g.startswith("542x361")]
    assert shadows == ["542x361+%d+%d" % (x - 2, y - 2)], "shadow windows %r" % shadows

    shot = Shot("start_full.png")
    # Corners: the pixel at each corner is (nearly) transparent, i.e. dark on
    # the black root; a few pixels inside, the window is opaque and light.
    for cx, cy, ix, iy in ((0, 0, 4, 4), (535, 0, 531, 4), (0, 354, 4, 350),
                           (535, 354, 531, 350)):
        corner = shot.pixel(x + cx, y + cy)
        inside = shot.pixel(x + ix, y + iy)
        assert max(corner) < 0x30, "corner %d,%d is %r" % (cx, cy, corner)
        assert min(inside) > 0xC0, "inside %d,%d is %r" % (ix, iy, inside)

    tiles = [(COMPUTER_TILE, "computer_un_1.png", INSTALL_TILES),
             (PHONE_JUMP, "phone_jump_1.png", ["phone_jump_1.png", "phone_jump_2.png",
                                               "phone_jump_3.png"]),
             (CLOSE, "btn_close_1.png", CLOSE_IMAGES)]
    for area, expected, candidates in tiles:
        name, dist = app.classify(area, candidates, shot=shot)
        assert name == expected and dist < 0.08, "%r shows %s (%.3f)" % (area, name, dist)

    # The close button: hot under the mouse, pushed while pressed; released
    # elsewhere it does not close.
    steps = [("hover", "btn_close_2.png"), ("press", "btn_close_3.png"),
             ("leave pressed", "btn_close_1.png")]
    for step, expected in steps:
        if step == "hover":
            app.move_to(*centre(CLOSE))
        elif step == "press":
            xdo("mousedown", 1)
        else:
            app.away()
            xdo("mouseup", 1)
        wait_until("close button %s: %s" % (step, expected), app.shows(CLOSE, expected, CLOSE_IMAGES))
        if step == "hover":
            Shot().save("close_hot.png", crop=(x + 470, y, 66, 40))
    assert windows_named("Vozeror"), "pressing the close button and leaving it closed the window"
    Shot().save("start_view.png", crop=(x - 3, y - 3, 542, 361))


def case_second_start(app):
    second = Launcher(ARGS.launcher)
    code = second.exit_code()
    assert code == 0, "second start exit code %d" % code
    assert len(windows_named("Vozeror")) == 1, "a second window appeared"


def case_drag(app):
    # Press, move by (40, 30), release: only the logo, the title text and the
    # rest of the caption strip (y < 30, x < 436) drag the window.
    table = [("title text", (60, 20), True),
             ("logo", (20, 20), True),
             ("caption strip", (300, 12), True),
             ("close button", centre(CLOSE), False),
             ("header below the caption", (300, 40), False),
             ("caption strip right of its end", (450, 20), False),
             ("body", (20, 200), False)]
    for what, (px, py), moves in table:
        before = app.origin()
        app.move_to(px, py)
        xdo("mousedown", 1)
        time.sleep(0.3)
        for i in range(1, 5):
            xdo("mousemove", before[0] + px + 10 * i, before[1] + py + 7 * i + (1 if i == 4 else 0))
            time.sleep(0.15)
        xdo("mouseup", 1)
        time.sleep(0.3)
        if moves:
            after = wait_until("the window moved by pressing on the " + what,
                               lambda: app.origin() != before and app.origin())
            assert after == (before[0] + 40, before[1] + 29), \
                "%s: moved from %r to %r" % (what, before, after)
        else:
            time.sleep(0.5)
            assert app.origin() == before, "%s moved the window to %r" % (what, app.origin())
        assert windows_named("Vozeror"), "pressing on the %s closed the window" % what
    app.away()


def case_phone_page(app):
    app.click(*centre(PHONE_JUMP))
    page = [(IPHONE_TILE, "iphone_2.png", IPHONE_TILES),  # the mouse is over it after the jump
            (ANDROID_TILE, "android_1.png", ANDROID_TILES)]
    app.away()
    page[0] = (IPHONE_TILE, "iphone_1.png", IPHONE_TILES)
    for area, expected, candidates in page:
        wait_until("phone page tile " + expected, app.shows(area, expected, candidates))
    shot = Shot()
    # The white panel covers the desktop tiles; the title text and the back
    # link are drawn on it.
    x, y = app.origin()
    panel = shot.region(x + 40, y + 80, 40, 30)
    assert count_colour(panel, (255, 255, 255), 4) == 40 * 30, "the white panel is missing"
    assert count_colour(app.area(CHOOSE_TEXT, shot), (0x80, 0x80, 0x80), 60) > 40, \
        "no title text on the phone page"
    assert count_colour(app.area(RETURN, shot), (0x00, 0xC0, 0xFF), 60) > 20, "no back link"
    assert count_colour(app.area(COMPUTER_TILE, shot), (0x2D, 0x8C, 0xF0), 30) < 10, \
        "a desktop tile shows through the panel"
    Shot().save("phone_page.png", crop=(x - 3, y - 3, 542, 361))

    app.click(*centre(RETURN))
    app.away()
    wait_until("the desktop tile after the back link",
               app.shows(COMPUTER_TILE, "computer_un_1.png", INSTALL_TILES))
    wait_until("the phone tile after the back link",
               app.shows(PHONE_JUMP, "phone_jump_1.png",
                         ["phone_jump_1.png", "phone_jump_2.png", "phone_jump_3.png"]))


def case_service_links(app):
    if os.path.exists(BROWSER_LOG):
        os.remove(BROWSER_LOG)
    for link in (QQ, TEL):
        app.click(*centre(link))
    lines = wait_until("two browser starts", lambda: (
        os.path.exists(BROWSER_LOG)
        and len(open(BROWSER_LOG, encoding="utf-8").read().splitlines()) >= 2
        and open(BROWSER_LOG, encoding="utf-8").read().splitlines()))
    expected = [" http://wpa.qq.com/page/portalpage/wpa.php?uin=4000012345&aty=0&a=0&curl=&ty=1",
                " http://redirect.vozeror.com/redirect/ver1/vuvudavu/contact/"
                "{version}/{setupname}/{machineid}"]
    for line, address in zip(lines, expected):
        assert "iexplore_recorder" in line and line.endswith(address), "browser started as %r" % line
    app.away()


def install_and_run(app, tile, bar, tiles, disabled_image, run_image, hot_image,
                    product_title, shot_name=None):
    app.click(*centre(tile))
    app.away()
    # The install tile gives way to the disabled run tile with the bar in front.
    wait_until("the disabled run tile", app.shows(tile, disabled_image, tiles))
    first = wait_until("the bar", lambda: app.bar_width(bar))
    if shot_name:
        x, y = app.origin()
        Shot().save(shot_name, crop=(x - 3, y - 3, 542, 361))
    wait_until("the bar growing past %d" % first, lambda: app.bar_width(bar) > first)
    # Once the setup has exited: the bar hidden, the run tile enabled.
    wait_until("the run tile without the bar", lambda: app.shows(tile, run_image, tiles)()
               and app.bar_width(bar) == 0, limit=90)
    # Enabled shows in its hot image under the mouse (a phone run tile
    # looks the same disabled, having no image of its own for that).
    # The mouse enters afresh each time: a button entered while disabled
    # does not turn hot later.
    def hot():
        app.away()
        app.move_to(*centre(tile))
        return app.shows(tile, hot_image, tiles)()
    wait_until("the enabled run tile, hot under the mouse", hot, limit=90)
    xdo("click", 1)
    product = wait_until("the product window %r" % product_title,
                         lambda: windows_named(product_title))
    xdo("windowactivate", product[0])
    gx, gy, gw, gh = geometry(product[0])
    xdo("mousemove", gx + gw // 2, gy + gh // 2, "click", 1)   # the demo product closes on a click
    wait_until("the product window closed", lambda: not windows_named(product_title))
    app.away()


def case_desktop_install(app):
    install_and_run(app, COMPUTER_TILE, COMPUTER_BAR, INSTALL_TILES, "computer_run_dis.png",
                    "computer_run_1.png", "computer_run_2.png", "Demo disk recovery",
                    shot_name="mid_download.png")


def case_iphone_install_then_uninstalled(app):
    app.click(*centre(PHONE_JUMP))
    app.away()
    wait_until("the iPhone install tile", app.shows(IPHONE_TILE, "iphone_1.png", IPHONE_TILES))
    # iphone_run has no disabled image: while downloading it shows its normal one.
    install_and_run(app, IPHONE_TILE, IPHONE_BAR, IPHONE_TILES, "iphone_run_1.png",
                    "iphone_run_1.png", "iphone_run_2.png", "Demo iPhone recovery")
    # Uninstalled meanwhile: the run click finds no key and shows the install tile.
    result = wine_reg("delete", UNINSTALL + "\\" + PRODUCT_KEYS["iphone"], "/f")
    assert result.returncode == 0, result.stdout + result.stderr
    app.click(*centre(IPHONE_TILE))
    app.away()
    wait_until("the iPhone install tile again", app.shows(IPHONE_TILE, "iphone_1.png", IPHONE_TILES))
    assert not windows_named("Demo iPhone recovery"), "the uninstalled product was started"
    app.click(*centre(RETURN))
    app.away()


# The demo server's own address, for its fault and request paths.
DEMO = {}


def demo(path):
    """A request to the demo server itself, not through the prefix's proxy."""
    import urllib.request
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    with opener.open("http://127.0.0.1:%d%s" % (DEMO["port"], path), timeout=10) as reply:
        return reply.read().decode()


def install_phone_product_despite(app, faults, tile, bar, tiles, images, title):
    """Installs a phone product while the demo server applies faults to its
    download; returns the download requests the server saw."""
    before = len(demo("/demo/requests").splitlines())
    for fault in faults:
        demo("/demo/faults?add=" + fault)
    app.click(*centre(PHONE_JUMP))
    app.away()
    time.sleep(0.5)
    if not app.shows(tile, images[0], tiles)():
        # The run tile of a product uninstalled meanwhile: its click finds
        # no key and shows the install tile.
        app.click(*centre(tile))
        app.away()
    wait_until("the install tile", app.shows(tile, images[0], tiles))
    install_and_run(app, tile, bar, tiles, images[1], images[1], images[2], title)
    app.click(*centre(RETURN))
    app.away()
    return demo("/demo/requests").splitlines()[before:]


def case_download_resumes_after_a_drop(app):
    # The connection drops at half of the setup; the worker asks for the
    # rest and the install completes from the tile.
    requests = install_phone_product_despite(
        app, ["drop-half"], IPHONE_TILE, IPHONE_BAR, IPHONE_TILES,
        ["iphone_1.png", "iphone_run_1.png", "iphone_run_2.png"], "Demo iPhone recovery")
    assert len(requests) == 2, requests
    assert requests[0] == "200 " and requests[1].startswith("206 bytes="), requests


def case_download_retries_a_busy_server(app):
    # Two answers of 503 ("Retry-After: 1"), then the setup.
    requests = install_phone_product_despite(
        app, ["busy", "busy"], ANDROID_TILE, (328, 250, 80, 8), ANDROID_TILES,
        ["android_1.png", "android_run_1.png", "android_run_2.png"], "Demo Android recovery")
    assert [line[:3] for line in requests] == ["503", "503", "200"], requests


def case_close_button(app):
    app.click(*centre(CLOSE))
    code = app.exit_code()
    assert code == 0, "exit code %d after the close button" % code
    wait_until("no launcher window", lambda: not windows_named("Vozeror"))


CUE = (0x1D, 0x6F, 0xC4)   # the skin's focuscuecolor


def key(app, *keys):
    """Keys through the X server's input queue to the launcher's window, which
    is given the input focus first (there is no window manager to give it)."""
    app.geometry()
    xdo("windowfocus", "--sync", app.window)
    time.sleep(0.2)
    for k in keys:
        xdo("key", k)
        time.sleep(0.3)


def cue_around(app, area):
    """Whether the focus cue frames the area: its colour just outside the
    area's left and right edges, at mid-height."""
    shot = Shot()
    x, y = app.origin()
    mid = y + area[1] + area[3] // 2
    return all(all(abs(a - b) <= 40 for a, b in zip(shot.pixel(px, mid), CUE))
               for px in (x + area[0] - 3, x + area[0] + area[2] + 2))


def case_keyboard(_):
    """A fresh start driven by keys alone: Return right after start installs
    the desktop product from its focused tile (and does not quit), the
    product runs from its tile, Tab and Return open the phone page and
    install the iPhone product, and Alt+F4 closes the window."""
    for product in PRODUCT_KEYS.values():
        wine_reg("delete", UNINSTALL + "\\" + product, "/f")
    app = Launcher(ARGS.launcher)
    app.wait_window()
    try:
        keyboard_session(app)
    finally:
        for w in windows_named("Vozeror"):
            xdo("windowclose", w)


def keyboard_session(app):
    app.away()
    assert not cue_around(app, COMPUTER_TILE), "a focus cue before any key"
    key(app, "Return")
    wait_until("the disabled run tile", app.shows(COMPUTER_TILE, "computer_run_dis.png", INSTALL_TILES))
    assert windows_named("Vozeror"), "Return right after start closed the window"
    # The focus went on to the phone tile, and the cue shows it now.
    wait_until("the cue around the phone tile", lambda: cue_around(app, PHONE_JUMP))
    x, y = app.origin()
    Shot().save("focus_cue.png", crop=(x - 3, y - 3, 542, 361))
    wait_until("the enabled run tile", app.shows(COMPUTER_TILE, "computer_run_1.png", INSTALL_TILES),
               limit=90)
    key(app, "shift+Tab")
    wait_until("the cue around the run tile", lambda: cue_around(app, COMPUTER_TILE))
    key(app, "Return")
    product = wait_until("the desktop product's window", lambda: windows_named("Demo disk recovery"))
    gx, gy, gw, gh = geometry(product[0])
    xdo("mousemove", gx + gw // 2, gy + gh // 2, "click", 1)
    wait_until("the product window closed", lambda: not windows_named("Demo disk recovery"))
    # The product's window took the activation with it; without a window
    # manager to hand it back, a click on the launcher's title (which only
    # activates: no control takes the focus there) does.
    app.click(60, 20)
    app.away()

    key(app, "Tab", "Return")
    wait_until("the phone page", app.shows(IPHONE_TILE, "iphone_1.png", IPHONE_TILES))
    wait_until("the cue around the iPhone tile", lambda: cue_around(app, IPHONE_TILE))
    key(app, "Return")
    wait_until("the iPhone bar", lambda: app.bar_width(IPHONE_BAR))
    wait_until("the iPhone setup done", lambda: app.shows(IPHONE_TILE, "iphone_run_1.png", IPHONE_TILES)()
               and app.bar_width(IPHONE_BAR) == 0, limit=90)

    key(app, "alt+F4")
    code = app.exit_code()
    assert code == 0, "exit code %d after Alt+F4" % code
    wait_until("no launcher window", lambda: not windows_named("Vozeror"))


def case_load_failure(_):
    broken = Launcher(ARGS.noskin)
    box = wait_until("the load-failure box", lambda: windows_named("SkinUI"))[0]
    assert not windows_named("Vozeror"), "a main window exists without a skin"
    x, y, w, h = wait_until("the box's geometry", lambda: geometry(box))
    Shot().save("load_failure.png", crop=(x, y, w, h))
    xdo("windowactivate", box)
    xdo("windowfocus", box)   # no window manager: the input focus is set directly
    time.sleep(0.3)
    xdo("key", "--window", box, "Return")
    code = broken.exit_code()
    assert code == 1, "exit code %d after the load failure" % code


# --- Display scales ---------------------------------------------------------------------

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


def set_logpixels(dpi):
    """The prefix's display DPI (Wine's LogPixels), read by every program
    started afterwards."""
    wine_reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")


class ScaledLauncher(Launcher):
    """The launcher at a display scale: places and sizes are the skin's
    multiplied by the scale, and the skin's art for that scale is the
    picture a tile is compared with."""

    def __init__(self, exe, scale):
        self.scale = scale
        self.size = (self.px(536), self.px(355))
        Launcher.__init__(self, exe)

    def px(self, n):
        return int(n * self.scale / 100.0 + 0.5)   # as the engine rounds

    def scaled(self, area):
        return tuple(self.px(v) for v in area)

    def art(self, name):
        stem, ext = os.path.splitext(name)
        return "%s@%d%s" % (stem, self.scale, ext)

    def find(self):
        for w in windows_named("Vozeror"):
            g = geometry(w)
            if g and g[2:] == self.size:
                self.window = w
                return g
        return None

    def wait_window(self, title="Vozeror"):
        wait_until("a painted %dx%d window" % self.size, lambda: self.find() and self.painted())
        return self.window

    def geometry(self):
        return geometry(self.window) or self.find()


def close_share(a, b, tolerance=8):
    """Share of pixels whose channels all lie within the tolerance."""
    n = min(len(a), len(b)) // 3
    same = sum(1 for i in range(0, n * 3, 3)
               if all(abs(a[i + k] - b[i + k]) <= tolerance for k in range(3)))
    return same / float(n)


def scaled_session(dpi, scale):
    """The launcher on a display of the DPI: the window has the 100 % size
    scaled, is drawn with the art made for the scale (closer to it than to
    the 100 % art enlarged), drags by its title, and a click on the phone
    tile opens the phone page."""
    if windows_named("Vozeror"):   # one instance only: an earlier case left one
        subprocess.run(["wineserver", "-k"], env=dict(ENV, WINEPREFIX=PREFIX), check=False)
    set_logpixels(dpi)
    app = ScaledLauncher(ARGS.launcher, scale)
    try:
        app.wait_window()
        x, y, w, h = app.geometry()
        sw, sh = SCREEN
        assert (x, y) == (sw // 2 - w // 2, sh // 2 - h // 2), "window at %d,%d" % (x, y)
        shadow = "%dx%d" % (w + 2 * app.px(3), h + 2 * app.px(3))
        shadows = [g for _, g in program_windows("vozeror.exe") if g.startswith(shadow + "+")]
        assert shadows, "no %s shadow in %r" % (shadow, program_windows("vozeror.exe"))
        shot = Shot()
        Shot().save("dpi_%d.png" % scale, crop=(x - app.px(3), y - app.px(3), w + 2 * app.px(3),
                                                 h + 2 * app.px(3)))
        # The desktop tile is an install or a run tile, after the cases before.
        for area, images in ((COMPUTER_TILE, ("computer_un_1.png", "computer_run_1.png")),
                             (PHONE_JUMP, ("phone_jump_1.png",))):
            seen = app.area(app.scaled(area), shot)
            own, image = max((close_share(seen, reference(app.art(i), WHITE)), i) for i in images)
            assert own > 0.98, "%s: %.3f of the pixels are the %d %% art's" % (image, own, scale)

        # Dragging by the title text moves the window by the mouse's way.
        before = app.origin()
        px, py = app.px(60), app.px(20)
        app.move_to(px, py)
        xdo("mousedown", 1)
        time.sleep(0.3)
        for i in range(1, 5):
            xdo("mousemove", before[0] + px + 10 * i, before[1] + py + 7 * i + (1 if i == 4 else 0))
            time.sleep(0.15)
        xdo("mouseup", 1)
        after = wait_until("the window moved by its title", lambda: app.origin() != before and app.origin())
        assert after == (before[0] + 40, before[1] + 29), "moved from %r to %r" % (before, after)

        app.click(*centre(app.scaled(PHONE_JUMP)))
        app.away()
        # An install or a run tile, after the cases before.
        normal = (app.art("iphone_1.png"), app.art("iphone_run_1.png"))

        def phone_page():
            name, dist = app.classify(app.scaled(IPHONE_TILE), [app.art(n) for n in IPHONE_TILES])
            return name in normal and dist < 0.08
        wait_until("the phone page's iPhone tile in the %d %% art" % scale, phone_page)
        app.click(*centre(app.scaled(CLOSE)))
        code = app.exit_code()
        assert code == 0, "exit code %d after the close button" % code
    finally:
        # A launcher left running would keep the next one from starting.
        if app.proc.poll() is None:
            subprocess.run(["wineserver", "-k"], env=dict(ENV, WINEPREFIX=PREFIX), check=False)
            app.proc.wait(timeout=LIMIT)
        set_logpixels(96)


def case_display_150(_):
    scaled_session(144, 150)


def case_display_200(_):
    scaled_session(192, 200)


# --- Fixture ------------------------------------------------------------------------------


def start_display():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def prepare_prefix(port):
    winerun("cmd", "/c", "exit", timeout=300)
    settings = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
    wine_reg("add", settings, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f")
    wine_reg("add", settings, "/v", "ProxyServer", "/t", "REG_SZ", "/d", "127.0.0.1:%d" % port, "/f")
    # The engine's default font is the system's GUI font, "MS Shell Dlg":
    # here, as on a Chinese system, it stands for a face with the CJK texts.
    # (Linking Tahoma to that face instead leaves the labels without text.)
    link = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink"
    for face in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2"):
        wine_reg("delete", link, "/v", face, "/f")
    substitutes = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes"
    for face in ("MS Shell Dlg", "MS Shell Dlg 2"):
        wine_reg("add", substitutes, "/v", face, "/t", "REG_SZ", "/d", "WenQuanYi Micro Hei", "/f")
    # 96 DPI, also after a run that was stopped at another scale.
    wine_reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
    # No demo product installed from an earlier run.
    for key in PRODUCT_KEYS.values():
        wine_reg("delete", UNINSTALL + "\\" + key, "/f")
    shutil.rmtree(os.path.join(PREFIX, "drive_c", "Program Files", "Vozeror Demo"), ignore_errors=True)
    # The browser stand-in answers for "iexplore.exe": Wine's own browser in
    # the system folder would be found first, so this prefix goes without it.
    for sysdir in ("system32", "syswow64"):
        builtin = os.path.join(PREFIX, "drive_c", "windows", sysdir, "iexplore.exe")
        if os.path.exists(builtin):
            os.remove(builtin)
    app_path = r"HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\iexplore.exe"
    wine_reg("add", app_path, "/ve", "/d", "Z:" + ARGS.browser.replace("/", "\\"), "/f")


CASES = [case_start_view, case_second_start, case_drag, case_phone_page, case_service_links,
         case_desktop_install, case_iphone_install_then_uninstalled, case_close_button,
         case_keyboard, case_load_failure]
# Last: they change the prefix's display DPI, and set it back to 96.
CASES += [case_display_150, case_display_200]

# Downloads against a faulty server, after the iPhone product was uninstalled.
CASES[CASES.index(case_close_button):CASES.index(case_close_button)] = [
    case_download_resumes_after_a_drop, case_download_retries_a_busy_server]

SCREEN = (1280, 800)


def main():
    global ARGS, ENV, SKIN, PREFIX, BROWSER_LOG
    ap = argparse.ArgumentParser()
    for option in ("source", "build", "launcher", "noskin", "demo-setup", "browser", "shots"):
        ap.add_argument("--" + option, required=True)
    ap.add_argument("--arch", default="win32", choices=("win32", "win64"),
                    help="the prefix kind: win32 for the x86 build, win64 for the x64 build")
    ap.add_argument("--only", help="comma-separated case names (the start view always runs)")
    ARGS = ap.parse_args()
    global UNINSTALL
    if ARGS.arch == "win64":
        # The demo setup stands in for a 32-bit setup, whose keys a 64-bit
        # reg.exe sees under Wow6432Node.
        UNINSTALL = r"HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall"
    SKIN = os.path.join(ARGS.source, "resources", "skin")
    PREFIX = os.path.join(ARGS.build, "wine", "e2e")
    shutil.rmtree(ARGS.shots, ignore_errors=True)   # no pictures of an earlier run
    work = tempfile.mkdtemp(prefix="vozeror_e2e_")
    BROWSER_LOG = os.path.join(work, "browser.log")

    xvfb, display = start_display()
    ENV = dict(os.environ, DISPLAY=display, IEXPLORE_RECORDER_LOG="Z:" + BROWSER_LOG.replace("/", "\\"))
    ENV.pop("XAUTHORITY", None)
    portfile = os.path.join(work, "port")
    server = subprocess.Popen([sys.executable, os.path.join(ARGS.source, "scripts", "demo_server.py"),
                               ARGS.demo_setup, "--rate", "60000", "--port-file", portfile],
                              stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "server.log"), "w"))
    failures = 0
    started = time.monotonic()
    try:
        port = int(wait_until("the demo server", lambda: os.path.exists(portfile)
                              and open(portfile).read().strip()))
        prepare_prefix(port)
        DEMO["port"] = port
        app = Launcher(ARGS.launcher)
        try:
            app.wait_window()
        except AssertionError:
            Shot("failure_start.png")
            print("windows:", [(w, geometry(w)) for w in windows_named("Vozeror")],
                  "chosen:", getattr(app, "window", None))
            raise
        cases = CASES
        if ARGS.only:
            wanted = ARGS.only.split(",")
            cases = [c for c in CASES if c.__name__ == "case_start_view" or c.__name__[5:] in wanted]
        for case in cases:
            t0 = time.monotonic()
            try:
                case(app)
                print("PASS %s (%.1f s)" % (case.__name__[5:], time.monotonic() - t0), flush=True)
            except Exception:
                failures += 1
                print("FAIL %s" % case.__name__[5:], flush=True)
                traceback.print_exc()
                Shot("failure_%s.png" % case.__name__[5:])
                if not windows_named("Vozeror") and case not in (case_close_button, case_keyboard,
                                                                 case_load_failure, case_display_150,
                                                                 case_display_200):
                    break
        print("%d of %d cases failed; %.1f s in all" % (failures, len(cases),
                                                         time.monotonic() - started))
    finally:
        for w in windows_named("Vozeror"):
            xdo("windowclose", w)
        subprocess.run(["wineserver", "-k"], env=dict(ENV, WINEPREFIX=PREFIX), check=False)
        server.terminate()
        xvfb.terminate()
        server.wait()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
