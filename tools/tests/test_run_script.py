"""The run script: its usage, the locks that keep two runs apart, and what it
reads from the program's output."""

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


def _bash(script, *arguments, timeout=20):
    return subprocess.run(["bash", "-c", 'source "$0"; ' + script, _FUNCTIONS, *arguments],
                          capture_output=True, text=True, timeout=timeout)


def _ends(pid):
    """Whether the process ends; waits for that state (a hang guard bounds it)."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        try:
            with open("/proc/%d/stat" % pid) as stat:
                if stat.read().rsplit(")", 1)[1].split()[0] == "Z":
                    return True
        except FileNotFoundError:
            return True
        time.sleep(0.05)
    return False


class Usage(unittest.TestCase):
    def run_script(self, *arguments):
        with tempfile.TemporaryDirectory() as out:
            # A build folder of its own: a script that set up or built anything
            # would leave it there.
            environment = dict(os.environ, RV_BUILD_OUT=os.path.join(out, "build"))
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


class RunLocks(unittest.TestCase):
    def test_a_lock_is_one_runs_while_it_lives_and_taken_over_after(self):
        with tempfile.TemporaryDirectory() as root:
            lock = os.path.join(root, "run-slot-1.lock")
            # The holder becomes its sleep: killed, it leaves no process behind.
            holder = subprocess.Popen(["bash", "-c", 'source "$0"; try_lock "$1" && echo held; exec sleep 60',
                                       _FUNCTIONS, lock], stdout=subprocess.PIPE, text=True)
            try:
                self.assertEqual(holder.stdout.readline().strip(), "held")
                # A second run neither gets the lock nor frees it.
                self.assertEqual(_bash('try_lock "$1"', lock).returncode, 1)
                self.assertEqual(_bash('release_lock "$1"', lock).returncode, 0)
                with open(os.path.join(lock, "pid")) as pid:
                    self.assertEqual(int(pid.read()), holder.pid)
            finally:
                holder.kill()
                holder.wait()
                holder.stdout.close()
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
            (b"Error: 1: Install folder E:\\Games\\Wendmoor cannot be made: the default folder is used\r\n"
             b"Error: 2: Install stopped: cannot work in C:\\Program Files\\Wendmoor (system error 5)\r\n",
             "C:\\Program Files\\Wendmoor"),
            # The folder, or the default one tried after it, could not be made.
            (b"Error: 1: Install stopped: install folder C:\\Program Files\\Wendmoor cannot be made "
             b"(system error 267)\r\n", "C:\\Program Files\\Wendmoor"),
            (b"Error: 1: Install folder E:\\G cannot be made (system error 5): the default folder C:\\W is tried\r\n"
             b"Error: 2: Install stopped: default install folder C:\\W cannot be made either (system error 5)\r\n",
             "C:\\W"),
            # No folder at all to work in.
            (b"Error: 1: Install stopped: cannot work in  (system error 0)\r\n", ""),
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


# Stand-ins for what run.sh drives (set-up, build, Wine, the display, the
# local servers), so that its own steps run in seconds: the program records
# each start and answers with the output and status the test gives it.
_STAND_INS = {
    "scripts/setup.sh": "exit 0\n",
    "scripts/build.sh": "exit 0\n",
    "scripts/wine-env.sh": """
wine_env_export() {
  export WINEPREFIX="$1/wine${2:+-$2}" HOME="$1/home${2:+-$2}"
  mkdir -p "$WINEPREFIX" "$HOME"
  touch "$WINEPREFIX/system.reg"
}
wine_env_start_xvfb() { export DISPLAY=:nothing; }
wine_env_make_prefix() { :; }
# As wineserver -k would: the prefix's programs are stopped.
wine_env_stop() { [ ! -f "${FAKE_HOLD:-}" ] || kill "$(cat "$FAKE_HOLD")" 2>/dev/null || true; }
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
case "$1" in
  winepath) path="${3#C:\\}"; echo "$FAKE_DRIVE_C/${path//\\//}" ;;
  reg | taskkill) ;;
  *)
    echo "$*" >>"$FAKE_STARTS"
    cat "$FAKE_OUTPUT"
    # A held program runs until it is stopped, and as a Wine program does,
    # it does not end on Ctrl-C.
    if [ -n "${FAKE_HOLD:-}" ]; then
      trap '' INT
      echo $$ >"$FAKE_HOLD.new"
      mv "$FAKE_HOLD.new" "$FAKE_HOLD"
      exec sleep 600
    fi
    [ -z "${FAKE_WRITES:-}" ] || echo written >"$FAKE_WRITES"
    exit "$FAKE_STATUS"
    ;;
esac
""",
    "bin/wineserver": "exit 0\n",
    # No window ever shows on the stand-in display.
    "bin/xwininfo": "exit 0\n",
    "bin/xprop": "exit 0\n",
}


class RunSteps(unittest.TestCase):
    """run.sh itself, with stand-ins for the program and what it needs."""

    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.root)
        for name in ("run.sh", "run-functions.sh"):
            os.makedirs(os.path.join(self.root, "scripts"), exist_ok=True)
            shutil.copy(os.path.join(_SCRIPTS, name), os.path.join(self.root, "scripts", name))
        for name, text in _STAND_INS.items():
            path = os.path.join(self.root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as stand_in:
                stand_in.write("#!/usr/bin/env bash\n" + text)
            os.chmod(path, 0o755)
        self.out = os.path.join(self.root, "out")
        self.drive_c = os.path.join(self.root, "drive_c")
        self.starts = os.path.join(self.root, "starts")
        self.program_output = os.path.join(self.root, "output")
        os.makedirs(self.out)

    def environment(self, output=b"", status=0, writes=None, **more):
        with open(self.program_output, "wb") as text:
            text.write(output)
        environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        environment.update(RV_BUILD_OUT=self.out, FAKE_DRIVE_C=self.drive_c, FAKE_STARTS=self.starts,
                           FAKE_OUTPUT=self.program_output, FAKE_STATUS=str(status), FAKE_WRITES=writes or "",
                           PATH=os.path.join(self.root, "bin") + os.pathsep + os.environ["PATH"], **more)
        return environment

    def run_script(self, *arguments, **program):
        return subprocess.run(["bash", os.path.join(self.root, "scripts", "run.sh"), *arguments],
                              capture_output=True, text=True, timeout=60, env=self.environment(**program))

    def program_starts(self):
        with open(self.starts) as starts:
            return starts.read().splitlines()

    def test_a_silent_start_asked_for_installs_once(self):
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
        for arguments in ([], ["SILENT=TRUE"]):
            left = {name: os.path.join(self.out, name) for name in ("run-window.png", "run-window.log")}
            for path in left.values():
                with open(path, "w") as earlier:
                    earlier.write("an earlier run's")
            result = self.run_script(*arguments)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            # No window showed in this run: no picture is left, and the
            # window's log, if any, is this run's.
            self.assertFalse(os.path.exists(left["run-window.png"]), arguments)
            self.assertIn("removed an earlier run's run-window.png", result.stdout)
            if os.path.exists(left["run-window.log"]):
                with open(left["run-window.log"]) as log:
                    self.assertNotIn("an earlier run's", log.read())

    def test_a_failed_install_reports_the_folder_it_left_and_its_files(self):
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

    def test_ctrl_c_ends_a_run_and_what_it_started(self):
        held = os.path.join(self.root, "held")
        for display in ("", ":nothing"):
            if os.path.exists(held):
                os.remove(held)
            environment = self.environment(FAKE_HOLD=held)
            if display:
                environment["DISPLAY"] = display
            # As a terminal's Ctrl-C: to the run's whole process group, with
            # the signal's default action (the test may run where it is ignored).
            run = subprocess.Popen(["bash", os.path.join(self.root, "scripts", "run.sh"), "SILENT=TRUE"],
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment,
                                   start_new_session=True,
                                   preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
            try:
                while not os.path.exists(held) and run.poll() is None:
                    time.sleep(0.05)
                self.assertIsNone(run.poll(), display)
                os.killpg(run.pid, signal.SIGINT)
                run.wait(timeout=30)
            finally:
                if run.poll() is None:
                    os.killpg(run.pid, signal.SIGKILL)
                    run.wait()
                output = run.stdout.read()
                run.stdout.close()
            self.assertEqual(run.returncode, 130, (display, output))
            with open(held) as pid:
                program = int(pid.read())
            # The program was stopped: it ends (gone, or left for its reaper).
            self.assertTrue(_ends(program), display)
            self.assertEqual([name for name in os.listdir(self.out) if name.endswith(".lock")], [], display)


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
