#!/usr/bin/python3
"""The Wayland journey: the virtual program in a headless sway session, as
a user of a Wayland desktop meets it. One start, many checks: the start-up
logo then the window, pixels at known places, a title-area drag that moves
the window, a macro recorded from keys typed into the focused window that
reaches the mouse's macro slot, the mouse's DPI button as a desktop
notification with the stage turning orange, close and the tray's Activate,
and a second start that hands over to the first.

    journey.py --program PATH --logo PATH

Exits 77 (skipped, with the reason printed) when sway or its tools are not
installed. sway refuses to run as root, so as root the session runs as an
unprivileged system user, created when missing.
"""
import argparse
import glob
import json
import os
import pwd
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
STUBS = os.path.join(HERE, "..", "support", "session_bus_stubs.py")
sys.path.insert(0, HERE)
from virtual_pointer import VirtualPointer  # noqa: E402

SKIP = 77
USER = "skarn-test"
APP_ID = "skarn-mouse-virtual"
WIN = (100, 80)  # where the window is put on the 1280 x 800 output

# Window-relative places (1024 x 640 window, 8-button gun mouse).
TITLE_AREA = (600, 30)
MACRO_EDITOR_ROW = (140, 402)
EDITOR = (192, 96)
NEW = (EDITOR[0] + 48, EDITOR[1] + 429)
RECORD = (EDITOR[0] + 250, NEW[1])
EDITOR_CLOSE = (EDITOR[0] + 616, EDITOR[1] + 20)
BUTTON = 3  # the fourth button: not the last left click
BUTTON_ROW = (140, 88 + 40 + BUTTON * 26 + 12)
ASSIGN = ((1024 - 416) // 2, (640 - 404) // 2)
HANDLE = (ASSIGN[0] + 408, ASSIGN[1] + 142)
HANDLE_DRAG = 77
MACRO_LIST = (ASSIGN[0] + 98, int(ASSIGN[1] + 41 + 410 - HANDLE_DRAG * 830 / 212 + 12))
ASSIGN_CLOSE = (ASSIGN[0] + 392, ASSIGN[1] + 20)
SAVE = (968, 620)
CLOSE = (992, 24)
DPI_COLUMNS = [826, 865, 904, 943]  # the DPI panel's stage sliders


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, timeout, step=0.1):
    deadline = time.monotonic() + timeout
    while True:
        value = what()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


class Session:
    def __init__(self, args):
        self.procs = []
        self.base = tempfile.mkdtemp(prefix="skarn-wayland-")
        os.chmod(self.base, 0o755)
        self.run_dir = os.path.join(self.base, "run")
        os.mkdir(self.run_dir, 0o700)
        if os.geteuid() == 0:
            if subprocess.run(["getent", "passwd", USER], capture_output=True).returncode:
                subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                                "/usr/sbin/nologin", USER], check=True)
            entry = pwd.getpwnam(USER)
            self.uid, self.gid = entry.pw_uid, entry.pw_gid
            self.as_user = ["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.gid,
                            "--clear-groups"]
        else:
            self.uid, self.gid, self.as_user = os.getuid(), os.getgid(), []
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.base, "LANG": "C.UTF-8",
                    "XDG_RUNTIME_DIR": self.run_dir,
                    "XDG_CONFIG_HOME": os.path.join(self.base, "config"),
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.run_dir, "bus")}
        self.app = os.path.join(self.base, "app")
        self.program = os.path.join(self.app, os.path.basename(args.program))
        shutil.copytree(os.path.join(os.path.dirname(args.program), "modules"),
                        os.path.join(self.app, "modules"))
        shutil.copy2(args.program, self.program)
        # The user may not reach into the source tree (a root-only clone).
        self.stubs_script = shutil.copy(STUBS, self.base)
        self.pipe = os.path.join(self.base, "control")
        os.mkfifo(self.pipe, 0o600)
        self.dumps = 0
        for root, dirs, files in os.walk(self.base):
            for name in [root] + [os.path.join(root, n) for n in dirs + files]:
                os.lchown(name, self.uid, self.gid)

    # ---- processes ----------------------------------------------------------
    def spawn(self, argv, log, extra=None, stdin=None):
        env = dict(self.env, **(extra or {}))
        out = open(os.path.join(self.base, log), "ab")
        proc = subprocess.Popen(self.as_user + argv, env=env, cwd=self.base, stdout=out,
                                stderr=subprocess.STDOUT, stdin=stdin, start_new_session=True)
        self.procs.append(proc)
        return proc

    def tool(self, argv, timeout=15):
        return subprocess.run(self.as_user + argv, env=self.env, capture_output=True,
                              timeout=timeout)

    def start_session(self):
        self.spawn(["dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
                    "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"]], "dbus.log")
        check(wait_for(lambda: os.path.exists(os.path.join(self.run_dir, "bus")), 10),
              "the session bus did not start")
        self.stubs = self.spawn(["/usr/bin/python3", self.stubs_script, "--watcher", "--notifications"],
                                "session.log", stdin=subprocess.PIPE)
        check(wait_for(lambda: self.events("ready"), 10), "the tray and notification stubs did "
              "not start: " + self.read("session.log"))
        config = os.path.join(self.base, "sway.conf")
        with open(config, "w") as f:
            f.write("xwayland disable\noutput HEADLESS-1 resolution 1280x800 position 0 0\n"
                    "default_border none\ndefault_floating_border none\n"
                    "for_window [app_id=\"%s\"] floating enable, move position %d %d\n"
                    % (APP_ID, WIN[0], WIN[1]))
        os.chmod(config, 0o644)
        self.spawn(["sway", "-c", config], "sway.log",
                   {"WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
                    "WLR_LIBINPUT_NO_DEVICES": "1"})
        sockets = wait_for(lambda: [p for p in glob.glob(os.path.join(self.run_dir, "wayland-*"))
                                    if not p.endswith(".lock")], 15)
        ipc = wait_for(lambda: glob.glob(os.path.join(self.run_dir, "sway-ipc.*")), 15)
        check(sockets and ipc, "sway did not start: " + self.read("sway.log"))
        self.env["WAYLAND_DISPLAY"] = os.path.basename(sockets[0])
        self.env["SWAYSOCK"] = ipc[0]
        self.pointer = VirtualPointer(sockets[0])

    def program_env(self):
        return {"QT_QPA_PLATFORM": "wayland", "QT_LOGGING_RULES": "skarn.shell.debug=true",
                "SKARN_VIRTUAL_CONTROL": self.pipe,
                "SKARN_VIRTUAL_LOG": os.path.join(self.base, "wire.log")}

    def launch(self):
        # Started from elsewhere: the program finds its files by itself.
        self.proc = self.spawn([self.program], "program.log", self.program_env())

    def start_again(self):
        proc = subprocess.run(self.as_user + [self.program], env=dict(self.env,
                              **self.program_env()), cwd=self.base, capture_output=True,
                              timeout=30)
        return proc.returncode

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.base, ignore_errors=True)

    # ---- what the session shows ----------------------------------------------
    def read(self, name):
        try:
            with open(os.path.join(self.base, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def lines(self):
        return self.read("program.log").splitlines()

    def wait_line(self, text, timeout, start=0):
        found = wait_for(lambda: [i for i, l in enumerate(self.lines()) if i >= start
                                  and text in l], timeout)
        return found[0] if found else -1

    def events(self, kind):
        """The stubs' lines of one kind ("ready", "registered", "notify", ...),
        each without its first word."""
        return [line.partition(" ")[2] for line in self.read("session.log").splitlines()
                if line.split(" ", 1)[0] == kind]

    def stub_command(self, line):
        self.stubs.stdin.write(line.encode() + b"\n")
        self.stubs.stdin.flush()

    def window(self):
        """The program's window rectangle, or None while it is not mapped."""
        out = self.tool(["swaymsg", "-t", "get_tree"])
        found = []

        def walk(node):
            if node.get("app_id") == APP_ID and node.get("visible", True):
                found.append(node["rect"])
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(json.loads(out.stdout))
        return found[0] if found else None

    def screenshot(self):
        """The screen as (width, height, rgb bytes)."""
        out = self.tool(["grim", "-t", "ppm", "-"]).stdout
        parts = out.split(maxsplit=4)
        check(parts[:1] == [b"P6"], "grim took no screenshot")
        width, height = int(parts[1]), int(parts[2])
        return width, height, parts[4][-width * height * 3:]

    def pixel(self, shot, x, y):
        width, _, data = shot
        at = ((self.win_y + y) * width + self.win_x + x) * 3
        return tuple(data[at:at + 3])

    # ---- input ---------------------------------------------------------------
    def click(self, place, settle=0.4):
        self.pointer.click(self.win_x + place[0], self.win_y + place[1])
        time.sleep(settle)

    def control(self, command):
        with open(self.pipe, "w") as f:
            f.write(command + "\n")

    def dump(self):
        path = os.path.join(self.base, "state%d.json" % self.dumps)
        self.dumps += 1
        self.control("dump " + path)
        if wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, 10):
            time.sleep(0.05)
            with open(path) as f:
                return json.load(f)
        return {}


def logo_match(session, shot, logo):
    """Share of the logo's bright opaque pixels the screen shows centred in
    the window (its dark body could pass for the window)."""
    lw, lh, rgba = logo
    x0, y0 = (1024 - lw) // 2, (640 - lh) // 2
    opaque = same = 0
    for y in range(2, lh - 2, 7):
        for x in range(2, lw - 2, 7):
            r, g, b, a = rgba[(y * lw + x) * 4:(y * lw + x) * 4 + 4]
            if a != 255 or max(r, g, b) < 120:
                continue
            opaque += 1
            s = session.pixel(shot, x0 + x, y0 + y)
            same += all(abs(u - v) < 40 for u, v in zip((r, g, b), s))
    return same / opaque if opaque else -1


def load_logo(path):
    with open(path, "rb") as f:
        width, height = struct.unpack(">II", f.read(24)[16:24])
    rgba = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True,
                          check=True).stdout
    return width, height, rgba


def orange(rgb):
    r, g, b = rgb
    return r > 150 and g < 110 and b < 60


def orange_stages(session, shot):
    """The DPI panel's stages that show orange on their slider."""
    return [i + 1 for i, x in enumerate(DPI_COLUMNS)
            if sum(orange(session.pixel(shot, x + dx, y)) for dx in (-1, 0, 1)
                   for y in range(100, 290)) > 12]


def journey(s, logo):
    # ---- start: the logo, then the window ----------------------------------
    s.launch()
    rect = wait_for(s.window, 30)
    check(rect, "no window appeared:\n" + s.read("program.log"))
    check((rect["x"], rect["y"], rect["width"], rect["height"]) == WIN + (1024, 640),
          "window at %s" % rect)
    s.win_x, s.win_y = WIN
    seen = wait_for(lambda: logo_match(s, s.screenshot(), logo) >= 0.8, 5, 0)
    check(seen, "the start-up logo was not shown")
    check(s.wait_line("runUI", 30) >= 0, "the scene did not start:\n" + s.read("program.log"))
    # The logo gives way to the window's content after the start-up lock.
    check(wait_for(lambda: logo_match(s, s.screenshot(), logo) < 0.5, 5, 0.2),
          "the logo was not followed by the window")
    time.sleep(0.3)
    shot = s.screenshot()
    save = s.pixel(shot, *SAVE)
    check(abs(save[0] - 0x09) < 30 and abs(save[1] - 0x34) < 30 and abs(save[2] - 0x7f) < 30,
          "the Save button is not blue: %s" % (save,))
    check(orange_stages(s, shot) == [1], "stage 1 is not the only orange one: %s"
          % orange_stages(s, shot))
    check(s.pixel(shot, 24 + 116, 88 + 4) == (0, 0, 0), "the key panel is not black")
    notices = wait_for(lambda: [n for n in s.events("notify") if n.endswith("|Detect Device")],
                       10)
    check(notices, "no notification for the detected mouse: %s" % s.events("notify"))
    check(s.events("registered"), "the tray icon did not register with the watcher")

    # ---- a title-area drag moves the window ----------------------------------
    s.pointer.drag(WIN[0] + TITLE_AREA[0], WIN[1] + TITLE_AREA[1],
                   WIN[0] + TITLE_AREA[0] + 150, WIN[1] + TITLE_AREA[1] + 100)
    moved = wait_for(lambda: (lambda r: r and (r["x"], r["y"]) == (WIN[0] + 150, WIN[1] + 100)
                              and r)(s.window()), 5)
    check(moved, "the drag did not move the window by 150,100: %s" % s.window())
    s.win_x, s.win_y = moved["x"], moved["y"]

    # ---- a macro recorded from the focused window reaches its slot ----------
    s.click(MACRO_EDITOR_ROW)
    s.click(NEW)
    s.click(RECORD)
    # wtype's virtual keyboard numbers its keys from 1 in the order they
    # are first typed; the program records key positions, as on X11, so "a"
    # and "b" arrive as the first two keys of a keyboard: Esc and 1. sway
    # drops keys sent before it has set up a new virtual keyboard: the pause.
    check(s.tool(["wtype", "-s", "300", "-d", "120", "ab"]).returncode == 0, "wtype failed")
    check(wait_for(lambda: sum("detectKeyboard" in l for l in s.lines()) >= 4, 5),
          "the typed keys did not reach the scene")
    time.sleep(0.3)
    s.click(RECORD)
    s.click(EDITOR_CLOSE)
    s.click(BUTTON_ROW)
    hx, hy = s.win_x + HANDLE[0], s.win_y + HANDLE[1]
    s.pointer.drag(hx, hy, hx, hy + HANDLE_DRAG, steps=4)
    time.sleep(0.4)
    s.click(MACRO_LIST)
    s.click((MACRO_LIST[0], MACRO_LIST[1] + 24))
    s.click(ASSIGN_CLOSE)
    s.click(SAVE)
    image = "00 01 01 29 81 29 01 1e 81 1e 00 00"
    slot = str(BUTTON + 1)
    state = wait_for(lambda: (lambda d: d if d.get("macros", {}).get(slot, "").lower()
                              .startswith(image) else None)(s.dump()), 20, 0.25)
    check(state, "the macro did not reach slot %s: %s" % (slot, s.dump().get("macros")))

    # ---- the mouse's DPI button: a notification, stage 3 turns orange -------
    s.control("dpi 3")
    check(wait_for(lambda: [n for n in s.events("notify") if "|DPI stage 3" in n], 10),
          "no notification for the DPI button: %s" % s.events("notify"))
    check(wait_for(lambda: orange_stages(s, s.screenshot()) == [3], 5),
          "stage 3 did not turn orange")

    # ---- close hides the window, the tray's Activate brings it back --------
    s.click(CLOSE)
    check(wait_for(lambda: s.window() is None, 5), "close did not hide the window")
    s.stub_command("activate")
    check(wait_for(lambda: s.events("activated") or s.events("failed"), 5) == [""],
          "Activate failed: %s" % s.events("failed"))
    shown = wait_for(s.window, 5)
    check(shown, "the tray's Activate did not bring the window back")
    s.win_x, s.win_y = shown["x"], shown["y"]

    # ---- a second start hands over to the first ------------------------------
    s.click(CLOSE)
    check(wait_for(lambda: s.window() is None, 5), "close did not hide the window")
    start = len(s.lines())
    check(s.start_again() == 1, "the second start did not exit with status 1")
    check(s.wait_line("restore", 10, start) >= 0, "the first instance got no restore request")
    check(wait_for(s.window, 5), "the second start did not bring the window back")
    s.stub_command("quit")
    check(s.proc.poll() is None, "the program ended")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--logo", required=True)
    args = parser.parse_args()
    missing = [t for t in ("sway", "swaymsg", "grim", "wtype", "dbus-daemon", "convert",
                           "setpriv") if not shutil.which(t)]
    if missing:
        print("SKIP: %s not installed (scripts/deps.sh installs them); the Wayland journey "
              "did not run" % ", ".join(missing))
        return SKIP
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError as e:
        print("SKIP: python3-dbus or python3-gi missing (%s); the Wayland journey did not run" % e)
        return SKIP
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        print("SKIP: qt6-wayland not installed; the Wayland journey did not run")
        return SKIP
    session = Session(args)
    keep = os.environ.get("SKARN_KEEP_WAYLAND")
    try:
        session.start_session()
        started = time.monotonic()
        journey(session, load_logo(args.logo))
        print("Wayland journey passed in %.1f s" % (time.monotonic() - started))
        return 0
    except Failure as e:
        print("FAIL: %s" % e)
        print("---- program output\n" + session.read("program.log")[-4000:])
        if keep:
            print("logs kept in " + keep)
        return 1
    finally:
        if keep:
            shutil.copytree(session.base, keep, dirs_exist_ok=True,
                            ignore=shutil.ignore_patterns("run", "control"))
        session.stop()


if __name__ == "__main__":
    sys.exit(main())
