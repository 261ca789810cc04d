"""The run script: its usage, the locks that keep two runs apart, what it
reads from the program's output, the Wine prefix it prepares, where it finds
a crash dump, and how it ends a program that crashed or hangs, a Wine tool
that hangs, and itself when interrupted."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

_SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
_RUN = os.path.join(_SCRIPTS, "run.sh")
_FUNCTIONS = os.path.join(_SCRIPTS, "run-functions.sh")


def _bash(script, *arguments, timeout=20, env=None):
    return subprocess.run(["bash", "-c", 'source "$0"; ' + script, _FUNCTIONS, *arguments],
                          capture_output=True, text=True, timeout=timeout, env=env)


def _wait_for(condition, seconds=30):
    """Whether the condition comes true; waits for that state (a hang guard bounds it)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def _ended(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            # Gone, or left for its reaper.
            return stat.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


def _ends(pid):
    """Whether the process ends."""
    return _wait_for(lambda: _ended(pid))


def _read(path):
    with open(path) as file:
        return file.read()


def _lines(path):
    return _read(path).splitlines() if os.path.exists(path) else []


class Usage(unittest.TestCase):
    def run_script(self, *arguments, **more):
        with tempfile.TemporaryDirectory() as out:
            # A build folder of its own: a script that set up or built anything
            # would leave it there.
            environment = dict(os.environ, RV_BUILD_OUT=os.path.join(out, "build"), **more)
            result = subprocess.run(["bash", _RUN, *arguments], capture_output=True, text=True, timeout=20,
                                    env=environment)
            return result, os.listdir(out)

    def test_asking_for_help_prints_the_usage_and_runs_nothing(self):
        for arguments in (["--help"], ["-h"], ["PartnerID=Moorland", "--help"]):
            result, made = self.run_script(*arguments)
            self.assertEqual(result.returncode, 0, arguments)
            self.assertIn("usage: scripts/run.sh", result.stdout)
            self.assertIn("PartnerID=Moorland", result.stdout)
            self.assertEqual(made, [], arguments)

    def test_an_unknown_switch_is_refused_with_the_usage(self):
        result, made = self.run_script("--silent")
        self.assertEqual(result.returncode, 2)
        self.assertIn("unknown switch --silent", result.stderr)
        self.assertIn("usage:", result.stderr)
        self.assertEqual(made, [])

    def test_a_bound_that_is_no_number_of_seconds_is_refused(self):
        for bound in ("abc", "0", "00", "-5", "1.5", "2m"):
            result, made = self.run_script("SILENT=TRUE", RV_RUN_TIMEOUT=bound)
            self.assertEqual(result.returncode, 2, bound)
            self.assertIn('RV_RUN_TIMEOUT is "%s"' % bound, result.stderr)
            self.assertEqual(made, [], bound)


class RunLocks(unittest.TestCase):
    def test_a_lock_is_one_runs_while_it_lives_and_taken_over_after(self):
        with tempfile.TemporaryDirectory() as root:
            lock = os.path.join(root, "run-slot-1.lock")
            # The holder becomes its sleep: killed, it leaves no process behind.
            holder = subprocess.Popen(["bash", "-c", 'source "$0"; try_lock "$1" && exec sleep 60', _FUNCTIONS, lock])
            try:
                self.assertTrue(_wait_for(lambda: os.path.exists(os.path.join(lock, "pid"))))
                # A second run neither gets the lock nor frees it.
                self.assertEqual(_bash('try_lock "$1"', lock).returncode, 1)
                self.assertEqual(_bash('release_lock "$1"', lock).returncode, 0)
                with open(os.path.join(lock, "pid")) as pid:
                    self.assertEqual(int(pid.read()), holder.pid)
            finally:
                holder.kill()
                holder.wait()
            # Its run has ended without letting go: the next run takes it, and
            # lets it go again.
            self.assertEqual(_bash('try_lock "$1" && release_lock "$1" && [ ! -e "$1" ]', lock).returncode, 0)
            self.assertEqual(sorted(os.listdir(root)), [])


class ProgramOutput(unittest.TestCase):
    def _assert_folders_read(self, function, cases):
        """Each program output (bytes) gives the folder the function reads from it."""
        with tempfile.TemporaryDirectory() as root:
            output = os.path.join(root, "run-silent.log")
            for text, folder in cases:
                with open(output, "wb") as out:
                    out.write(text)
                result = _bash(function + ' "$1"', output)
                self.assertEqual(result.stdout.rstrip("\n"), folder, text)

    def test_the_install_folder_is_the_last_one_the_program_names(self):
        cases = [
            (b"Trace: 1: Install into C:\\A begins\r\nTrace: 2: The game is installed in C:\\Program Files\\"
             b"Wendmoor Moorland\r\n", "C:\\Program Files\\Wendmoor Moorland"),
            (b"Trace: 1: The game is installed in C:\\A\r\nTrace: 2: The game is installed in D:\\B\r\n", "D:\\B"),
            # A failed install names the folder it began in, never one it is installed in.
            (b"Trace: 1: Install into C:\\Program Files\\Wendmoor begins\r\nError: 2: Install failed\r\n", ""),
            (b"", ""),
        ]
        self._assert_folders_read('installed_location', cases)


    def test_a_failed_install_names_the_folder_it_was_writing_into(self):
        cases = [
            (b"Trace: 1: Install into C:\\Program Files\\Wendmoor begins\r\nError: 2: Install failed: the game "
             b"files are not all in C:\\Program Files\\Wendmoor\r\n", "C:\\Program Files\\Wendmoor"),
            # After the default folder was fallen back to, that one is named.
            (b"Error: 1: Install folder E:\\Games\\Wendmoor cannot be made (system error 3): the default folder "
             b"C:\\Program Files\\Wendmoor is tried\r\n"
             b"Error: 2: Install stopped: cannot work in C:\\Program Files\\Wendmoor (system error 5)\r\n",
             "C:\\Program Files\\Wendmoor"),
            # The folder, or the default one tried after it, could not be made.
            (b"Error: 1: Install stopped: install folder C:\\Program Files\\Wendmoor cannot be made "
             b"(system error 267)\r\n", "C:\\Program Files\\Wendmoor"),
            (b"Error: 1: Install folder E:\\G cannot be made (system error 5): the default folder C:\\W is tried\r\n"
             b"Error: 2: Install stopped: default install folder C:\\W cannot be made either (system error 5)\r\n",
             "C:\\W"),
            # A fallback alone stops nothing: the install goes on in the default folder.
            (b"Error: 1: Install folder E:\\G cannot be made (system error 3): the default folder C:\\W is tried\r\n"
             b"Trace: 2: The game is installed in C:\\W\r\n", ""),
            (b"Trace: 1: The game is installed in C:\\A\r\n", ""),
            (b"", ""),
        ]
        self._assert_folders_read('failed_location', cases)

    def test_a_silent_start_is_read_as_the_program_reads_it(self):
        program = "/build/out/installer/WendmoorSetup.exe"
        cases = [
            ([], False),
            (["PartnerID=Moorland"], False),
            (["SILENT=TRUE"], True),
            (["Silent=true"], True),
            (["PartnerID=Moorland", "SILENT=TRUE"], True),
            (["PartnerID=MoorSilent"], True),
            (["PartnerID=moorsilent"], True),
            # Names and values as the program compares them: exactly.
            (["SILENT=true"], False),
            (["Silent=TRUE"], False),
            (["silent=TRUE"], False),
            # The first value of a name is the one read; a bare name has an empty one.
            (["SILENT=FALSE", "SILENT=TRUE"], False),
            (["SILENT", "SILENT=TRUE"], False),
            (["PartnerID=Moorland", "PartnerID=Silent"], False),
        ]
        for arguments, silent in cases:
            result = _bash('silent_start "$@"', program, *arguments)
            self.assertEqual(result.returncode == 0, silent, arguments)
        # A program whose path holds the word starts silently too.
        self.assertEqual(_bash('silent_start "$@"', "/games/SilentSetup.exe").returncode, 0)


# The mark a prepared Wine prefix holds.
_PREPARED_MARK = "rv-prepared"

# Stand-ins for what run.sh drives (set-up, build, Wine and its prefix, the
# display, the local servers), so that its own steps, and the prefix's
# preparation in wine-env.sh, run in seconds. The program records each start
# and answers with the output and status the test gives it; the prefix's
# preparation records each step, and whether the prefix was marked prepared
# at that step.
_STAND_INS = {
    "scripts/setup.sh": "exit 0\n",
    "scripts/build.sh": "exit 0\n",
    "scripts/make_alias_font.py": """
import sys
with open(sys.argv[2], "w") as font:
    font.write("a font named SimSun")
""",
    "scripts/local-peers.sh": """
if [ "$1" = start ]; then
  mkdir -p "$2"
  printf 'StatisticsServer=127.0.0.1:1\\n' >"$2/program-options"
  : >"$2/stat-record.txt"
  : >"$2/webapi-record.txt"
fi
""",
    "bin/wine": r"""
record() {
  local marked=no
  [ ! -e "$WINEPREFIX/rv-prepared" ] || marked=yes
  echo "$1 (marked: $marked)" >>"$FAKE_PREFIX_LOG"
}
# A Wine tool named in FAKE_HANGS never ends by itself.
[ "$1" != "${FAKE_HANGS:-}" ] || exec sleep 600
case "$1" in
  winepath) path="${3#C:\\}"; echo "$FAKE_DRIVE_C/${path//\\//}" ;;
  taskkill) ;;
  reg)
    # wine reg add KEY /v NAME ...
    if [ "$2" = add ]; then
      record "reg $5"
      [ "$5" != "${FAKE_REG_FAILS:-}" ] || exit 1
    fi
    ;;
  *)
    echo "$*" >>"$FAKE_STARTS"
    echo $$ >>"$FAKE_PIDS"
    record program
    cat "$FAKE_OUTPUT"
    if [ -n "${FAKE_CRASH:-}" ]; then
      # As the program's crash handler: the dump in its current folder (the
      # one it moved to, if any), written in two parts FAKE_DUMP_PAUSE
      # seconds apart if asked, then its box; or it ends at once.
      [ -z "${FAKE_CRASH_IN:-}" ] || { mkdir -p "$FAKE_CRASH_IN" && cd "$FAKE_CRASH_IN"; } || exit 9
      mkdir -p Dump
      exec 3>Dump/WendmoorSetup_20250101_120000.dmp
      echo dump >&3
      if [ -n "${FAKE_DUMP_PAUSE:-}" ]; then
        sleep "$FAKE_DUMP_PAUSE"
        echo "rest of the dump" >&3
      fi
      exec 3>&-
      [ "$FAKE_CRASH" != ends ] || exit 0
      echo $$ >"$FAKE_WINDOWS/0x5"
    fi
    # A held program runs until it is stopped, and as a Wine program does,
    # it does not end on Ctrl-C.
    if [ -n "${FAKE_HOLD:-}" ]; then
      trap '' INT
      echo $$ >"$FAKE_HOLD.new"
      mv "$FAKE_HOLD.new" "$FAKE_HOLD"
      exec sleep 600
    fi
    [ -z "${FAKE_LIVES:-}" ] || sleep "$FAKE_LIVES"
    [ -z "${FAKE_WRITES:-}" ] || echo written >"$FAKE_WRITES"
    exit "$FAKE_STATUS"
    ;;
esac
""",
    # Makes the prefix as far as a boot does; a held boot runs until Ctrl-C.
    "bin/wineboot": """
echo "wineboot $*" >>"$FAKE_PREFIX_LOG"
[ "${FAKE_HANGS:-}" != wineboot ] || exec sleep 600
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
touch "$WINEPREFIX/system.reg"
[ -z "${FAKE_BOOT_HOLD:-}" ] || { touch "$FAKE_BOOT_HOLD"; exec sleep 600; }
""",
    # As the real one's -k: the prefix's programs are stopped; a held -k
    # waits (a bounded while) for the file FAKE_KILL_GO, having made FAKE_KILLING.
    "bin/wineserver": """
[ "wineserver $*" != "${FAKE_HANGS:-}" ] || exec sleep 600
if [ "$1" = -k ]; then
  if [ -n "${FAKE_KILL_GO:-}" ]; then
    touch "$FAKE_KILLING"
    for i in $(seq 1 300); do [ -e "$FAKE_KILL_GO" ] && break; sleep 0.1; done
  fi
  for pid in $(cat "$FAKE_PIDS" "${FAKE_HOLD:-/nothing}" 2>/dev/null); do
    kill -KILL "$pid" 2>/dev/null
  done
fi
exit 0
""",
    "bin/Xvfb": """
echo $$ >>"$FAKE_XVFB"
echo 99 >&3
exec sleep 600 3>&-
""",
    # The display's windows are files named by their X id, holding the pid of
    # their program; none shows unless a program makes one.
    "bin/xwininfo": """
case "$1" in
  -root)
    for window in "$FAKE_WINDOWS"/*; do
      [ ! -e "$window" ] || echo "     ${window##*/} \\"a window\\": ()  300x100+0+0  +0+0"
    done
    ;;
  -id) printf '  Map State: IsViewable\\n  Width: 300\\n  Height: 100\\n' ;;
esac
exit 0
""",
    "bin/xprop": 'echo "_NET_WM_PID(CARDINAL) = $(cat "$FAKE_WINDOWS/$2")"\n',
    # A picture of the display lists the windows that showed when it was
    # taken; one of a window names it. Each picture's window is recorded.
    "bin/import": """
echo "$2" >>"$FAKE_PICTURES"
if [ "$2" = root ]; then ls "$FAKE_WINDOWS" >"${@: -1}"; else echo "$2" >"${@: -1}"; fi
""",
}


def _write_stand_ins(root, names):
    for name in names:
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as stand_in:
            stand_in.write("#!/usr/bin/env bash\n" + _STAND_INS[name])
        os.chmod(path, 0o755)


class WindowsOfAProgram(unittest.TestCase):
    """The windows the run pictures: the program's largest, and the one it shows after a crash."""

    def test_windows_are_told_apart_by_program_and_by_being_new(self):
        with tempfile.TemporaryDirectory() as root:
            windows = os.path.join(root, "windows")
            os.makedirs(windows)
            # Two windows of program 10, one of program 11.
            for window, pid in (("0x1", 10), ("0x2", 10), ("0x3", 11)):
                with open(os.path.join(windows, window), "w") as file:
                    file.write(str(pid))
            _write_stand_ins(root, ["bin/xwininfo", "bin/xprop"])
            environment = dict(os.environ, FAKE_WINDOWS=windows,
                               PATH=os.path.join(root, "bin") + os.pathsep + os.environ["PATH"])
            cases = [
                # program, windows known before, the new one
                ("10", "", "0x1"),
                ("10", "0x1", "0x2"),
                ("10", "0x1\n0x2", ""),
                ("11", "0x1 0x2", "0x3"),
                ("12", "", ""),
            ]
            for program, known, new in cases:
                result = _bash('new_window "$1" "$2"', program, known, env=environment)
                self.assertEqual(result.stdout.strip(), new, (program, known))


class RunSteps(unittest.TestCase):
    """run.sh itself, with stand-ins for the program and what it needs."""

    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.root)
        for name in ("run.sh", "run-functions.sh", "wine-env.sh"):
            os.makedirs(os.path.join(self.root, "scripts"), exist_ok=True)
            shutil.copy(os.path.join(_SCRIPTS, name), os.path.join(self.root, "scripts", name))
        _write_stand_ins(self.root, _STAND_INS)
        self.out = os.path.join(self.root, "out")
        self.prefix = os.path.join(self.out, "wine")
        self.drive_c = os.path.join(self.root, "drive_c")
        self.drive_d = os.path.join(self.root, "drive_d")
        self.starts = os.path.join(self.root, "starts")
        self.prefix_log = os.path.join(self.root, "prefix-log")
        self.program_output = os.path.join(self.root, "output")
        self.windows = os.path.join(self.root, "windows")
        self.held = os.path.join(self.root, "held")
        self.pids = os.path.join(self.root, "pids")
        self.xvfb = os.path.join(self.root, "xvfb")
        self.pictures = os.path.join(self.root, "pictures")
        os.makedirs(self.out)
        os.makedirs(self.windows)
        self.addCleanup(self.stop_held_program)

    def stop_held_program(self):
        if os.path.exists(self.held):
            try:
                os.kill(int(_read(self.held)), signal.SIGKILL)
            except (ProcessLookupError, ValueError):
                pass

    def make_prepared_prefix(self):
        """A prefix marked by this preparation, with drive C, a drive D elsewhere and Z, the host's root."""
        os.makedirs(self.prefix)
        with open(os.path.join(self.prefix, "system.reg"), "w"):
            pass
        mark = subprocess.run(["bash", "-c", 'source "$0"; wine_env_mark_text',
                               os.path.join(self.root, "scripts", "wine-env.sh")],
                              capture_output=True, text=True, timeout=20, check=True).stdout
        with open(os.path.join(self.prefix, _PREPARED_MARK), "w") as file:
            file.write(mark)
        dosdevices = os.path.join(self.prefix, "dosdevices")
        os.makedirs(os.path.join(self.prefix, "drive_c"))
        os.makedirs(self.drive_d, exist_ok=True)
        os.makedirs(dosdevices)
        for letter, target in (("c:", "../drive_c"), ("d:", self.drive_d), ("z:", "/")):
            os.symlink(target, os.path.join(dosdevices, letter))

    def environment(self, output=b"", status=0, writes=None, **more):
        with open(self.program_output, "wb") as text:
            text.write(output)
        environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        # A run that missed what ends it still ends well within the tests' own deadlines.
        environment.update(RV_BUILD_OUT=self.out, RV_RUN_TIMEOUT="20", FAKE_DRIVE_C=self.drive_c,
                           FAKE_STARTS=self.starts, FAKE_PREFIX_LOG=self.prefix_log, FAKE_PIDS=self.pids,
                           FAKE_XVFB=self.xvfb, FAKE_PICTURES=self.pictures,
                           FAKE_OUTPUT=self.program_output, FAKE_STATUS=str(status), FAKE_WRITES=writes or "",
                           FAKE_WINDOWS=self.windows,
                           PATH=os.path.join(self.root, "bin") + os.pathsep + os.environ["PATH"])
        environment.update(more)
        return environment

    def run_script(self, *arguments, **program):
        return subprocess.run(["bash", os.path.join(self.root, "scripts", "run.sh"), *arguments],
                              capture_output=True, text=True, timeout=60, env=self.environment(**program),
                              cwd=self.root)

    def start_run(self, *arguments, display="", **program):
        """The run in a session of its own, started from the checkout as a user would; its output in a file."""
        environment = self.environment(**program)
        if display:
            environment["DISPLAY"] = display
        output = tempfile.TemporaryFile("w+", dir=self.root)
        # As from a terminal: Ctrl-C with the signal's default action (the
        # test may run where it is ignored).
        run = subprocess.Popen(["bash", os.path.join(self.root, "scripts", "run.sh"), *arguments],
                               stdout=output, stderr=subprocess.STDOUT, env=environment, cwd=self.root,
                               start_new_session=True,
                               preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        self.addCleanup(self.stop_session, run.pid)
        return run, output

    @staticmethod
    def stop_session(group):
        try:
            os.killpg(group, signal.SIGKILL)
        except ProcessLookupError:
            pass

    @staticmethod
    def finish_run(run, output):
        """The run's status and output, once it has ended (a hang guard bounds the wait)."""
        try:
            run.wait(timeout=60)
        finally:
            if run.poll() is None:
                os.killpg(run.pid, signal.SIGKILL)
                run.wait()
            output.seek(0)
            text = output.read()
            output.close()
        return run.returncode, text

    def program_starts(self):
        return _lines(self.starts)

    def locks_left(self):
        return [name for name in os.listdir(self.out) if name.endswith(".lock")]

    def test_a_silent_start_asked_for_installs_once(self):
        self.make_prepared_prefix()
        cases = [
            (["SILENT=TRUE"], 1),
            (["PartnerID=Silent"], 1),
            (["PartnerID=Moorland"], 2),
        ]
        for arguments, starts in cases:
            if os.path.exists(self.starts):
                os.remove(self.starts)
            result = self.run_script(*arguments)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            self.assertEqual(len(self.program_starts()), starts, (arguments, self.program_starts()))
            # The last start is the silent install, with what the script was given.
            self.assertIn("SILENT=TRUE", self.program_starts()[-1])
            self.assertIn(arguments[0], self.program_starts()[-1])

    def test_an_earlier_runs_picture_and_logs_do_not_pass_for_this_runs(self):
        self.make_prepared_prefix()
        for arguments in ([], ["SILENT=TRUE"]):
            left = {name: os.path.join(self.out, name)
                    for name in ("run-window.png", "run-display.png", "run-window.log")}
            for path in left.values():
                with open(path, "w") as earlier:
                    earlier.write("an earlier run's")
            result = self.run_script(*arguments)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            # No window showed in this run, nor did it end badly: no picture
            # is left, and the window's log, if any, is this run's.
            self.assertFalse(os.path.exists(left["run-window.png"]), arguments)
            self.assertFalse(os.path.exists(left["run-display.png"]), arguments)
            self.assertIn("removed an earlier run's run-window.png", result.stdout)
            if os.path.exists(left["run-window.log"]):
                self.assertNotIn("an earlier run's", _read(left["run-window.log"]))

    def test_a_failed_install_reports_the_folder_it_left_and_its_files(self):
        self.make_prepared_prefix()
        folder = os.path.join(self.drive_c, "Program Files", "Wendmoor")
        os.makedirs(os.path.join(folder, "Data"))
        for name in ("Data/a.dat", "Data/b.dat"):
            with open(os.path.join(folder, name), "w") as file:
                file.write("an earlier install's")
        failed = (b"Trace: 1: Install into C:\\Program Files\\Wendmoor begins\r\n"
                  b"Error: 2: Install failed: the game files are not all in C:\\Program Files\\Wendmoor\r\n")
        result = self.run_script("SILENT=TRUE", output=failed, status=1, writes=os.path.join(folder, "c.dat"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("install folder left by the failed install: C:\\Program Files\\Wendmoor "
                      "(%s): 3 files, 1 of them written by this run" % folder, result.stdout)
        self.assertNotIn("this run installed nothing", result.stdout)
        self.assertIn("Install failed: the game files are not all in", result.stdout)
        # One that stopped before making its folder says so.
        stopped = b"Error: 1: Install stopped: cannot work in D:\\Wendmoor (system error 3)\r\n"
        result = self.run_script("SILENT=TRUE", output=stopped, status=1)
        self.assertIn("install folder of the failed install: D:\\Wendmoor (not made)", result.stdout)

    def test_a_prefix_is_used_only_once_its_preparation_has_marked_it(self):
        kept = os.path.join(self.prefix, "drive_c", "users", "me", "kept.txt")
        own_font = os.path.join(self.prefix, "drive_c", "windows", "Fonts", "own.ttf")
        settings = ["reg SimSun (TrueType)", "reg Arial", "reg Auto", "reg Debugger", "reg ShowCrashDialog"]

        def plain_prefix():
            # As Wine makes one by itself (a "wine reg query" before any run),
            # or a preparation cut short: no mark, and things of its own.
            for path in (kept, own_font, os.path.join(self.prefix, "system.reg")):
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w") as file:
                    file.write("the prefix's own")

        def marked_by(mark):
            def make():
                plain_prefix()
                with open(os.path.join(self.prefix, _PREPARED_MARK), "w") as file:
                    file.write(mark)
            return make

        cases = [
            # what the prefix is, how it is made, what the run says, whether it is prepared
            ("none", lambda: None, "preparing the Wine prefix", True),
            ("plain", plain_prefix, "finishing the Wine prefix", True),
            ("marked", self.make_prepared_prefix, None, False),
            # Marked by other steps than the preparation's own, or by one
            # that named none: finished again, keeping what it holds.
            ("other", marked_by("preparation sha256:%s\n" % ("0" * 64)), "another version of its preparation", True),
            ("unnamed", marked_by("prepared 2025-01-01 00:00:00\n"), "another version of its preparation", True),
        ]
        for name, make, said, prepared in cases:
            shutil.rmtree(self.prefix, ignore_errors=True)
            for record in (self.starts, self.prefix_log):
                if os.path.exists(record):
                    os.remove(record)
            make()
            result = self.run_script("SILENT=TRUE")
            self.assertEqual(result.returncode, 0, (name, result.stdout + result.stderr))
            steps = _lines(self.prefix_log)
            if prepared:
                self.assertIn(said, result.stdout, name)
                self.assertIn("wineboot -u", steps, name)
                for setting in settings:
                    self.assertIn(setting + " (marked: no)", steps, name)
                self.assertTrue(os.path.exists(os.path.join(self.prefix, "drive_c", "windows", "Fonts",
                                                            "rvsimsun.ttf")), name)
            else:
                self.assertEqual([step for step in steps if step != "program (marked: yes)"], [], name)
            # The program starts once, in a prefix marked prepared.
            self.assertEqual(steps.count("program (marked: yes)"), 1, (name, steps))
            self.assertEqual(len(self.program_starts()), 1, name)
            self.assertTrue(os.path.exists(os.path.join(self.prefix, _PREPARED_MARK)), name)
            self.assertTrue(_read(os.path.join(self.prefix, _PREPARED_MARK)).startswith("preparation sha256:"), name)
            if name in ("plain", "other", "unnamed"):
                self.assertEqual(_read(kept), "the prefix's own")
                self.assertEqual(_read(own_font), "the prefix's own")

    def test_a_preparation_that_fails_or_is_cut_short_leaves_no_mark_and_is_done_again(self):
        # A setting that cannot be written: the run says so and starts nothing.
        result = self.run_script("SILENT=TRUE", FAKE_REG_FAILS="Arial")
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertIn("could not be prepared", result.stderr)
        self.assertIn("Arial cannot be set", result.stderr)
        self.assertEqual(self.program_starts(), [])
        self.assertFalse(os.path.exists(os.path.join(self.prefix, _PREPARED_MARK)))
        # Ctrl-C while the prefix boots.
        booting = os.path.join(self.root, "booting")
        shutil.rmtree(self.prefix)
        run, output = self.start_run("SILENT=TRUE", FAKE_BOOT_HOLD=booting)
        self.assertTrue(_wait_for(lambda: os.path.exists(booting) or run.poll() is not None))
        os.killpg(run.pid, signal.SIGINT)
        status, text = self.finish_run(run, output)
        self.assertEqual(status, 130, text)
        self.assertEqual(self.program_starts(), [])
        self.assertFalse(os.path.exists(os.path.join(self.prefix, _PREPARED_MARK)))
        self.assertEqual(self.locks_left(), [])
        # The next run finishes that prefix, then runs the program.
        result = self.run_script("SILENT=TRUE")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("finishing the Wine prefix", result.stdout)
        self.assertTrue(os.path.exists(os.path.join(self.prefix, _PREPARED_MARK)))
        self.assertEqual(len(self.program_starts()), 1)

    def test_a_crash_dump_ends_the_run_at_once_and_is_named(self):
        self.make_prepared_prefix()
        own = os.path.join(self.out, "run-cwd")
        temporary = os.path.join(self.prefix, "drive_c", "Program Files", "Wendmoor", "Temp")
        other_drive = os.path.join(self.drive_d, "Games", "Wendmoor")
        cases = [
            # display, arguments, the folder the program crashes in
            ("", ["SILENT=TRUE"], own),
            # The window's run, before any window showed.
            ("", [], own),
            # On the user's own display, where nothing else ends the run.
            (":nothing", [], own),
            # The program's temporary folder, four folders below Program Files.
            ("", ["SILENT=TRUE"], temporary),
            (":nothing", [], temporary),
            # An install folder on another drive of the prefix.
            ("", ["SILENT=TRUE"], other_drive),
        ]
        for display, arguments, folder in cases:
            row = (display, arguments, folder)
            dump = os.path.join(folder, "Dump", "WendmoorSetup_20250101_120000.dmp")
            for path in (self.held, dump, os.path.join(self.windows, "0x5"), self.starts, self.pictures):
                if os.path.exists(path):
                    os.remove(path)
            run, output = self.start_run(*arguments, display=display, FAKE_CRASH="1", FAKE_HOLD=self.held,
                                         FAKE_CRASH_IN=folder, RV_RUN_TIMEOUT="600")
            status, text = self.finish_run(run, output)
            self.assertEqual(status, 3, (row, text))
            self.assertIn("the program crashed: its crash dump is %s" % dump, text, row)
            self.assertEqual(len(self.program_starts()), 1, row)
            # The program was stopped.
            self.assertTrue(_ends(int(_read(self.held))), row)
            # The display was pictured once the crash box showed; the user's
            # display never whole, only the program's window.
            self.assertEqual(_read(os.path.join(self.out, "run-display.png")).split(), ["0x5"], row)
            self.assertEqual(_lines(self.pictures), ["0x5" if display else "root"], row)
            # The dump is in the program's folder, never in the checkout it was started from.
            self.assertFalse(os.path.exists(os.path.join(self.root, "Dump")), row)
            self.assertEqual(self.locks_left(), [], row)

    def test_a_dump_counts_once_written_whole_and_also_when_the_program_ends_with_it(self):
        self.make_prepared_prefix()
        dump = os.path.join(self.out, "run-cwd", "Dump", "WendmoorSetup_20250101_120000.dmp")
        cases = [
            # display, arguments, how the program crashes, the dump it leaves
            ("", ["SILENT=TRUE"], dict(FAKE_CRASH="1", FAKE_DUMP_PAUSE="2"), "dump\nrest of the dump\n"),
            (":nothing", [], dict(FAKE_CRASH="1", FAKE_DUMP_PAUSE="2"), "dump\nrest of the dump\n"),
            # Writes its dump and ends at once, with status 0.
            ("", ["SILENT=TRUE"], dict(FAKE_CRASH="ends"), "dump\n"),
            ("", [], dict(FAKE_CRASH="ends"), "dump\n"),
            (":nothing", [], dict(FAKE_CRASH="ends"), "dump\n"),
        ]
        for display, arguments, crash, whole in cases:
            row = (display, arguments, crash)
            for path in (self.held, dump, os.path.join(self.windows, "0x5"), self.pids):
                if os.path.exists(path):
                    os.remove(path)
            run, output = self.start_run(*arguments, display=display, FAKE_HOLD=self.held, RV_RUN_TIMEOUT="600",
                                         **crash)
            status, text = self.finish_run(run, output)
            self.assertEqual(status, 3, (row, text))
            self.assertIn("the program crashed: its crash dump is %s" % dump, text, row)
            # The run stopped the program only once its dump was whole.
            self.assertEqual(_read(dump), whole, row)
            self.assertTrue(all(_ends(int(pid)) for pid in _lines(self.pids)), row)
            self.assertEqual(self.locks_left(), [], row)

    def test_a_program_on_the_runs_own_display_is_stopped_at_the_bound(self):
        self.make_prepared_prefix()
        for arguments in (["SILENT=TRUE"], []):
            if os.path.exists(self.held):
                os.remove(self.held)
            run, output = self.start_run(*arguments, FAKE_HOLD=self.held, RV_RUN_TIMEOUT="1")
            status, text = self.finish_run(run, output)
            self.assertEqual(status, 124, (arguments, text))
            self.assertIn("the program has not ended within 1 s (RV_RUN_TIMEOUT)", text, arguments)
            self.assertTrue(_ends(int(_read(self.held))), arguments)
            self.assertTrue(os.path.exists(os.path.join(self.out, "run-display.png")), arguments)
            self.assertEqual(self.locks_left(), [], arguments)
        # A window on the user's own display is the user's to close: the bound
        # does not end a program that outlives it there.
        run, output = self.start_run("SILENT=TRUE", display=":nothing", FAKE_LIVES="3", RV_RUN_TIMEOUT="1")
        status, text = self.finish_run(run, output)
        self.assertEqual(status, 0, text)
        self.assertNotIn("has not ended", text)

    def test_ctrl_c_ends_a_run_and_what_it_started(self):
        self.make_prepared_prefix()
        for display in ("", ":nothing"):
            if os.path.exists(self.held):
                os.remove(self.held)
            run, output = self.start_run("SILENT=TRUE", display=display, FAKE_HOLD=self.held)
            self.assertTrue(_wait_for(lambda: os.path.exists(self.held) or run.poll() is not None), display)
            self.assertIsNone(run.poll(), display)
            # As a terminal's Ctrl-C: to the run's whole process group.
            os.killpg(run.pid, signal.SIGINT)
            status, text = self.finish_run(run, output)
            self.assertEqual(status, 130, (display, text))
            # The program was stopped.
            self.assertTrue(_ends(int(_read(self.held))), display)
            self.assertEqual(self.locks_left(), [], display)


    def test_a_second_ctrl_c_does_not_cut_the_clean_up_short(self):
        self.make_prepared_prefix()
        killing = os.path.join(self.root, "killing")
        go = os.path.join(self.root, "go")
        run, output = self.start_run("SILENT=TRUE", FAKE_HOLD=self.held, FAKE_KILLING=killing, FAKE_KILL_GO=go)
        self.assertTrue(_wait_for(lambda: os.path.exists(self.held) or run.poll() is not None))
        os.killpg(run.pid, signal.SIGINT)
        # The clean-up is stopping the prefix's programs: a second Ctrl-C.
        self.assertTrue(_wait_for(lambda: os.path.exists(killing) or run.poll() is not None))
        os.killpg(run.pid, signal.SIGINT)
        with open(go, "w"):
            pass
        status, text = self.finish_run(run, output)
        self.assertEqual(status, 130, text)
        self.assertTrue(_ends(int(_read(self.held))))
        self.assertTrue(all(_ends(int(pid)) for pid in _lines(self.xvfb)), text)
        self.assertEqual(len(_lines(self.xvfb)), 1)
        self.assertEqual(self.locks_left(), [])

    def test_on_the_users_display_the_output_shows_from_its_first_line(self):
        self.make_prepared_prefix()
        result = self.run_script("SILENT=TRUE", output=b"Trace: 1: first line\r\nTrace: 2: second line\r\n",
                                 DISPLAY=":nothing")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        lines = result.stdout.splitlines()
        self.assertIn("Trace: 1: first line", [line.rstrip("\r") for line in lines], result.stdout)
        self.assertLess(result.stdout.index("first line"), result.stdout.index("[run] program status"))

    def test_a_wine_tool_that_hangs_is_named_and_fails_the_run(self):
        installed = b"Trace: 1: The game is installed in C:\\Program Files\\Wendmoor\r\n"
        cases = [
            # the tool that hangs, whether the prefix is prepared, how it is named
            ("wineboot", False, "wineboot -u"),
            ("-w", False, "wineserver -w"),
            ("reg", False, "wine reg add"),
            ("winepath", True, "wine winepath -u C:\\Program Files\\Wendmoor"),
        ]
        for hangs, prepared, named in cases:
            shutil.rmtree(self.prefix, ignore_errors=True)
            if os.path.exists(self.starts):
                os.remove(self.starts)
            if prepared:
                self.make_prepared_prefix()
            run, output = self.start_run("SILENT=TRUE", output=installed, RV_WINE_TOOL_TIMEOUT="1",
                                         FAKE_HANGS="wineserver -w" if hangs == "-w" else hangs)
            status, text = self.finish_run(run, output)
            self.assertNotEqual(status, 0, (hangs, text))
            self.assertIn('the Wine tool "%s' % named, text, hangs)
            self.assertIn("did not end within 1 s", text, hangs)
            self.assertEqual(len(self.program_starts()), 1 if prepared else 0, hangs)
            self.assertEqual(os.path.exists(os.path.join(self.prefix, _PREPARED_MARK)), prepared, hangs)
            self.assertEqual(self.locks_left(), [], hangs)


class PrefixDrives(unittest.TestCase):
    def test_the_drives_looked_through_are_the_prefixs_own_folders(self):
        with tempfile.TemporaryDirectory() as root:
            prefix = os.path.join(root, "wine")
            elsewhere = os.path.join(root, "games")
            for folder in ("drive_c", "dosdevices"):
                os.makedirs(os.path.join(prefix, folder))
            os.makedirs(elsewhere)
            for name, target in [
                ("c:", "../drive_c"),
                # Another letter for drive C: one folder, looked through once.
                ("e:", os.path.join(prefix, "drive_c")),
                ("d:", elsewhere),
                # The host's root, a drive whose folder is gone, a device, a port.
                ("z:", "/"),
                ("f:", os.path.join(root, "gone")),
                ("d::", "/dev/null"),
                ("com1", "/dev/ttyS0"),
            ]:
                os.symlink(target, os.path.join(prefix, "dosdevices", name))
            result = _bash("prefix_drives", env=dict(os.environ, WINEPREFIX=prefix))
            self.assertEqual(sorted(result.stdout.splitlines()),
                             sorted([os.path.realpath(os.path.join(prefix, "drive_c")), os.path.realpath(elsewhere)]))


@unittest.skipUnless(os.environ.get("DISPLAY") and os.environ.get("WINEPREFIX") and shutil.which("wine")
                     and shutil.which("xprop"), "needs the test run's Wine prefix and display (scripts/test.sh)")
class ProgramWindow(unittest.TestCase):
    """Two programs with windows of the same title: each run finds its own."""

    def window_of(self, program):
        # Bounded only against a hang: a busy machine can take a minute to
        # start a Wine program and map its window.
        deadline = time.monotonic() + 180
        while time.monotonic() < deadline and program.poll() is None:
            found = _bash('scene_window "$1"', str(program.pid)).stdout.strip()
            if found:
                return found
            time.sleep(0.2)
        return ""

    def test_each_program_is_found_by_its_own_process(self):
        # Started by its path, as run.sh starts the setup program: Wine runs it
        # in the process it was given (by name alone, through a helper process).
        notepad = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "system32", "notepad.exe")
        programs = [subprocess.Popen(["wine", notepad], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    for _ in range(2)]
        try:
            windows = [self.window_of(program) for program in programs]
            self.assertTrue(all(windows), windows)
            self.assertNotEqual(windows[0], windows[1])
            for program, window in zip(programs, windows):
                owner = subprocess.run(["xprop", "-id", window, "_NET_WM_PID"], capture_output=True, text=True)
                self.assertEqual(owner.stdout.split("=")[-1].strip(), str(program.pid))
            # A process without a window has none found.
            self.assertEqual(_bash('scene_window "$1"', str(os.getpid())).stdout.strip(), "")
        finally:
            for program in programs:
                program.kill()
                program.wait()


if __name__ == "__main__":
    unittest.main()
