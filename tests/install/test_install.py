"""The packages as a Windows user meets them.

The portable zip must hold the built program, its help and the sample icon set byte for byte. The
setup program is run silently in a fresh Wine prefix: it installs, the installed Trayhound runs,
and the uninstaller asks it to end through the shutdown request before it removes anything.
"""

import os
import re
import shlex
import shutil
import signal
import subprocess
import time
import unittest
import zipfile

import harness
from harness import wait_for

SOURCE_DIR = os.environ["TRAYHOUND_SOURCE_DIR"]
HELP_CHM = os.environ["TRAYHOUND_HELP_CHM"]
PORTABLE_ZIP = os.environ["TRAYHOUND_PORTABLE_ZIP"]
SETUP_EXE = os.environ["TRAYHOUND_SETUP_EXE"]
FILE_VERSION = os.environ["TRAYHOUND_FILE_VERSION"]
SAMPLE_SET = os.path.join(SOURCE_DIR, "samples", "Classic")

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trayhound"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
COMMAND_KEY = harness.SETTINGS_KEY + r"\Command"
ICON_SETS_KEY = harness.SETTINGS_KEY + r"\Options\LastIconSetFileNames"
INSTALL_DIR = r"C:\Program Files\Trayhound"
INSTALLED_EXE = INSTALL_DIR + r"\Trayhound.exe"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Trayhound.lnk"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def sample_files():
    """The sample set's files by their path inside the set, with "/" between folders."""
    files = {}
    for folder, _, names in os.walk(SAMPLE_SET):
        for name in names:
            path = os.path.join(folder, name)
            files[os.path.relpath(path, SAMPLE_SET).replace(os.sep, "/")] = read(path)
    return files


class PortableZipTest(unittest.TestCase):
    def setUp(self):
        self.zip = zipfile.ZipFile(PORTABLE_ZIP)
        self.addCleanup(self.zip.close)

    def test_holds_the_program_its_help_and_the_sample_set_unchanged(self):
        expected = {"Trayhound.exe": read(harness.TRAYHOUND_EXE), "Trayhound.chm": read(HELP_CHM)}
        expected |= {f"Samples/Classic/{name}": content for name, content in sample_files().items()}
        files = sorted(name for name in self.zip.namelist() if not name.endswith("/"))
        self.assertEqual(files, sorted([*expected, "README.txt"]))
        for name, content in expected.items():
            with self.subTest(name=name):
                self.assertEqual(self.zip.read(name), content)

    def test_icon_set_keeps_its_cr_lf_line_ends(self):
        iconset = self.zip.read("Samples/Classic/Classic.iconset")
        self.assertIn(b"\r\n", iconset)
        self.assertIsNone(re.search(rb"(?<!\r)\n", iconset))

    def test_readme_tells_where_the_data_lives_and_how_scripts_end_trayhound(self):
        readme = self.zip.read("README.txt")
        self.assertIsNone(re.search(rb"(?<!\r)\n", readme), "README.txt must have CR LF line ends")
        for text in (FILE_VERSION, r"%APPDATA%\Trayhound\Document.dat",
                     r'reg add "HKCU\Software\VB and VBA Program Settings\Trayhound\Command" /v Shutdown',
                     "shell:startup", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"):
            with self.subTest(text=text):
                self.assertIn(text.encode(), readme)


class SetupTest(harness.SessionTest):
    def setUp(self):
        super().setUp()
        # Shortcuts would otherwise turn into menu entries of this machine's own desktop.
        self.session.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        shutil.copy(SETUP_EXE, os.path.join(self.session.drive_c, "Trayhound-setup.exe"))

    # Helpers ---------------------------------------------------------------------------------

    def linux_path(self, windows_path):
        return os.path.join(self.session.drive_c, *windows_path[3:].split("\\"))

    def wine(self, *args, timeout=30):
        """Runs a Windows program to its end and returns its exit code."""
        with open(os.path.join(self.session.dir, "wine.log"), "ab") as log:
            return subprocess.run(["wine", *args], env=self.session.env, stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log, close_fds=True, timeout=timeout).returncode

    def reg_values(self, key):
        """The key's values as texts by name, or None when the key does not exist."""
        result = subprocess.run(["wine", "reg", "query", key], env=self.session.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, close_fds=True, timeout=30)
        if result.returncode != 0:
            return None
        lines = result.stdout.decode("utf-8", "replace").splitlines()
        return {match[1]: match[3] or "" for line in lines
                if (match := re.fullmatch(r"    (\S.*?)    (REG_\w+)(?:    (.*))?", line))}

    def key_exists(self, key):
        return self.reg_values(key) is not None

    def install(self, *options):
        self.assertEqual(self.wine(r"C:\Trayhound-setup.exe", "/S", *options), 0)

    def uninstall(self, *options):
        """Runs the uninstaller that Apps & features names and waits until it has finished."""
        command = self.reg_values(UNINSTALL_KEY)["UninstallString"]
        # It runs a copy of itself from the temporary folder and returns at once; the copy
        # removes the entry last.
        self.assertEqual(self.wine(*shlex.split(command), "/S", *options), 0)
        wait_for(lambda: not self.key_exists(UNINSTALL_KEY), 30, interval=0.2, what="the uninstaller")

    def trayhound_processes(self):
        """Ids of the Trayhound.exe processes of this session's prefix."""
        marker = f"WINEPREFIX={self.session.prefix}".encode()
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                program = read(f"/proc/{pid}/cmdline").split(b"\0")[0]
                environment = read(f"/proc/{pid}/environ").split(b"\0")
            except OSError:
                continue
            if program.lower().endswith(b"trayhound.exe") and marker in environment:
                found.append(int(pid))
        return found

    def assert_installed(self, install_dir=INSTALL_DIR):
        program_dir = self.linux_path(install_dir)
        self.assertEqual(read(os.path.join(program_dir, "Trayhound.exe")), read(harness.TRAYHOUND_EXE))
        self.assertEqual(read(os.path.join(program_dir, "Trayhound.chm")), read(HELP_CHM))
        for name, content in sample_files().items():
            with self.subTest(sample=name):
                self.assertEqual(read(os.path.join(program_dir, "Samples", "Classic", name)), content)
        self.assertTrue(os.path.isfile(os.path.join(program_dir, "Uninstall.exe")))
        self.assertTrue(os.path.isfile(self.linux_path(SHORTCUT)))
        entry = self.reg_values(UNINSTALL_KEY)
        self.assertLessEqual({"DisplayName": "Trayhound", "DisplayVersion": FILE_VERSION,
                              "Publisher": "Wexmoor", "InstallLocation": install_dir,
                              "UninstallString": f'"{install_dir}\\Uninstall.exe"',
                              "QuietUninstallString": f'"{install_dir}\\Uninstall.exe" /S'}.items(),
                             entry.items())

    def assert_program_removed(self):
        self.assertFalse(os.path.exists(self.linux_path(INSTALL_DIR)))
        self.assertFalse(os.path.exists(self.linux_path(SHORTCUT)))
        self.assertFalse(self.key_exists(UNINSTALL_KEY))

    def assert_ended_through_the_request(self):
        self.assertEqual(self.trayhound_processes(), [])
        self.assertFalse(self.session.icon_shown())
        self.assertIsNone(self.session.reg_query(COMMAND_KEY, "Shutdown"))

    # Tests -----------------------------------------------------------------------------------

    def test_installs_to_start_with_windows_and_uninstalls_keeping_the_list_and_settings(self):
        session = self.session
        self.install()
        self.assert_installed()
        run = session.reg_query(RUN_KEY, "Trayhound")
        self.assertEqual(run, f'"{INSTALLED_EXE}"')

        # Started as Windows starts it at sign-in, from the Run value's command line.
        session.start(exe=shlex.split(run)[0])
        self.uninstall()

        self.assertEqual(session.wait_exit(10), 0)
        self.assert_ended_through_the_request()
        self.assert_program_removed()
        self.assertIsNone(session.reg_query(RUN_KEY, "Trayhound"))
        # It saved the list on its way out; the list and the settings stay for a later install.
        self.assertTrue(os.path.isfile(session.data_file))
        self.assertIsNotNone(session.reg_query(ICON_SETS_KEY, "count"))

    def test_installs_without_startup_and_uninstall_removes_the_list_and_settings_when_asked(self):
        session = self.session
        # The user starts a portable copy with Windows; that is none of setup's business.
        portable = r'"C:\Tools\Trayhound\Trayhound.exe"'
        session.reg_add(RUN_KEY, "Trayhound", portable)
        self.install("/NOSTARTUP")
        self.assert_installed()
        self.assertEqual(session.reg_query(RUN_KEY, "Trayhound"), portable)

        # Started from its Start menu shortcut.
        self.assertEqual(self.wine("start", SHORTCUT), 0)
        session.wait_for_icon()
        self.assertEqual(len(self.trayhound_processes()), 1)
        self.uninstall("/REMOVEDATA")

        self.assert_ended_through_the_request()
        self.assert_program_removed()
        self.assertEqual(session.reg_query(RUN_KEY, "Trayhound"), portable)
        # Removed after Trayhound had ended, so its last save did not bring the list back.
        self.assertFalse(os.path.exists(os.path.dirname(session.data_file)))
        self.assertFalse(self.key_exists(harness.SETTINGS_KEY))

    def test_uninstall_fails_and_withdraws_its_request_while_trayhound_does_not_end(self):
        session = self.session
        # A folder of the user's choice; one without blanks, so that the uninstaller can be told
        # where it is on its command line, as it tells its own copy.
        install_dir = r"C:\Apps\Trayhound"
        self.install("/NOSTARTUP", f"/D={install_dir}")
        self.assert_installed(install_dir)
        program = session.start(exe=install_dir + r"\Trayhound.exe")
        # A Trayhound that never looks at its settings again.
        os.kill(program.pid, signal.SIGSTOP)
        self.addCleanup(lambda: program.poll() is None and os.kill(program.pid, signal.SIGCONT))
        # A copy of the uninstaller run in place, as it runs itself, to see its exit code.
        shutil.copy(os.path.join(self.linux_path(install_dir), "Uninstall.exe"),
                    os.path.join(session.drive_c, "Uninstall-copy.exe"))
        started = time.monotonic()
        code = self.wine(r"C:\Uninstall-copy.exe", "/S", f"_?={install_dir}")
        waited = time.monotonic() - started
        # Setup cannot replace it either.
        setup_code = self.wine(r"C:\Trayhound-setup.exe", "/S", "/NOSTARTUP", f"/D={install_dir}")
        os.kill(program.pid, signal.SIGCONT)

        self.assertEqual(code, 2)
        self.assertGreaterEqual(waited, 10)
        self.assertEqual(setup_code, 2)
        self.assertIsNone(session.reg_query(COMMAND_KEY, "Shutdown"))
        self.assertTrue(os.path.isfile(os.path.join(self.linux_path(install_dir), "Trayhound.exe")))
        self.assertTrue(self.key_exists(UNINSTALL_KEY))
        # With the request withdrawn it keeps running past its next look at the settings.
        time.sleep(6)
        self.assertTrue(session.is_running())
        self.assertTrue(session.icon_shown())

        # Ended some other way, it is no longer in the uninstaller's way; with nothing to end,
        # the uninstaller writes no request, which would end the next start of Trayhound.
        program.kill()
        program.wait(10)
        self.uninstall()
        self.assertFalse(os.path.exists(self.linux_path(install_dir)))
        self.assertFalse(self.key_exists(COMMAND_KEY))


if __name__ == "__main__":
    unittest.main()
