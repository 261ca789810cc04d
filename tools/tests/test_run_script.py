"""The run script: its usage, the locks that keep two runs apart, and what it
reads from the program's output."""

import os
import shutil
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
    def test_the_install_folder_is_the_last_one_the_program_names(self):
        cases = [
            (b"Trace: 1: Install into C:\\A begins\r\nTrace: 2: The game is installed in C:\\Program Files\\"
             b"Wendmoor Moorland\r\n", "C:\\Program Files\\Wendmoor Moorland"),
            (b"Trace: 1: The game is installed in C:\\A\r\nTrace: 2: The game is installed in D:\\B\r\n", "D:\\B"),
            # A failed install names the folder it began in, never one it is installed in.
            (b"Trace: 1: Install into C:\\Program Files\\Wendmoor begins\r\nError: 2: Install failed\r\n", ""),
            (b"", ""),
        ]
        with tempfile.TemporaryDirectory() as root:
            output = os.path.join(root, "run-silent.log")
            for text, folder in cases:
                with open(output, "wb") as out:
                    out.write(text)
                result = _bash('installed_location "$1"', output)
                self.assertEqual(result.stdout.rstrip("\n"), folder, text)


@unittest.skipUnless(os.environ.get("DISPLAY") and os.environ.get("WINEPREFIX") and shutil.which("wine")
                     and shutil.which("xprop"), "needs the test run's Wine prefix and display (scripts/test.sh)")
class ProgramWindow(unittest.TestCase):
    """Two programs with windows of the same title: each run finds its own."""

    def window_of(self, pid):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            found = _bash('scene_window "$1"', str(pid)).stdout.strip()
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
            windows = [self.window_of(program.pid) for program in programs]
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
