"""The editing dialogs as a person uses them through the tray icon: the list editor with the item
editor, the options dialog with an icon-set file, and the placement the dialogs remember."""

import collections
import os
import pathlib
import struct
import time
import unittest

from harness import (INTERNAL_SET, SCREEN, SETS_KEY, SETTINGS_KEY, SessionTest, centre, control, controls,
                     message_text, wait_for)

LIST_BUTTONS = ["&Edit...", "&Delete", "Move &Up", "Move D&own"]
NONE_ENABLED = [False, False, False, False]
ALL_ENABLED = [True, True, True, True]
FIRST_ENABLED = [True, True, False, True]  # the first entry is selected
LAST_ENABLED = [True, True, True, False]  # the last entry is selected

DATA = b"Alpha\tC:\\alpha.exe\t1\r\n-\t\t0\r\nTab\\tKey\tC:\\tab.exe\t2\r\nOmega\tC:\\omega.exe\t0\r\n"
DATA_ENTRIES = ["Alpha", "-", "Tab\tKey", "Omega"]


def list_view(window):
    """What the list editor shows: its entries, the selection, and which item buttons work."""
    items = controls(window, "ListBox")[0]
    return items["entries"], items["selected"], [control(window, t)["enabled"] for t in LIST_BUTTONS]


# What the item editor shows; `fields`: whether the command and icon fields are enabled.
EditorView = collections.namedtuple("EditorView", "title caption command icon fields")


def editor_view(window):
    command, icon = controls(window, "ComboBox")
    return EditorView(window["text"], controls(window, "Edit")[0]["text"], command["text"], icon["selected"],
                      [command["enabled"], icon["enabled"]])


def twips(*pixels):
    return [str(pixel * 15) for pixel in pixels]


def bitmap(colour):
    """A 12 x 12 picture, 24 bits per pixel, one colour (rows of 36 bytes need no padding)."""
    pixels = bytes(colour) * 144
    return struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(pixels), 0, 0, 54, 40, 12, 12, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0) + pixels


class EditorTest(SessionTest):
    """Steps shared by the scenarios. The probe posts what the user does, so every check polls
    until the program has caught up and then compares exactly."""

    def click(self, window, text):
        self.session.probe("click", control(window, text))

    def open_list(self):
        return self.session.command("&List...", "List")

    def list_shows(self, window, entries, selected, enabled):
        self.until(lambda: list_view(self.find(window["hwnd"])), (entries, selected, enabled),
                          "the list editor's entries, selection and buttons")

    def select(self, window, position, entries=None, enabled=None):
        """Selects an entry as the mouse would; with the list expected, waits for it."""
        self.session.probe("lbselect", controls(window, "ListBox")[0], position)
        if entries:
            self.list_shows(window, entries, position, enabled)

    def press(self, window, text, entries, selected, enabled):
        self.click(window, text)
        self.list_shows(window, entries, selected, enabled)

    def open_editor(self, window, text, title):
        self.click(window, text)
        editor = self.session.window(title)
        self.assertEqual(editor["owner"], window["hwnd"])
        self.assertFalse(self.find(window["hwnd"])["enabled"], "the list editor waits for the item editor")
        return editor

    def type_into(self, editor, **expected):
        """Types the caption, command and icon given into the item editor, then waits until it
        shows everything expected: those, and its title and which fields work when given."""
        for name, request, field in [("caption", "settext", controls(editor, "Edit")[0]),
                                     ("command", "settext", controls(editor, "ComboBox")[0]),
                                     ("icon", "cbselect", controls(editor, "ComboBox")[1])]:
            if name in expected:
                self.session.probe(request, field, expected[name])
        self.until(lambda: {k: v for k, v in editor_view(self.find(editor["hwnd"]))._asdict().items()
                            if k in expected}, expected, "the item editor's fields")

    def message(self, owner, text):
        """The owner shows a modal message box with this text; OK dismisses it."""
        box = self.session.window("Trayhound")
        self.assertEqual((box["owner"], message_text(box)), (owner["hwnd"], text))
        self.assertFalse(self.find(owner["hwnd"])["enabled"], "the message box is modal")
        self.close_with(box, "OK")

    def programs_menu(self):
        """What a person sees of it: each entry's text ("-" for a line) and whether it has a picture."""
        items = self.session.open_menu(1)
        self.session.close_menu()
        return [("-" if i["separator"] else i["text"], i["picture"]) for i in items]

    def exit_program(self):
        self.session.command("E&xit")
        self.assertEqual(self.session.wait_exit(30), 0)


class ListEditorOpeningTest(EditorTest):
    def test_list_opens_from_the_menu_and_by_double_click_and_only_once(self):
        s = self.start(DATA)
        window = self.open_list()
        self.assertEqual(list_view(window), (DATA_ENTRIES, -1, NONE_ENABLED))
        self.assertTrue(all(control(window, t)["enabled"] for t in ("&New...", "OK", "Cancel")))

        # The buttons follow the selection made with the mouse.
        s.click_at(*centre(controls(window, "ListBox")[0]["item_rects"][2]))
        self.list_shows(window, DATA_ENTRIES, 2, ALL_ENABLED)

        def lists():
            return [w["hwnd"] for w in s.windows() if w["text"] == "List"]

        # Choosing List again brings the open editor forward; no second one opens.
        items = s.open_menu(3)
        self.assertFalse(self.find(window["hwnd"])["foreground"], "the menu has the foreground")
        s.choose(items, "&List...")
        wait_for(lambda: self.find(window["hwnd"])["foreground"], 10, what="the list editor in front")
        time.sleep(1)
        self.assertEqual(lists(), [window["hwnd"]])
        self.assertEqual(list_view(self.find(window["hwnd"])), (DATA_ENTRIES, 2, ALL_ENABLED))

        # A double click on the icon does nothing while the editor is open, and its first click
        # opens no programs menu either.
        s.click_icon(1, double=True)
        time.sleep(1.5)
        self.assertEqual((s.menus(), lists()), ([], [window["hwnd"]]))
        self.close_with(window, "Cancel")

        # A double click on the icon opens it afresh.
        s.click_icon(1, double=True)
        window = s.window("List")
        self.assertEqual(list_view(window), (DATA_ENTRIES, -1, NONE_ENABLED))
        self.close_with(window)
        self.assertEqual(s.read_data_file(), DATA)


class ListEditingTest(EditorTest):
    def test_new_item_is_inserted_after_the_selection_and_saved_on_ok(self):
        s = self.start(DATA)
        window = self.open_list()
        self.select(window, 2, DATA_ENTRIES, ALL_ENABLED)

        # Cancel in the item editor adds nothing.
        self.close_with(self.open_editor(window, "&New...", "New Item"), "Cancel")
        self.list_shows(window, DATA_ENTRIES, 2, ALL_ENABLED)

        editor = self.open_editor(window, "&New...", "New Item")
        self.assertEqual(editor_view(editor), ("New Item", "New Item", "", 0, [True, True]))
        self.assertEqual(controls(editor, "ComboBox")[1]["entries"],
                         ["No icon", "Application", "Folder", "Document", "Mail", "Web"])
        self.type_into(editor, caption="Beta\\tB", command="C:\\beta.exe /x", icon=4, title="Beta\\tB")
        self.close_with(editor, "OK")
        entries = ["Alpha", "-", "Tab\tKey", "Beta\tB", "Omega"]
        self.list_shows(window, entries, 3, ALL_ENABLED)

        self.close_with(window, "OK")
        saved = (b"Alpha\tC:\\alpha.exe\t1\r\n-\t\t0\r\nTab\\tKey\tC:\\tab.exe\t2\r\n"
                 b"Beta\\tB\tC:\\beta.exe /x\t4\r\nOmega\tC:\\omega.exe\t0\r\n")
        self.assertEqual(s.read_data_file(), saved)
        menu = [("Alpha", True), ("-", False), ("Tab\tKey", True), ("Beta\tB", True), ("Omega", False)]
        self.assertEqual(self.programs_menu(), menu)

        # Cancel drops every change: a new first item, a deletion, an emptied list.
        window = self.open_list()
        self.list_shows(window, entries, -1, NONE_ENABLED)
        editor = self.open_editor(window, "&New...", "New Item")
        self.type_into(editor, caption="Zeta", command="C:\\zeta.exe", title="Zeta")
        self.close_with(editor, "OK")
        entries = ["Zeta"] + entries
        self.list_shows(window, entries, 0, FIRST_ENABLED)
        self.select(window, 3, entries, ALL_ENABLED)
        del entries[3]
        self.press(window, "&Delete", entries, 3, ALL_ENABLED)
        self.close_with(window, "Cancel")
        self.assertEqual(s.read_data_file(), saved)
        self.assertEqual(self.programs_menu(), menu)

    def test_edit_move_and_delete_then_ok_writes_the_new_order(self):
        s = self.start(DATA)
        window = self.open_list()
        self.select(window, 0, DATA_ENTRIES, FIRST_ENABLED)
        editor = self.open_editor(window, "&Edit...", "Alpha")
        self.assertEqual(editor_view(editor), ("Alpha", "Alpha", "C:\\alpha.exe", 1, [True, True]))
        self.type_into(editor, caption="Alpha One", command="C:\\one.exe", icon=5, title="Alpha One")
        self.close_with(editor, "OK")
        entries = ["Alpha One", "-", "Tab\tKey", "Omega"]
        self.list_shows(window, entries, 0, FIRST_ENABLED)

        # A double click on an entry edits it; the editor shows the caption as stored, and a
        # separator opens with its command and icon greyed out.
        rects = controls(self.find(window["hwnd"]), "ListBox")[0]["item_rects"]
        s.click_at(*centre(rects[2]), repeat=2)
        editor = s.window("Tab\\tKey")
        self.assertEqual(editor_view(editor), ("Tab\\tKey", "Tab\\tKey", "C:\\tab.exe", 2, [True, True]))
        self.type_into(editor, caption="Changed", icon=3, title="Changed")
        self.close_with(editor, "Cancel")
        self.list_shows(window, entries, 2, ALL_ENABLED)
        s.click_at(*centre(rects[1]), repeat=2)
        editor = s.window("Separator")
        self.assertEqual(editor_view(editor), ("Separator", "-", "", 0, [False, False]))
        self.assertTrue(control(editor, "&Test")["enabled"])
        self.close_with(editor, "Cancel")

        self.select(window, 2)
        self.press(window, "Move &Up", ["Alpha One", "Tab\tKey", "-", "Omega"], 1, ALL_ENABLED)
        self.press(window, "Move D&own", ["Alpha One", "-", "Tab\tKey", "Omega"], 2, ALL_ENABLED)
        self.press(window, "&Delete", ["Alpha One", "-", "Omega"], 2, LAST_ENABLED)
        self.select(window, 1)
        self.press(window, "&Delete", ["Alpha One", "Omega"], 1, LAST_ENABLED)
        self.assertEqual(s.read_data_file(), DATA, "nothing is saved before OK")

        self.close_with(window, "OK")
        self.assertEqual(s.read_data_file(), b"Alpha One\tC:\\one.exe\t5\r\nOmega\tC:\\omega.exe\t0\r\n")
        self.assertEqual(self.programs_menu(), [("Alpha One", True), ("Omega", False)])


class ItemEditorTest(EditorTest):
    def test_ok_checks_caption_and_command_and_a_hyphen_makes_a_separator(self):
        s = self.start(b"Alpha\tC:\\alpha.exe\t1\r\n")
        window = self.open_list()
        editor = self.open_editor(window, "&New...", "New Item")
        caption_box = controls(editor, "Edit")[0]["hwnd"]
        command_box = controls(editor, "ComboBox")[0]["hwnd"]

        def focus():
            return [c["hwnd"] for c in self.find(editor["hwnd"])["controls"]
                    if c["focused"] and c["hwnd"] in (caption_box, command_box)]

        for caption, command, text, field in [
                ("   ", "C:\\x.exe", "Please enter the item's caption.", caption_box),
                ("Gamma", "", "Please enter the item's command.", command_box)]:
            self.type_into(editor, caption=caption, command=command)
            self.click(editor, "OK")
            self.message(editor, text)
            self.until(focus, [field], f"the focus in the field at fault for {caption!r}, {command!r}")
            self.assertTrue(self.find(editor["hwnd"])["enabled"])
        self.assertEqual(list_view(self.find(window["hwnd"]))[0], ["Alpha"])

        self.type_into(editor, caption="-", command="  ", icon=2, title="Separator", fields=[False, False])
        self.close_with(editor, "OK")
        self.list_shows(window, ["-", "Alpha"], 0, FIRST_ENABLED)
        self.close_with(window, "OK")
        # The disabled fields are written as they stand.
        self.assertEqual(s.read_data_file(), b"-\t  \t2\r\nAlpha\tC:\\alpha.exe\t1\r\n")
        self.assertEqual(self.programs_menu(), [("-", False), ("Alpha", True)])


class OptionsTest(EditorTest):
    ITEMS = b"App\tC:\\app.exe\t1\r\nWeb\thttp://example.com/\t5\r\n"

    def setUp(self):
        super().setUp()
        sets = pathlib.Path(self.session.drive_c, "sets")
        sets.mkdir()
        for name, colour in [("app.bmp", (0, 0, 255)), ("folder.bmp", (0, 255, 0)), ("doc.bmp", (255, 0, 0))]:
            (sets / name).write_bytes(bitmap(colour))
        (sets / "small.iconset").write_bytes(
            b"[Trayhound Icon Set]\r\nname=Small Set\r\nauthor=Tester\r\n"
            b"description=Three test pictures.\r\ncount=3\r\n1=app.bmp\r\n2=folder.bmp\r\n3=doc.bmp\r\n")
        self.session.write_data_file(self.ITEMS)

    def stored_sets(self, *keys):
        return [self.session.reg_query(SETS_KEY, key) for key in keys]

    def sets_shown(self, window):
        """The icon-set box's entries and selection, the author line, and every static text."""
        window = self.find(window["hwnd"])
        combo = controls(window, "ComboBox")[0]
        texts = [c["text"] for c in controls(window, "Static")]
        return combo["entries"], combo["selected"], next(t for t in texts if t.startswith("Author: ")), texts

    def test_an_icon_set_file_chosen_with_browse_becomes_the_active_set(self):
        s = self.start()
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", True)])
        window = s.command("&Options...", "Options")
        pages = controls(window, "ListBox")[0]
        self.assertEqual((pages["entries"], pages["selected"]), ([" Icon sets", " General"], 0))
        *shown, texts = self.sets_shown(window)
        self.assertEqual(shown, [["Internal icon set", "Browse..."], 0, "Author: Wexmoor"])
        self.assertIn("The internal icon set.", texts)

        s.probe("cbselect", controls(window, "ComboBox")[0], 1)
        browse = wait_for(lambda: next((w for w in s.windows() if w["owner"] == window["hwnd"]), None), 10,
                          what="the open-file dialog")
        names = [c["class"] for c in browse["controls"]]
        s.probe("settext", browse["controls"][names.index("Edit", names.index("ComboBoxEx32"))],
                "C:\\sets\\small.iconset")
        s.probe("click", next(c for c in controls(browse, "Button") if c["id"] == 1))
        self.gone(browse)
        self.until(lambda: self.sets_shown(window)[:3],
                   (["Internal icon set", "Small Set", "Browse..."], 1, "Author: Tester"), "the new set, selected")
        self.assertIn("Three test pictures.", self.sets_shown(window)[3])
        self.close_with(window, "OK")
        # The new set has no picture 5: that item shows none, and keeps its number.
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", False)])

        self.exit_program()
        self.assertEqual(self.stored_sets("count", "1", "2"), ["2", "C:\\sets\\small.iconset", INTERNAL_SET])
        self.assertEqual(s.read_data_file(), self.ITEMS)

    def test_an_unreadable_set_keeps_every_icon_number_and_its_pictures_come_back(self):
        s = self.session
        s.reg_set(SETS_KEY, "count", "1")
        s.reg_set(SETS_KEY, "1", "C:\\sets\\small.iconset")
        sets = os.path.join(s.drive_c, "sets")
        os.rename(sets, sets + ".away")  # a removed stick
        s.start()
        self.assertEqual(self.programs_menu(), [("App", False), ("Web", False)])
        os.rename(sets + ".away", sets)
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", False)])
        self.exit_program()
        self.assertEqual(s.read_data_file(), self.ITEMS)

    def test_a_missing_set_is_dropped_and_ok_moves_the_chosen_set_to_the_front(self):
        s = self.session
        for key, value in [("count", "3"), ("1", "C:\\sets\\small.iconset"), ("2", "C:\\sets\\gone.iconset"),
                           ("3", INTERNAL_SET)]:
            s.reg_set(SETS_KEY, key, value)
        s.start()
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", False)])

        sets = ["Small Set", "Internal icon set", "Browse..."]
        # Cancel: the dropped copy writes its list; the live one is unchanged. OK: the list is
        # written at once, not only at the end, and key "3" of the longer list is left behind.
        for ending, stored in [("Cancel", ["2", "C:\\sets\\small.iconset", INTERNAL_SET, INTERNAL_SET]),
                               ("OK", ["2", INTERNAL_SET, "C:\\sets\\small.iconset", INTERNAL_SET])]:
            window = s.command("&Options...", "Options")
            self.assertEqual(self.sets_shown(window)[:3], (sets, 0, "Author: Tester"))
            s.probe("cbselect", controls(window, "ComboBox")[0], 1)
            self.until(lambda: self.sets_shown(window)[:3], (sets, 1, "Author: Wexmoor"), "the internal set")
            self.close_with(window, ending)
            self.assertEqual(self.stored_sets("count", "1", "2", "3"), stored, ending)
        self.exit_program()
        self.assertEqual(self.stored_sets("count", "1", "2", "3"), stored)


class PlacementTest(EditorTest):
    def placement(self, section):
        return [self.session.reg_query(SETTINGS_KEY + "\\" + section, name)
                for name in ("WindowState", "Left", "Top", "Width", "Height")]

    def test_the_list_editor_reopens_where_it_was_left(self):
        s = self.start(b"Alpha\tC:\\alpha.exe\t1\r\n")
        window = self.open_list()
        left, top, right, bottom = window["rect"]
        size = twips(right - left, bottom - top)
        # First opening: 50 pixels in from the screen's right and bottom edges.
        self.assertEqual((right, bottom), (SCREEN[0] - 50, SCREEN[1] - 50))

        # Dragged by its title bar.
        s.drag((left + 40, top + 8), (left + 40 - 300, top + 8 - 200))
        moved = [left - 300, top - 200, right - 300, bottom - 200]
        self.until(lambda: self.find(window["hwnd"])["rect"], moved, "the list editor where it was dragged")
        self.close_with(window, "Cancel")
        self.assertEqual(self.placement("frmList"),
                         ["0", *twips(*moved[:2]), *size])

        s.click_icon(1, double=True)
        window = s.window("List")
        self.assertEqual(window["rect"], moved)
        self.close_with(window, "OK")

        # The stored place is read at each opening, and the designed size is kept.
        for name, value in [("Left", "1500"), ("Top", "3000"), ("Width", "3000")]:
            s.reg_set(SETTINGS_KEY + r"\frmList", name, value)
        window = self.open_list()
        self.assertEqual(window["rect"], [100, 200, 100 + right - left, 200 + bottom - top])
        self.close_with(window)
        self.assertEqual(self.placement("frmList"), ["0", "1500", "3000", *size])

        # The options dialog keeps its own place.
        options = s.command("&Options...", "Options")
        left, top, right, bottom = options["rect"]
        self.assertEqual((right, bottom), (SCREEN[0] - 50, SCREEN[1] - 50))
        self.close_with(options, "Cancel")
        self.assertEqual(self.placement("frmOptions"), ["0", *twips(left, top, right - left, bottom - top)])
        self.assertEqual(self.placement("frmList")[1:3], ["1500", "3000"])


class ExitWhileEditingTest(EditorTest):
    def leave_unsaved_changes(self):
        """Deletes the first entry in the list editor and types a new item that is not yet added."""
        window = self.open_list()
        self.select(window, 0, DATA_ENTRIES, FIRST_ENABLED)
        self.press(window, "&Delete", DATA_ENTRIES[1:], 0, FIRST_ENABLED)
        editor = self.open_editor(window, "&New...", "New Item")
        self.type_into(editor, caption="Unsaved", command="C:\\unsaved.exe", title="Unsaved")

    def test_exit_with_both_editors_open_keeps_the_live_list(self):
        s = self.start(DATA)
        self.leave_unsaved_changes()
        self.exit_program()
        wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")
        self.assertEqual(s.read_data_file(), DATA)
        # The list editor was closed through its normal unload, which stores its place.
        self.assertIsNotNone(s.reg_query(SETTINGS_KEY + r"\frmList", "Left"))

    def test_the_shutdown_request_ends_the_program_whatever_dialog_is_open(self):
        s = self.start(DATA)
        self.leave_unsaved_changes()
        # Then started again with the options dialog open on a copy of the icon-set list, and with
        # the About box.
        for entry, title, request in [(None, None, "1"), ("&Options...", "Options", "now"),
                                      ("&About", "About Trayhound", "now")]:
            if entry:
                # The tray shows the new icon only once the old one is gone.
                wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")
                s.start()
                s.command(entry, title)
            self.assert_shutdown_request_ends_it(request)
            self.assertEqual((s.read_data_file(), s.reg_query(SETS_KEY, "1")), (DATA, INTERNAL_SET), title)


if __name__ == "__main__":
    unittest.main()
