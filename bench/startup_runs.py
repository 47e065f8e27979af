#!/usr/bin/env python3
"""Start-up to the first visible window, Vantrelo against a bare Qt window.

Started by bench/startup inside its own X server (DISPLAY set). Starts the two programs
alternately, RUNS times each after one untimed warm-up pair, and for every start measures
the time from just before exec to the moment the X server reports a top-level window of
that process as viewable (mapped, with every ancestor mapped). The process is killed as
soon as its window shows. Prints every run, both medians and their ratio.

Each Vantrelo start runs from a fresh copy of the program folder (portable mode: its
settings and catalogue stay in that copy) with a fresh private runtime folder, so the
single-instance lock and the settings of one run never reach the next.

Only the standard library and libX11 (through ctypes) are used.
"""
import ctypes
import ctypes.util
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

POLL_SECONDS = 0.001
TIMEOUT_SECONDS = 30.0
IS_VIEWABLE = 2


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int),
        ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
        ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
        ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
        ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
        ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
        ("screen", ctypes.c_void_p),
    ]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class XServer:
    """The few Xlib calls the poller needs."""

    def __init__(self):
        name = ctypes.util.find_library("X11") or "libX11.so.6"
        x = ctypes.CDLL(name)
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                           ctypes.POINTER(XWindowAttributes)]
        x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                         ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                         ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                         ctypes.POINTER(ctypes.c_int),
                                         ctypes.POINTER(ctypes.c_ulong),
                                         ctypes.POINTER(ctypes.c_ulong),
                                         ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x = x
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("startup: cannot open the display %r" % os.environ.get("DISPLAY"))
        # A window may vanish between listing and asking about it; Xlib's default handler
        # would end this process for that.
        self._ignore = ERROR_HANDLER(lambda _display, _event: 0)
        x.XSetErrorHandler(self._ignore)
        self.root = x.XDefaultRootWindow(self.display)
        self.pid_atom = x.XInternAtom(self.display, b"_NET_WM_PID", False)
        self.cardinal = 6  # XA_CARDINAL

    def top_level_windows(self):
        root_ret, parent_ret = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self.x.XQueryTree(self.display, self.root, ctypes.byref(root_ret),
                                 ctypes.byref(parent_ret), ctypes.byref(children),
                                 ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return windows

    def window_pid(self, window):
        actual_type, actual_format = ctypes.c_ulong(), ctypes.c_int()
        items, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.x.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, False,
                                           self.cardinal, ctypes.byref(actual_type),
                                           ctypes.byref(actual_format), ctypes.byref(items),
                                           ctypes.byref(after), ctypes.byref(data))
        pid = None
        if status == 0 and data.value:
            if actual_format.value == 32 and items.value == 1:
                # Format-32 properties come back as C longs.
                pid = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))[0]
            self.x.XFree(data)
        return pid

    def viewable_window_of(self, pid):
        """A viewable top-level window that the process pid has set _NET_WM_PID on."""
        for window in self.top_level_windows():
            attributes = XWindowAttributes()
            if not self.x.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)):
                continue
            if attributes.map_state != IS_VIEWABLE:
                continue
            if self.window_pid(window) == pid:
                return window, attributes.width, attributes.height
        return None


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGKILL)
    process.wait()


def time_first_window(server, argv, env, log):
    start = time.monotonic()
    process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    try:
        while True:
            found = server.viewable_window_of(process.pid)
            now = time.monotonic()
            if found:
                return (now - start) * 1000.0, found
            if process.poll() is not None:
                raise SystemExit("startup: %s ended (exit %s) before showing a window"
                                 % (argv[0], process.returncode))
            if now - start > TIMEOUT_SECONDS:
                raise SystemExit("startup: %s showed no window within %.0f s"
                                 % (argv[0], TIMEOUT_SECONDS))
            time.sleep(POLL_SECONDS)
    finally:
        stop(process)


def main():
    if len(sys.argv) != 5:
        raise SystemExit("usage: startup_runs.py RUNS PROGRAM_FOLDER MINIMAL_PROGRAM LOG")
    runs = int(sys.argv[1])
    program_folder, minimal, log_path = sys.argv[2], sys.argv[3], sys.argv[4]
    server = XServer()
    scratch = tempfile.mkdtemp(prefix="vantrelo-startup-")
    results = {"vantrelo": [], "minimal": []}
    try:
        with open(log_path, "w") as log:
            for run in range(runs + 1):
                # A fresh program folder, runtime folder and configuration home per start.
                here = os.path.join(scratch, "run-%d" % run)
                copy = os.path.join(here, "app")
                shutil.copytree(program_folder, copy, symlinks=True)
                # Settings left in the build's folder by a manual run would make every
                # start here a later start; each one is a first start instead.
                stale = os.path.join(copy, "Files", "Vantrelo.ini")
                if os.path.exists(stale):
                    os.remove(stale)
                runtime = os.path.join(here, "runtime")
                os.makedirs(runtime, mode=0o700)
                os.chmod(runtime, 0o700)
                env = dict(os.environ)
                env["XDG_RUNTIME_DIR"] = runtime
                env["XDG_CONFIG_HOME"] = os.path.join(here, "config")
                env.pop("QT_QPA_PLATFORM", None)
                jobs = [("vantrelo", [os.path.join(copy, "vantrelo")]), ("minimal", [minimal])]
                for name, argv in jobs:
                    log.write("--- %s, run %d\n" % (name, run))
                    log.flush()
                    ms, (window, width, height) = time_first_window(server, argv, env, log)
                    if run == 0:
                        print("warm-up  %-9s %7.1f ms  (window 0x%x, %d x %d; not counted)"
                              % (name, ms, window, width, height), flush=True)
                    else:
                        results[name].append(ms)
                        print("run %2d   %-9s %7.1f ms" % (run, name, ms), flush=True)
                shutil.rmtree(here, ignore_errors=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    vantrelo = statistics.median(results["vantrelo"])
    floor = statistics.median(results["minimal"])
    print()
    print("start-up to the first visible window, median of %d alternating runs:" % runs)
    print("  vantrelo        %7.1f ms" % vantrelo)
    print("  minimal Qt      %7.1f ms  (QMainWindow with a menu bar)" % floor)
    print("  ratio           %7.2f" % (vantrelo / floor))


if __name__ == "__main__":
    main()
