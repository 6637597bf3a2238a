"""The packages as a Windows user meets them: the portable zip holds the built program, its help and
the sample icon set byte for byte; setup, run silently in a fresh Wine prefix, installs a Trayhound
that runs, and the uninstaller asks it to end through the shutdown request before removing it."""

import contextlib
import os
import re
import shlex
import shutil
import signal
import subprocess
import time
import unittest
import zipfile
from pathlib import Path

import harness

SOURCE_DIR, HELP_CHM, PORTABLE_ZIP, SETUP_EXE, FILE_VERSION = (
    os.environ["TRAYHOUND_" + name]
    for name in ("SOURCE_DIR", "HELP_CHM", "PORTABLE_ZIP", "SETUP_EXE", "FILE_VERSION"))

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trayhound"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
COMMAND_KEY = harness.SETTINGS_KEY + r"\Command"
INSTALL_DIR = r"C:\Program Files\Trayhound"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Trayhound.lnk"


def packaged_files():
    """The program, its help and the sample set's files by their path in a package."""
    samples = Path(SOURCE_DIR, "samples", "Classic")
    files = {f"Samples/Classic/{path.relative_to(samples).as_posix()}": path.read_bytes()
             for path in samples.rglob("*") if path.is_file()}
    return files | {name: Path(path).read_bytes()
                    for name, path in (("Trayhound.exe", harness.TRAYHOUND_EXE), ("Trayhound.chm", HELP_CHM))}


class PortableZipTest(unittest.TestCase):
    def test_holds_the_program_its_help_the_sample_set_and_a_readme_with_cr_lf_line_ends(self):
        with zipfile.ZipFile(PORTABLE_ZIP) as package:
            files = {name: package.read(name) for name in package.namelist() if not name.endswith("/")}
        expected = packaged_files()
        self.assertEqual(sorted(files), sorted([*expected, "README.txt"]))
        for name, content in expected.items():
            self.assertTrue(files[name] == content, f"{name} differs from the built one")
        for name in ("Samples/Classic/Classic.iconset", "README.txt"):
            self.assertTrue(b"\r\n" in files[name] and not re.search(rb"(?<!\r)\n", files[name]),
                            f"{name} must have CR LF line ends")
        # Where the data lives and how scripts end Trayhound.
        for text in (FILE_VERSION, r"%APPDATA%\Trayhound\Document.dat",
                     r'reg add "HKCU\Software\VB and VBA Program Settings\Trayhound\Command" /v Shutdown',
                     "shell:startup", RUN_KEY):
            self.assertIn(text.encode(), files["README.txt"])


class SetupTest(harness.SessionTest):
    def linux_path(self, windows_path):
        return os.path.join(self.session.drive_c, *windows_path[3:].split("\\"))

    def wine(self, *args):
        """Runs a Windows program to its end and returns its exit code."""
        with open(os.path.join(self.session.dir, "wine.log"), "ab") as log:
            return subprocess.run(["wine", *args], env=self.session.env, stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log, close_fds=True, timeout=30).returncode

    def key_exists(self, key):
        return self.session.reg("query", key) is not None

    def trayhound_processes(self):
        """How many Trayhound.exe processes run in this session's prefix."""
        marker, count = f"WINEPREFIX={self.session.prefix}".encode(), 0
        for proc in Path("/proc").glob("[0-9]*"):
            with contextlib.suppress(OSError):
                count += ((proc / "cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"trayhound.exe")
                          and marker in (proc / "environ").read_bytes().split(b"\0"))
        return count

    def install(self, *options, install_dir=INSTALL_DIR):
        # Shortcuts would otherwise turn into menu entries of this machine's own desktop.
        self.session.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        shutil.copy(SETUP_EXE, self.linux_path(r"C:\Trayhound-setup.exe"))
        self.assertEqual(self.wine(r"C:\Trayhound-setup.exe", "/S", *options), 0)
        for name, content in packaged_files().items():
            installed = install_dir + "\\" + name.replace("/", "\\")
            self.assertTrue(Path(self.linux_path(installed)).read_bytes() == content, f"{installed} differs")
        for path in (install_dir + r"\Uninstall.exe", SHORTCUT):
            self.assertTrue(os.path.isfile(self.linux_path(path)), path)
        uninstaller = f'"{install_dir}\\Uninstall.exe"'
        expected = {"DisplayName": "Trayhound", "DisplayVersion": FILE_VERSION, "Publisher": "Wexmoor",
                    "InstallLocation": install_dir, "UninstallString": uninstaller,
                    "QuietUninstallString": uninstaller + " /S"}
        self.assertEqual({name: self.session.reg_query(UNINSTALL_KEY, name) for name in expected}, expected)

    def uninstall(self, *options):
        """Runs the uninstaller that Apps & features names and waits until it has finished."""
        command = self.session.reg_query(UNINSTALL_KEY, "UninstallString")
        # It returns at once, leaving the work to a copy of itself that removes the entry last.
        self.assertEqual(self.wine(*shlex.split(command), "/S", *options), 0)
        harness.wait_for(lambda: not self.key_exists(UNINSTALL_KEY), 30, interval=0.2, what="the uninstaller")

    def assert_ended_through_the_request_and_removed(self):
        # Under Wine the process can outlive, briefly, the ending that the uninstaller waited for.
        harness.wait_for(lambda: self.trayhound_processes() == 0, 10, "Trayhound's process to go")
        self.assertFalse(self.session.icon_shown())
        self.assertIsNone(self.session.reg_query(COMMAND_KEY, "Shutdown"))
        self.assertFalse(any(os.path.exists(self.linux_path(path)) for path in (INSTALL_DIR, SHORTCUT)))

    def test_installs_to_start_with_windows_and_uninstalls_keeping_the_list_and_settings(self):
        s = self.session
        self.install()
        run = s.reg_query(RUN_KEY, "Trayhound")
        self.assertEqual(run, f'"{INSTALL_DIR}\\Trayhound.exe"')
        # Started as Windows starts it at sign-in, from the Run value's command line.
        s.write_data_file(b"Mine\tC:\\mine.exe\t1\r\n")
        s.start(exe=shlex.split(run)[0])
        self.uninstall()
        self.assertEqual(s.wait_exit(10), 0)
        self.assert_ended_through_the_request_and_removed()
        self.assertIsNone(s.reg_query(RUN_KEY, "Trayhound"))
        # The list and the settings stay for a later install.
        self.assertEqual(s.read_data_file(), b"Mine\tC:\\mine.exe\t1\r\n")
        self.assertIsNotNone(s.reg_query(harness.SETTINGS_KEY + r"\Options\LastIconSetFileNames", "count"))

    def test_installs_without_startup_and_uninstall_removes_the_list_and_settings_when_asked(self):
        s = self.session
        # The user starts a portable copy with Windows; that is none of setup's business.
        portable = r'"C:\Tools\Trayhound\Trayhound.exe"'
        s.reg_set(RUN_KEY, "Trayhound", portable)
        self.install("/NOSTARTUP")
        # Started from its Start menu shortcut.
        self.assertEqual(self.wine("start", SHORTCUT), 0)
        harness.wait_for(s.icon_shown, 30, "the tray icon")
        self.assertEqual(self.trayhound_processes(), 1)
        self.uninstall("/REMOVEDATA")
        self.assert_ended_through_the_request_and_removed()
        self.assertEqual(s.reg_query(RUN_KEY, "Trayhound"), portable)
        # Removed after Trayhound had ended, so its last save did not bring the list back.
        self.assertFalse(os.path.exists(os.path.dirname(s.data_file)))
        self.assertFalse(self.key_exists(harness.SETTINGS_KEY))

    def test_uninstall_fails_and_withdraws_its_request_while_trayhound_does_not_end(self):
        s = self.session
        # A folder of the user's choice, without blanks: the uninstaller is told it on its command line.
        install_dir = r"C:\Apps\Trayhound"
        self.install("/NOSTARTUP", f"/D={install_dir}", install_dir=install_dir)
        program = s.start(exe=install_dir + r"\Trayhound.exe")
        # A Trayhound that never looks at its settings again.
        os.kill(program.pid, signal.SIGSTOP)
        self.addCleanup(lambda: program.poll() is None and os.kill(program.pid, signal.SIGCONT))
        # A copy of the uninstaller run in place, as it runs itself, to see its exit code.
        copy = r"C:\Uninstall-copy.exe"
        shutil.copy(self.linux_path(install_dir + r"\Uninstall.exe"), self.linux_path(copy))
        started = time.monotonic()
        self.assertEqual(self.wine(copy, "/S", f"_?={install_dir}"), 2)
        self.assertGreaterEqual(time.monotonic() - started, 10)
        # Setup cannot replace it either.
        self.assertEqual(self.wine(r"C:\Trayhound-setup.exe", "/S", "/NOSTARTUP", f"/D={install_dir}"), 2)
        os.kill(program.pid, signal.SIGCONT)
        self.assertIsNone(s.reg_query(COMMAND_KEY, "Shutdown"))
        self.assertTrue(os.path.isfile(self.linux_path(install_dir + r"\Trayhound.exe")))
        self.assertTrue(self.key_exists(UNINSTALL_KEY))
        # With the request withdrawn it keeps running past its next look at the settings.
        time.sleep(6)
        self.assertTrue(s.is_running() and s.icon_shown())

        # Ended some other way, it is no longer in the uninstaller's way; with nothing to end,
        # the uninstaller writes no request, which would end the next start of Trayhound.
        program.kill()
        program.wait(10)
        self.uninstall()
        self.assertFalse(os.path.exists(self.linux_path(install_dir)))
        self.assertFalse(self.key_exists(COMMAND_KEY))


if __name__ == "__main__":
    unittest.main()
