#!/usr/bin/python3
"""The Wayland journey: the virtual program in a headless sway session, as a
user of a Wayland desktop meets it: a title-area drag moves the window, keys
typed into it are recorded as a macro that reaches the mouse, the mouse's DPI
button shows a desktop notification, the tray's Activate brings it back.

    journey.py --program PATH

Exits 77 (skipped, with the reason printed) when sway or its tools are not
installed. sway refuses to run as root, so as root the session runs as an
unprivileged system user, created when missing.
"""
import glob
import json
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from virtual_pointer import VirtualPointer  # noqa: E402

USER = "skarn-test"
APP_ID = "skarn-mouse-virtual"
WIN = (100, 80)  # where sway puts the window on its 1280 x 800 output
# Window-relative places (1024 x 640 window, 8-button gun mouse).
NEW, RECORD, EDITOR_CLOSE = (240, 525), (442, 525), (808, 116)
ASSIGN_HANDLE = (712, 260)
MACRO_LIST = (402, int(118 + 41 + 410 - 77 * 830 / 212 + 12))
SAVE, CLOSE = (968, 620), (992, 24)


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
    def __init__(self, program):
        self.procs = []
        self.base = tempfile.mkdtemp(prefix="skarn-wayland-")
        os.chmod(self.base, 0o755)
        self.run_dir = os.path.join(self.base, "run")
        os.mkdir(self.run_dir, 0o700)
        self.as_user, uid, gid = [], os.getuid(), os.getgid()
        if os.geteuid() == 0:
            if subprocess.run(["getent", "passwd", USER], capture_output=True).returncode:
                subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                                "/usr/sbin/nologin", USER], check=True)
            uid, gid = pwd.getpwnam(USER).pw_uid, pwd.getpwnam(USER).pw_gid
            self.as_user = ["setpriv", "--reuid=%d" % uid, "--regid=%d" % gid, "--clear-groups"]
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.base, "LANG": "C.UTF-8",
                    "XDG_RUNTIME_DIR": self.run_dir,
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.run_dir, "bus")}
        app = os.path.join(self.base, "app")
        shutil.copytree(os.path.join(os.path.dirname(program), "modules"),
                        os.path.join(app, "modules"))
        self.program = shutil.copy2(program, app)
        # The user may not reach into the source tree (a root-only clone).
        self.stubs_script = shutil.copy(os.path.join(HERE, "..", "support",
                                                     "session_bus_stubs.py"), self.base)
        self.pipe = os.path.join(self.base, "control")
        os.mkfifo(self.pipe, 0o600)
        self.dumps = 0
        for root, dirs, files in os.walk(self.base):
            for name in [root] + [os.path.join(root, n) for n in dirs + files]:
                os.lchown(name, uid, gid)
        self.program_env = dict(self.env, QT_QPA_PLATFORM="wayland",
                                QT_LOGGING_RULES="skarn.shell.debug=true",
                                SKARN_VIRTUAL_CONTROL=self.pipe)

    def spawn(self, argv, log, env=None, stdin=None):
        out = open(os.path.join(self.base, log), "ab")
        proc = subprocess.Popen(self.as_user + argv, env=env or self.env, cwd=self.base,
                                stdout=out, stderr=subprocess.STDOUT, stdin=stdin)
        self.procs.append(proc)
        return proc

    def tool(self, argv, env=None):
        return subprocess.run(self.as_user + argv, env=env or self.env, cwd=self.base,
                              capture_output=True, timeout=30)

    def start_session(self):
        self.spawn(["dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
                    "--address=" + self.env["DBUS_SESSION_BUS_ADDRESS"]], "dbus.log")
        check(wait_for(lambda: os.path.exists(os.path.join(self.run_dir, "bus")), 10),
              "the session bus did not start")
        self.stubs = self.spawn(["/usr/bin/python3", self.stubs_script, "--watcher",
                                 "--notifications"], "session.log", stdin=subprocess.PIPE)
        check(wait_for(lambda: self.events("ready"), 10), "the session bus stubs did not start")
        config = os.path.join(self.base, "sway.conf")
        with open(config, "w") as f:
            f.write("xwayland disable\noutput HEADLESS-1 resolution 1280x800 position 0 0\n"
                    "default_border none\ndefault_floating_border none\n"
                    "for_window [app_id=\"%s\"] floating enable, move position %d %d\n"
                    % ((APP_ID,) + WIN))
        os.chmod(config, 0o644)
        self.spawn(["sway", "-c", config], "sway.log", dict(
            self.env, WLR_BACKENDS="headless", WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1"))
        sockets = wait_for(lambda: [p for p in glob.glob(os.path.join(self.run_dir, "wayland-*"))
                                    if not p.endswith(".lock")], 15)
        ipc = wait_for(lambda: glob.glob(os.path.join(self.run_dir, "sway-ipc.*")), 15)
        check(sockets and ipc, "sway did not start: " + self.read("sway.log"))
        self.env["WAYLAND_DISPLAY"] = os.path.basename(sockets[0])
        self.program_env["WAYLAND_DISPLAY"] = self.env["WAYLAND_DISPLAY"]
        self.env["SWAYSOCK"] = ipc[0]
        self.pointer = VirtualPointer(sockets[0])

    def stop(self):
        for proc in reversed(self.procs):
            proc.kill(), proc.wait()
        shutil.rmtree(self.base, ignore_errors=True)

    def read(self, name):
        try:
            with open(os.path.join(self.base, name), errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def events(self, kind):
        return [line.partition(" ")[2] for line in self.read("session.log").splitlines()
                if line.split(" ", 1)[0] == kind]

    def window(self):
        """The program's window rectangle, or None while it is not mapped."""
        def find(node):
            if node.get("app_id") == APP_ID and node.get("visible", True):
                return node["rect"]
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                found = find(child)
                if found:
                    return found
        found = find(json.loads(self.tool(["swaymsg", "-t", "get_tree"]).stdout))
        if found:
            self.win = (found["x"], found["y"])
        return found

    def screenshot(self):
        out = self.tool(["grim", "-t", "ppm", "-"]).stdout
        parts = out.split(maxsplit=4)
        check(parts[:1] == [b"P6"], "grim took no screenshot")
        return int(parts[1]), parts[4][-int(parts[1]) * int(parts[2]) * 3:]

    def pixel(self, shot, x, y):
        at = ((self.win[1] + y) * shot[0] + self.win[0] + x) * 3
        return tuple(shot[1][at:at + 3])

    def settle(self, before):
        last = None  # until the screen has changed from `before` and holds still
        for _ in range(30):
            shot = self.screenshot()
            if shot != before and shot == last:
                return shot
            last = shot

    def click(self, place):
        before = self.screenshot()
        self.pointer.click(self.win[0] + place[0], self.win[1] + place[1])
        self.settle(before)

    def control(self, command):
        with open(self.pipe, "w") as f:
            f.write(command + "\n")

    def dump(self):
        path = os.path.join(self.base, "state%d.json" % self.dumps)
        self.dumps += 1
        self.control("dump " + path)
        text = wait_for(lambda: self.read(path).endswith("}\n") and self.read(path), 10)
        return json.loads(text) if text else {}


def orange_stages(s, shot):
    """The DPI panel's stages that show orange on their slider."""
    def orange(rgb):
        return rgb[0] > 150 and rgb[1] < 110 and rgb[2] < 60
    return [i + 1 for i, x in enumerate([826, 865, 904, 943])
            if sum(orange(s.pixel(shot, x + dx, y)) for dx in (-1, 0, 1)
                   for y in range(100, 290)) > 12]


def journey(s):
    # ---- start: the window where the compositor puts it --------------------
    proc = s.spawn([s.program], "program.log", s.program_env)
    rect = wait_for(s.window, 30)
    check(rect and (rect["x"], rect["y"], rect["width"], rect["height"]) == WIN + (1024, 640),
          "window at %s:\n%s" % (rect, s.read("program.log")))
    # The panels, with the mouse's stage 1 lit, once the start-up logo has gone.
    check(wait_for(lambda: orange_stages(s, s.screenshot()) == [1], 10), "stage 1 is not lit")
    check(wait_for(lambda: [n for n in s.events("notify") if n.endswith("|Detect Device")], 10),
          "no notification for the detected mouse: %s" % s.events("notify"))

    # ---- a title-area drag moves the window, through the compositor ---------
    s.pointer.drag(WIN[0] + 600, WIN[1] + 30, WIN[0] + 750, WIN[1] + 130)
    check(wait_for(lambda: s.window() and s.win == (WIN[0] + 150, WIN[1] + 100), 5),
          "the drag did not move the window by 150,100: %s" % s.window())

    # ---- a macro recorded from the focused window reaches its slot ----------
    for place in ((140, 402), NEW, RECORD):
        s.click(place)
    # wtype's virtual keyboard numbers its keys from 1 in the order they
    # are first typed; the program records key positions, as on X11, so "a"
    # and "b" arrive as the first two keys of a keyboard: Esc and 1. sway
    # drops keys sent before it has set up a new virtual keyboard: the pause.
    check(s.tool(["wtype", "-s", "300", "-d", "120", "ab"]).returncode == 0, "wtype failed")
    check(wait_for(lambda: s.read("program.log").count("detectKeyboard") >= 4, 5),
          "the typed keys did not reach the scene")
    s.click(RECORD)
    s.click(EDITOR_CLOSE)
    s.click((140, 88 + 40 + 3 * 26 + 12))  # the fourth button's dialog
    before = s.screenshot()
    hx, hy = s.win[0] + ASSIGN_HANDLE[0], s.win[1] + ASSIGN_HANDLE[1]
    s.pointer.drag(hx, hy, hx, hy + 77, steps=4)
    s.settle(before)
    for place in (MACRO_LIST, (MACRO_LIST[0], MACRO_LIST[1] + 24), (696, 138), SAVE):
        s.click(place)
    image = "00 01 01 29 81 29 01 1e 81 1e 00 00"
    check(wait_for(lambda: s.dump().get("macros", {}).get("4", "").startswith(image), 20, 0.25),
          "the macro did not reach slot 4: %s" % s.dump().get("macros"))

    # ---- the mouse's DPI button: a notification, stage 3 turns orange -------
    s.control("dpi 3")
    check(wait_for(lambda: [n for n in s.events("notify") if "|DPI stage 3" in n], 10),
          "no notification for the DPI button: %s" % s.events("notify"))
    check(wait_for(lambda: orange_stages(s, s.screenshot()) == [3], 5),
          "stage 3 did not turn orange")

    # ---- close, then back through the tray's Activate ------------------------
    s.click(CLOSE)
    check(wait_for(lambda: s.window() is None, 5), "close did not hide the window")
    s.stubs.stdin.write(b"activate\n")
    s.stubs.stdin.flush()
    check(wait_for(s.window, 5), "the tray's Activate did not bring the window back: %s %s"
          % (s.events("registered"), s.events("failed")))
    check(proc.poll() is None, "the program ended")


def main():
    missing = [t for t in ("sway", "swaymsg", "grim", "wtype", "dbus-daemon", "setpriv") if not shutil.which(t)]
    if not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"):
        missing.append("qt6-wayland")
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError:
        missing.append("python3-dbus or python3-gi")
    if missing:
        print("SKIP: %s not installed (scripts/deps.sh installs them); the Wayland journey "
              "did not run" % ", ".join(missing))
        return 77
    session = Session(sys.argv[sys.argv.index("--program") + 1])
    keep = os.environ.get("SKARN_KEEP_WAYLAND")
    try:
        session.start_session()
        started = time.monotonic()
        journey(session)
        print("Wayland journey passed in %.1f s" % (time.monotonic() - started))
        return 0
    except Failure as e:
        print("FAIL: %s\n---- program output\n%s" % (e, session.read("program.log")[-4000:]))
        return 1
    finally:
        if keep:
            shutil.copytree(session.base, keep, dirs_exist_ok=True,
                            ignore=shutil.ignore_patterns("run", "control"))
            print("logs kept in " + keep)
        session.stop()


if __name__ == "__main__":
    sys.exit(main())
