"""The tray program as a person uses it: the icon, both menus, launching, Exit, the shutdown
request, a second start and a broken data file."""

import os
import time
import unittest

from harness import (INTERNAL_SET, SCREEN, SETS_KEY, SessionTest, WineSession, centre, controls, message_text,
                     wait_for)

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"


class ProgramsMenuTest(SessionTest):
    def setUp(self):
        super().setUp()
        s = self.session
        self.marker = s.add_marker()
        s.write_data_file(b"&Marker\tC:\\mark.bat\t1\r\n-\t\t0\r\nMail\\tCtrl+M\tmailto:someone@example.com\t4\r\n"
                          b"Seven\tC:\\nothing.exe\t7\r\nPlain\tC:\\nothing.exe\t0\r\n")
        s.start()

    def test_the_menus_show_their_entries_and_a_chosen_program_runs_through_the_shell(self):
        s = self.session
        items = s.open_menu(3)
        s.screenshot("command-menu.png")
        self.assertEqual([i["text"] for i in items if i["default"]], ["&List..."])
        s.close_menu()
        items = s.open_menu(1)
        s.screenshot("programs-menu.png")
        # Icon 7 is above the internal set's five pictures: it shows none.
        self.assertEqual([(i["text"], i["separator"], i["picture"], i["default"]) for i in items],
                         [("&Marker", False, True, False), ("", True, False, False),
                          ("Mail\tCtrl+M", False, True, False), ("Seven", False, False, False),
                          ("Plain", False, False, False)])
        s.choose(items, "&Marker")
        wait_for(lambda: os.path.exists(self.marker), 20, what="the launched batch file")
        self.assertTrue(s.is_running())

    def test_exit_removes_the_icon_and_leaves_an_unchanged_list_as_it_was(self):
        s = self.session
        before = s.read_data_file()
        an_hour_ago = os.stat(s.data_file).st_mtime - 3600
        os.utime(s.data_file, (an_hour_ago, an_hour_ago))
        s.attrib("+h")
        s.command("E&xit")
        self.assertEqual(s.wait_exit(20), 0)
        wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")
        # Not written again: the same bytes (icon 7 kept, though the set has no picture for it),
        # time and attributes.
        self.assertEqual(s.read_data_file(), before)
        self.assertEqual(os.stat(s.data_file).st_mtime, an_hour_ago)
        self.assertIn("H", s.attrib())
        self.assertEqual(s.reg_query(SETS_KEY, "1"), INTERNAL_SET)

    def test_the_common_controls_and_dialogs_load_with_the_first_dialog_not_at_start(self):
        s = self.session
        self.assertEqual(s.loaded_dlls() & {"comctl32.dll", "comdlg32.dll"}, set())
        s.command("&List...", "List")
        self.assertIn("comctl32.dll", s.loaded_dlls())

    def test_about_box_switches_views_copies_its_link_and_closes_with_escape(self):
        s = self.session
        about = s.command("&About", "About Trayhound")
        s.screenshot("about.png")
        self.assertEqual(about["rect"][2:], [SCREEN[0] - 50, SCREEN[1] - 50])
        version = next(c for c in about["controls"] if c["text"].startswith("Version "))

        def lists():
            return [c for c in controls(s.find(about["hwnd"]), "ListBox") if c["visible"]]

        def view():
            heading = next(c["text"] for c in s.find(about["hwnd"])["controls"] if c["hwnd"] == version["hwnd"])
            return heading, [len(c["entries"]) for c in lists()]

        for keys, expected in [("F2", ("Application Info", [23])), ("shift+F3", ("Application Info", [23])),
                               ("F3", ("Thanks to:", [0])), ("F1", (version["text"], [])),
                               ("F2", ("Application Info", [23]))]:
            s.xdotool("key", keys)
            self.until(view, expected, f"the view after {keys}")

        properties = lists()[0]
        row = next(i for i, e in enumerate(properties["entries"]) if e.startswith("PrevInstance\t"))
        s.probe("lbselect", properties, row)
        s.probe("lbdblclk", properties)
        box = s.window("PrevInstance")
        self.assertEqual(message_text(box), "False")
        s.xdotool("key", "Return")
        self.gone(box)

        s.xdotool("key", "F1")
        self.until(view, (version["text"], []), "the main view with the mail link")
        link = next(c for c in about["controls"] if "@" in c["text"])
        s.click_at(*centre(link["rect"]), button=3)
        s.choose(wait_for(s.menus, 10, what="the link menu")[-1], "Copy Shortcut")
        copied = wait_for(lambda: s.probe("clipboard")["text"], 10, what="the link on the clipboard")
        self.assertTrue(copied.startswith("mailto:") and link["text"] in copied, copied)

        s.xdotool("key", "Escape")
        self.gone(about)


class ClickTest(SessionTest):
    """The left button: the programs menu as it is released, the list editor on a double click."""

    def test_a_click_opens_the_menu_at_once_and_a_second_click_decides_what_follows(self):
        s = self.session
        # A long double-click time, so that "at once" is far from it on a busy machine too.
        s.reg_set(r"HKCU\Control Panel\Mouse", "DoubleClickSpeed", "2000")
        s.double_click_time = 2.0
        s.start()
        s.inject()
        clicked = time.monotonic()
        s.click_icon(1)
        wait_for(s.menus, 10, interval=0.02, what="the programs menu")
        self.assertLess(time.monotonic() - clicked, 1.2, "the menu waited for a double click")
        s.close_menu()
        for pause, shows_list in [(0.15, True), (2.3, False)]:
            with self.subTest(seconds_between_clicks=pause):
                s.click_icon(1, double=True, delay=pause)
                time.sleep(0.5)
                lists = [w for w in s.windows() if w["text"] == "List"]
                self.assertEqual((len(lists), s.menus()), (int(shows_list), []))
                for window in lists:
                    self.close_with(window)


class ShutdownTest(SessionTest):
    def test_the_shutdown_request_ends_the_program_and_an_empty_list_is_written_only_when_saved(self):
        s = self.start()
        self.assertEqual([(i["text"], i["separator"]) for i in s.open_menu(1)], [("", False)])
        s.close_menu()
        self.assert_shutdown_request_ends_it()
        self.assertFalse(os.path.exists(os.path.dirname(s.data_file)), "an unchanged list writes nothing")
        s.start()
        self.close_with(s.command("&List...", "List"), "OK")
        wait_for(lambda: os.path.exists(s.data_file), 10, what="the data file")
        self.assertEqual(s.read_data_file(), b"")


class InstanceTest(SessionTest):
    def test_a_second_start_ends_silently_and_the_first_keeps_its_icon(self):
        s = self.start()
        self.assertEqual(s.run_second_instance(), 0)
        self.assertTrue(s.is_running())
        self.assertEqual(len(s.open_menu(3)), 7)

    def test_a_start_up_fault_shows_its_message_ends_without_an_icon_and_writes_nothing(self):
        bad = b"Good\tC:\\a.exe\t1\r\nBad\tC:\\b.exe\tseven\r\n"
        for fault, prepare, expected in [
                ("a malformed data file", lambda s: s.write_data_file(bad), "Line 2 of"),
                ("no AppData folder", lambda s: s.reg_set(SHELL_FOLDERS, "AppData", None), "Data Folder")]:
            with self.subTest(fault):
                s = WineSession(f"StartUpFault.{fault.replace(' ', '-')}")
                self.addCleanup(s.close)
                prepare(s)
                s.start(wait_icon=False)
                box = s.window("Trayhound", timeout=20)
                self.assertIn(expected, message_text(box))
                self.assertFalse(s.icon_shown())
                s.xdotool("key", "Return")
                self.assertEqual(s.wait_exit(20), 1)
                self.assertEqual(os.path.exists(s.data_file) and s.read_data_file(),
                                 bad if fault.endswith("file") else False)

if __name__ == "__main__":
    unittest.main()
