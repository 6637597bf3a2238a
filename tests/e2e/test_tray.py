"""The tray program as a person uses it: the icon, both menus, launching, Exit, the shutdown
request, a second start and a broken data file."""

import os
import unittest

from harness import SETTINGS_KEY, SessionTest, wait_for

COMMAND_MENU = ["&List...", "&Options...", "", "&Help", "&About", "", "E&xit"]


class ProgramsMenuTest(SessionTest):
    def setUp(self):
        super().setUp()
        s = self.session
        self.marker = os.path.join(s.drive_c, "launched.txt")
        with open(os.path.join(s.drive_c, "mark.bat"), "wb") as f:
            f.write(b"@echo launched> C:\\launched.txt\r\n")
        s.write_data_file(
            b"&Marker\tC:\\mark.bat\t1\r\n"
            b"-\t\t0\r\n"
            b"Mail\\tCtrl+M\tmailto:someone@example.com\t4\r\n"
            b"Seven\tC:\\nothing.exe\t7\r\n"
            b"Plain\tC:\\nothing.exe\t0\r\n")
        s.start()

    def test_left_click_shows_the_items_in_order_with_their_pictures(self):
        items = self.session.open_menu(1)
        self.session.screenshot("programs-menu.png")
        self.assertEqual([i["text"] for i in items if not i["separator"]],
                         ["&Marker", "Mail\tCtrl+M", "Seven", "Plain"])
        self.assertEqual([i["separator"] for i in items], [False, True, False, False, False])
        # Icon 7 is above the internal set's five pictures: it shows none.
        self.assertEqual([i["picture"] for i in items], [True, False, True, False, False])
        self.assertFalse(any(i["default"] for i in items))

    def test_right_click_shows_the_command_menu_with_list_as_default(self):
        items = self.session.open_menu(3)
        self.session.screenshot("command-menu.png")
        self.assertEqual([("" if i["separator"] else i["text"]) for i in items], COMMAND_MENU)
        self.assertEqual([i["default"] for i in items], [True] + [False] * 6)

    def test_a_chosen_entry_runs_its_command_through_the_shell(self):
        s = self.session
        s.choose(s.open_menu(1), "&Marker")
        wait_for(lambda: os.path.exists(self.marker), 20, what="the launched batch file")
        self.assertTrue(s.is_running())

    def test_exit_removes_the_icon_and_saves_the_items_with_reset_icons(self):
        s = self.session
        s.choose(s.open_menu(3), "E&xit")
        self.assertEqual(s.wait_exit(20), 0)
        wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")
        self.assertEqual(s.read_data_file(),
                         b"&Marker\tC:\\mark.bat\t1\r\n"
                         b"-\t\t0\r\n"
                         b"Mail\\tCtrl+M\tmailto:someone@example.com\t4\r\n"
                         b"Seven\tC:\\nothing.exe\t0\r\n"
                         b"Plain\tC:\\nothing.exe\t0\r\n")
        self.assertEqual(s.reg_query(SETTINGS_KEY + r"\Options\LastIconSetFileNames", "1"),
                         "trayhound:\\internal.iconset")

    def test_the_common_controls_and_dialogs_load_with_the_first_dialog_not_at_start(self):
        s = self.session
        self.assertEqual(s.loaded_dlls() & {"comctl32.dll", "comdlg32.dll"}, set())
        s.choose(s.open_menu(3), "&List...")
        s.window("List")
        self.assertIn("comctl32.dll", s.loaded_dlls())

    def test_about_box_opens_from_the_command_menu(self):
        s = self.session
        s.choose(s.open_menu(3), "&About")
        about = s.window("About Trayhound")
        texts = [c["text"] for c in about["controls"]]
        self.assertTrue(any(t.startswith("Version 1.0") for t in texts), texts)
        s.screenshot("about.png")
        ok = next(c for c in about["controls"] if c["text"] == "OK")
        s.probe(f"click {ok['hwnd']}")
        wait_for(lambda: not any(w["title"] == "About Trayhound" for w in s.windows()), 10,
                 what="the About box to close")


class ShutdownTest(SessionTest):
    def test_shutdown_request_ends_the_program_and_is_deleted(self):
        s = self.session
        s.write_data_file(b"A\tC:\\a.exe\t2\r\n")
        s.start()
        self.assert_shutdown_request_ends_it("1")
        self.assertFalse(s.icon_shown())
        self.assertEqual(s.read_data_file(), b"A\tC:\\a.exe\t2\r\n")

    def test_shutdown_request_ends_the_program_while_the_about_box_is_open(self):
        s = self.session
        s.start()
        s.choose(s.open_menu(3), "&About")
        s.window("About Trayhound")
        self.assert_shutdown_request_ends_it("now")

    def test_first_save_creates_the_folder(self):
        s = self.session
        self.assertFalse(os.path.exists(os.path.dirname(s.data_file)))
        s.start()
        items = s.open_menu(1)
        self.assertEqual([(i["text"], i["separator"]) for i in items], [("", False)])
        s.close_menu()
        s.request_shutdown("1")
        s.wait_exit(20)
        self.assertEqual(s.read_data_file(), b"")


class InstanceTest(SessionTest):
    def test_a_second_start_ends_silently_and_the_first_keeps_its_icon(self):
        s = self.session
        s.start()
        self.assertEqual(s.run_second_instance(), 0)
        self.assertTrue(s.is_running())
        self.assertTrue(s.icon_shown())
        self.assertEqual(len(s.open_menu(3)), 7)

    def test_a_malformed_data_file_shows_a_message_and_no_icon(self):
        s = self.session
        s.write_data_file(b"Good\tC:\\a.exe\t1\r\nBad\tC:\\b.exe\tseven\r\n")
        s.start(wait_icon=False)
        box = s.window("Trayhound", timeout=20)
        message = " ".join(c["text"] for c in box["controls"] if c["class"].lower() == "static")
        self.assertIn("2", message)
        self.assertFalse(s.icon_shown())
        ok = next(c for c in box["controls"] if c["class"].lower() == "button")
        s.probe(f"click {ok['hwnd']}")
        s.wait_exit(20)
        self.assertFalse(s.icon_shown())
        # Nothing was saved over the user's file.
        self.assertEqual(s.read_data_file(), b"Good\tC:\\a.exe\t1\r\nBad\tC:\\b.exe\tseven\r\n")


if __name__ == "__main__":
    unittest.main()
