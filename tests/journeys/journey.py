"""Drives the real Quillora window as a user does: under Xvfb, through the
accessibility tree (AT-SPI, read with pyatspi) and real key presses and
clicks (xdotool).

A journey script runs under `dbus-run-session` (see run-journey.sh), builds a
`Journey` with the executable's path, starts the application and then finds
controls by their accessible name and role, clicks them, types into them and
waits for what should appear. Every wait has a time-out and fails with what it
was waiting for, so a broken journey says where it broke.

Exit code 77 means "skipped" (no Xvfb, xdotool or pyatspi on this machine).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77

try:
    import pyatspi
except ImportError:  # pragma: no cover - depends on the machine
    pyatspi = None


class JourneyError(AssertionError):
    pass


def _free_display():
    for n in range(120, 220):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return f":{n}"
    raise JourneyError("no free X display number")


class Journey:
    """One X server, one accessibility bus and one or more runs of the
    application in a throw-away home. Use as a context manager."""

    def __init__(self, executable, width=1280, height=860):
        for tool in ("Xvfb", "xdotool"):
            if shutil.which(tool) is None:
                print(f"SKIP: {tool} is not installed")
                sys.exit(SKIP)
        if pyatspi is None:
            print("SKIP: pyatspi is not installed")
            sys.exit(SKIP)
        self.executable = os.path.abspath(executable)
        self.home = tempfile.mkdtemp(prefix="quillora-journey.")
        self.display = _free_display()
        self.size = (width, height)
        self.app = None
        self.env = self._environment()
        self._xvfb = None
        self._bus = None
        self._bound = {}    # character -> the spare keycode it is bound to
        self._spare = None  # keycodes with no key symbol, read on first need

    # ---- set-up ---------------------------------------------------------
    def _environment(self):
        env = dict(os.environ)
        for sub in ("app", "home", "config", "data", "runtime"):
            os.makedirs(os.path.join(self.home, sub), exist_ok=True)
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        env.update({
            "DISPLAY": self.display,
            "QUILLORA_HOME": os.path.join(self.home, "app") + "/",
            "HOME": os.path.join(self.home, "home"),
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "QUILLORA_INSTANCE_NAME": "journey-" + os.path.basename(self.home),
            "QUILLORA_SPLASH_MS": "0",
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "NO_AT_BRIDGE": "0",
        })
        env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
        # Journeys find controls by their Chinese captions whatever the
        # machine's locale; an English journey drops this and sets LANG.
        env.setdefault("QUILLORA_LANGUAGE", "zh")
        return env

    def __enter__(self):
        self._xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait(lambda: os.path.exists("/tmp/.X11-unix/X" + self.display[1:]), "the X server", 20)
        os.environ["DISPLAY"] = self.display
        self._bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                     env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        return self

    def __exit__(self, *exc):
        self.stop_app()
        for proc in (self._bus, self._xvfb):
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(self.home, ignore_errors=True)
        return False

    # ---- the application ------------------------------------------------
    def start_app(self, *args):
        """Starts Quillora and waits until its main window is in the tree."""
        self.app = subprocess.Popen([self.executable, *args], env=self.env)
        self.window = self.find("QuilloraVer1.3", role="frame", timeout=60)
        return self.window

    def stop_app(self, timeout=30):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(timeout)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        code = self.app.returncode if self.app else None
        self.app = None
        return code

    def wait_app_exit(self, timeout=60):
        try:
            return self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            raise JourneyError("the application did not exit")

    def _application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            child = desktop.getChildAtIndex(i)
            if child is None:
                continue
            try:
                pid = child.get_process_id()
            except Exception:
                pid = None
            if self.app and pid == self.app.pid:
                return child
        return None

    # ---- finding --------------------------------------------------------
    @staticmethod
    def _role(node):
        try:
            return node.getRoleName()
        except Exception:
            return ""

    @staticmethod
    def _name(node):
        try:
            return node.name or ""
        except Exception:
            return ""

    def _walk(self, root, limit=20000):
        stack, seen = [root], 0
        while stack and seen < limit:
            node = stack.pop()
            if node is None:
                continue
            seen += 1
            yield node
            try:
                count = node.childCount
            except Exception:
                continue
            for i in range(count - 1, -1, -1):
                try:
                    stack.append(node.getChildAtIndex(i))
                except Exception:
                    pass

    def find_all(self, name=None, role=None, root=None, showing=True):
        root = root or self._application()
        if root is None:
            return []
        found = []
        for node in self._walk(root):
            if name is not None and self._name(node) != name:
                continue
            if role is not None and self._role(node) != role:
                continue
            if showing:
                try:
                    if not node.getState().contains(pyatspi.STATE_SHOWING):
                        continue
                except Exception:
                    continue
            found.append(node)
        return found

    def find(self, name=None, role=None, root=None, timeout=45, showing=True):
        """The first control with this accessible name (and role), waiting for it."""
        result = []

        def look():
            result[:] = self.find_all(name, role, root, showing)
            return bool(result)
        self.wait(look, f"a control named {name!r} (role {role!r})", timeout)
        return result[0]

    def labelled(self, label, root=None, timeout=20):
        """The control a label names (the label's buddy), waiting for it.
        Needed for combo boxes, whose accessible name is their current text."""
        found = []

        def look():
            for node in self.find_all(label, role="label", root=root):
                for relation in node.getRelationSet():
                    if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR and relation.getNTargets():
                        found[:] = [relation.getTarget(0)]
                        return True
            return False
        self.wait(look, f"the control labelled {label!r}", timeout)
        return found[0]

    def dump(self, root=None):
        """The tree as text, for a failing journey's message."""
        lines = []
        for node in self._walk(root or self._application(), 3000):
            lines.append(f"{self._role(node)}: {self._name(node)!r}")
        return "\n".join(lines)

    # ---- acting ---------------------------------------------------------
    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def centre(self, node):
        ext = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if ext.width <= 0 or ext.height <= 0:
            raise JourneyError(f"{self._name(node)!r} has no area on screen")
        return ext.x + ext.width // 2, ext.y + ext.height // 2

    def click(self, node, button=1, double=False):
        x, y = self.centre(node)
        self.xdotool("mousemove", "--sync", str(x), str(y))
        if double:
            self.xdotool("click", "--repeat", "2", "--delay", "80", str(button))
        else:
            self.xdotool("click", str(button))
        time.sleep(0.2)

    def press(self, node):
        """Triggers a control's default action (a button's click, a menu
        item's activation) through the accessibility interface."""
        action = node.queryAction()
        action.doAction(0)
        time.sleep(0.2)

    def windows_titled(self, pattern):
        """Ids of the visible top-level windows whose title matches the
        regular expression `pattern` (xdotool's extended syntax)."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                               env=self.env, capture_output=True, text=True, timeout=30)
        return found.stdout.split()

    def focus_window(self, title="QuilloraVer1.3"):
        """Gives a top-level window the X input focus (there is no window
        manager to do it), so key presses and shortcuts reach it. The main
        window's title may carry unsaved text's "*name - " before it."""
        ids = self.windows_titled(f"^(\\*.* - )?{re.escape(title)}$")
        if not ids:
            raise JourneyError(f"no visible window titled {title!r}")
        self.xdotool("windowfocus", "--sync", ids[-1])
        time.sleep(0.2)

    def key(self, *keys, clear_modifiers=True):
        """Presses keys. Lock keys need clear_modifiers=False: xdotool's
        clearing turns Caps Lock off and on around the press."""
        self.xdotool("key", *(["--clearmodifiers"] if clear_modifiers else []), *keys)
        time.sleep(0.15)

    def type(self, text):
        """Types text as key presses; characters outside the keyboard map
        (Chinese) are first bound to spare keys of their own."""
        unbound = self._bind_keys(text)
        # xdotool remaps a scratch key for each character still unbound, and a
        # busy application that reads such a key late sees the next mapping:
        # those are typed slowly.
        delay = "120" if unbound else "40"
        self.xdotool("type", "--delay", delay, text)
        time.sleep(0.2)

    def _bind_keys(self, text):
        """Binds each character of text that the keyboard lacks to a spare
        keycode, once for the whole journey, so that typing it changes no
        mapping while earlier keys may still wait in the application's queue.
        Returns whether some character is left unbound (no xmodmap, or no
        spare keycode left)."""
        wanted = [c for c in dict.fromkeys(text) if not c.isascii() and c not in self._bound]
        if not wanted:
            return False
        if shutil.which("xmodmap") is None:
            return True
        if self._spare is None:
            table = subprocess.run(["xmodmap", "-display", self.display, "-pke"], env=self.env,
                                   capture_output=True, text=True, check=True, timeout=30).stdout
            self._spare = [int(code) for code in re.findall(r"^keycode\s+(\d+)\s*=\s*$", table, re.M)]
        bindings = []
        for char in wanted[:len(self._spare)]:
            code = self._spare.pop()
            self._bound[char] = code
            keysym = f"U{ord(char):04X}"
            bindings += ["-e", f"keycode {code} = {keysym} {keysym}"]
        if bindings:
            subprocess.run(["xmodmap", "-display", self.display, *bindings], env=self.env,
                           check=True, timeout=30)
            time.sleep(0.3)  # the application reloads its keymap on the change
        return any(c not in self._bound for c in wanted)

    def menu(self, *path):
        """Opens a menu-bar menu and chooses the item at the end of path,
        clicking each caption in turn ("工具(&T)" and "工具(T)" both match:
        the accessible name has no accelerator sign)."""
        for caption in path:
            item = self.find(caption.replace("&", ""), role="menu item")
            self.click(item)
        time.sleep(0.3)

    def set_text(self, node, text):
        """Replaces an edit box's text: focus it, select all, type."""
        self.click(node)
        self.key("ctrl+a")
        self.type(text)

    # ---- steps many journeys take ---------------------------------------
    def create_library(self, path, shown_name, timeout=45):
        """稿件库 ▸ 新建稿件库 with the name box set to `path` (no extension),
        no password; waits for the status bar to show the library."""
        self.menu("稿件库(&D)", "新建稿件库")
        dialog = self.find("新建稿件库", role="dialog")
        self.set_text(self.find("稿件库名称", role="text", root=dialog), path)
        self.click(self.find("创建(B)", role="push button", root=dialog))
        self.find(f"稿件库：{shown_name}", role="label", timeout=timeout)

    def close_library(self, shown_name):
        """稿件库 ▸ 关闭稿件库; waits for the status bar to let the library go."""
        self.menu("稿件库(&D)", "关闭稿件库")
        self.wait(lambda: not self.find_all(f"稿件库：{shown_name}", role="label"), "the library to close")

    def open_library(self, path, shown_name, answer_prompt=None):
        """稿件库 ▸ 打开稿件库 with `path` typed into the file dialog;
        `answer_prompt()` answers a password prompt when the library has one."""
        self.menu("稿件库(&D)", "打开稿件库")
        self.find("打开稿件库", role="dialog")
        self.type(path)
        self.key("Return")
        if answer_prompt:
            answer_prompt()
        self.find(f"稿件库：{shown_name}", role="label")

    def new_manuscript(self, name):
        """稿件 ▸ 新建 in the selected folder, named in place; returns the editor."""
        self.menu("稿件(&F)", "新建(&N)")
        self.find("新建稿件", role="table cell")
        self.focus_window()
        self.type(name)
        self.key("Return")
        self.find(name, role="table cell")
        return self.find("稿件内容", role="text")

    def type_and_save(self, editor, text):
        """Types `text` into the editor and saves it with Ctrl+S."""
        self.click(editor)
        # The first change shows unsaved text in the status bar and as "*" in
        # the title; the rest is typed once the window has redrawn for it
        # (a key typed through a remapped keycode meanwhile can get lost).
        self.type(text[:1])
        self.find("状态：已修改", role="label")
        self.wait(lambda: self.windows_titled(r"^\*.* - QuilloraVer1\.3$"), "a \"*\" in the title")
        self.type(text[1:])
        self.wait(lambda: self.text_of(editor) == text, "the typed text in the editor")
        self.focus_window()
        self.key("ctrl+s")
        self.find("状态：保存", role="label")
        self.wait(lambda: self.windows_titled(r"^QuilloraVer1\.3$"), "the title without \"*\"")

    def answer_password(self, dialog, field, password, button, timeout=30):
        """Types a password into the field of the dialog titled `dialog`,
        presses `button` and waits for the dialog to go."""
        prompt = self.find(dialog, role="dialog", timeout=timeout)
        self.click(self.find(field, role="password text", root=prompt))
        self.type(password)
        self.click(self.find(button, role="push button", root=prompt))
        self.wait(lambda: not self.find_all(dialog, role="dialog"), f"the dialog {dialog} to close")

    def text_of(self, node):
        t = node.queryText()
        return t.getText(0, t.characterCount)

    # ---- waiting --------------------------------------------------------
    def wait(self, predicate, what, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if predicate():
                    return
            except Exception:
                pass
            time.sleep(0.2)
        raise JourneyError(f"timed out waiting for {what}")


def main(journey_function):
    """Runs a journey function(journey) with the executable from argv[1];
    prints the accessibility tree when it fails."""
    if len(sys.argv) < 2:
        print("usage: journey.py <quillora executable>")
        sys.exit(2)
    with Journey(sys.argv[1]) as journey:
        try:
            journey_function(journey)
        except Exception:
            try:
                print(journey.dump())
            except Exception:
                pass
            raise
    print("journey passed")
