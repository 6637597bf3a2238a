"""Beyond the menu: starting at sign-in and the hotkey from the options dialog's General page,
and items dropped onto the list editor."""

import os
import unittest

from harness import SETTINGS_KEY, centre, control, controls, wait_for
from test_editors import EditorTest, list_view

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
HOTKEY = (SETTINGS_KEY + r"\General", "ProgramsMenuHotkey")  # where the hotkey is kept
SIGN_IN_BOX = "Start Trayhound when I sign in"


class GeneralPageTest(EditorTest):
    def open_general(self):
        window = self.session.command("&Options...", "Options")
        self.session.click_at(*centre(controls(window, "ListBox")[0]["item_rects"][1]))
        return wait_for(lambda: (w := self.find(window["hwnd"])) and control(w, SIGN_IN_BOX)["visible"] and w,
                        10, what="the General page")

    def type_hotkey(self, window, keys):
        """Clicks into the hotkey field and presses the keys there, as a person sets one."""
        field = controls(window, "msctls_hotkey32")[0]

        def shown():
            return next(c for c in self.find(window["hwnd"])["controls"] if c["hwnd"] == field["hwnd"])

        self.session.click_at(*centre(field["rect"]))
        self.until(lambda: shown()["focused"], True, "the hotkey field's focus")
        self.session.xdotool("key", keys)
        self.until(lambda: shown()["hotkey"] != 0, True, "the hotkey in its field")

    def test_the_sign_in_box_shows_the_entry_as_it_is_and_ok_writes_only_a_change(self):
        s = self.start()
        this_exe = '"Z:' + os.path.abspath(os.environ["TRAYHOUND_EXE"]).replace("/", "\\") + '"'
        other = r'"C:\Program Files\Trayhound\Trayhound.exe"'
        # Untouched: OK writes no entry and no General setting.
        window = self.open_general()
        hotkey = controls(window, "msctls_hotkey32")[0]["hotkey"]
        self.assertEqual((control(window, SIGN_IN_BOX)["checked"], hotkey), (False, 0))
        self.close_with(window, "OK")
        self.assertEqual((s.reg_query(RUN_KEY, "Trayhound"), s.reg_query(*HOTKEY)), (None, None))

        s.reg_set(RUN_KEY, "Trayhound", other)  # as an installer leaves it
        for change, ending, expected in [(False, "OK", other), (True, "Cancel", other), (True, "OK", None),
                                         (True, "OK", this_exe)]:
            with self.subTest(change=change, ending=ending, before=s.reg_query(RUN_KEY, "Trayhound")):
                window = self.open_general()
                checked = control(window, SIGN_IN_BOX)["checked"]
                self.assertEqual(checked, s.reg_query(RUN_KEY, "Trayhound") is not None)
                if change:
                    self.click(window, SIGN_IN_BOX)
                    self.until(lambda: control(self.find(window["hwnd"]), SIGN_IN_BOX)["checked"], not checked,
                               "the check box to change")
                self.close_with(window, ending)
                self.assertEqual(s.reg_query(RUN_KEY, "Trayhound"), expected)

    def test_the_hotkey_opens_the_programs_menu_with_the_keyboard_in_it_and_survives_a_restart(self):
        marker = self.session.add_marker()
        s = self.start(b"Plain\tC:\\nothing.exe\t0\r\n-\t\t0\r\n&Marker\tC:\\mark.bat\t1\r\n")
        window = self.open_general()
        self.type_hotkey(window, "ctrl+alt+t")
        self.close_with(window, "OK")
        self.assertEqual(s.reg_query(*HOTKEY), "Ctrl+Alt+T")

        def hotkey_menu():
            s.xdotool("key", "ctrl+alt+t")
            return [i["selected"] for i in wait_for(s.menus, 10, what="the hotkey's menu")[-1]]

        def selected():
            return [i["selected"] for i in s.menus()[-1]]

        # At once after OK, and registered again at the next start; the keys go to another
        # program, Wine's tray window.
        for restarted in (False, True):
            if restarted:
                self.exit_program()
                s.start()
            s.click_at(60, 10)
            self.assertEqual(hotkey_menu(), [True, False, False], f"restarted: {restarted}")
            s.close_menu()

        # Wine hands keys to the program whose X window has the focus, and the tray window is
        # never mapped: the keys for the menu reach it while a Trayhound window has the focus.
        about = s.command("&About", "About Trayhound")
        self.assertEqual(hotkey_menu(), [True, False, False])
        s.xdotool("key", "Down")
        self.until(selected, [False, False, True], "Down to pass the separator")
        s.xdotool("key", "Escape")
        wait_for(lambda: not s.menus(), 10, what="Esc to close the menu")
        self.assertIsNotNone(self.find(about["hwnd"]))
        hotkey_menu()
        # The access key chooses the entry as a click does. Last: the batch file's console window
        # covers Wine's tray window.
        s.xdotool("key", "m")
        wait_for(lambda: os.path.exists(marker), 20, what="the entry chosen by its access key")

    def test_a_hotkey_another_program_takes_is_kept_with_a_message_and_marked_not_active(self):
        s = self.start()
        window = self.open_general()
        self.type_hotkey(window, "ctrl+alt+t")
        s.probe("hold", 3, ord("T"))  # Ctrl+Alt (MOD_CONTROL | MOD_ALT) and T, taken before OK
        self.click(window, "OK")
        self.message(window, "Another program uses the hotkey Ctrl+Alt+T. Trayhound keeps it, but it does not "
                             "open the programs menu until that program lets it go.")
        self.gone(window)
        self.assertEqual(s.reg_query(*HOTKEY), "Ctrl+Alt+T")
        self.assertEqual([c["text"] for c in controls(self.open_general(), "Static")
                          if c["visible"] and c["text"].startswith("Not ")],
                         ["Not active: another program uses this hotkey."])


class DropTest(EditorTest):
    def test_dropped_files_and_addresses_become_items_at_the_drop_position_and_cancel_drops_them(self):
        data = b"Alpha\tC:\\alpha.exe\t1\r\n-\t\t0\r\nOmega\tC:\\omega.exe\t0\r\n"
        s = self.start(data)
        files = r"C:\Program Files\Tool\My Tool.exe|C:\windows\notepad.exe|C:\Users\Public\Desktop\Docs.lnk"
        for ending in ("Cancel", "OK"):
            window = self.open_list()
            items = controls(window, "ListBox")[0]
            on_first = centre(items["item_rects"][0])
            below_all = (items["rect"][0] + 10, items["rect"][3] - 5)
            for at, kind, payload, accepted in [(on_first, "files", files, True),
                                                (below_all, "text", "https://www.example.org/page", True),
                                                (on_first, "text", "just some words", False)]:
                self.assertEqual(s.probe("drop", items, *at, kind, payload)["dropped"] != 0, accepted, payload)
            entries = ["Alpha", "My Tool", "notepad", "Docs", "-", "Omega", "example.org"]
            self.until(lambda: list_view(self.find(window["hwnd"]))[0], entries, "the dropped items")
            self.close_with(window, ending)
            self.assertEqual(s.read_data_file(), data if ending == "Cancel" else
                             b"Alpha\tC:\\alpha.exe\t1\r\n"
                             b"My Tool\t\"C:\\Program Files\\Tool\\My Tool.exe\"\t0\r\n"
                             b"notepad\tC:\\windows\\notepad.exe\t0\r\n"
                             b"Docs\tC:\\Users\\Public\\Desktop\\Docs.lnk\t0\r\n"
                             b"-\t\t0\r\nOmega\tC:\\omega.exe\t0\r\n"
                             b"example.org\thttps://www.example.org/page\t0\r\n")


if __name__ == "__main__":
    unittest.main()
