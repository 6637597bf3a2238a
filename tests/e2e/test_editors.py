"""The editing dialogs as a person uses them through the tray icon: the list editor with the item
editor, the options dialog with an icon-set file, and the placement the dialogs remember."""

import os
import struct
import time
import unittest

from harness import MESSAGE_TEXT_ID, SCREEN, SETTINGS_KEY, SessionTest, wait_for

LIST_BUTTONS = ["&Edit...", "&Delete", "Move &Up", "Move D&own"]
NONE_ENABLED = [False, False, False, False]
ALL_ENABLED = [True, True, True, True]
FIRST_ENABLED = [True, True, False, True]  # the first entry is selected
LAST_ENABLED = [True, True, True, False]  # the last entry is selected
ICON_ENTRIES = ["No icon", "Application", "Folder", "Document", "Mail", "Web"]
TWIPS_PER_PIXEL = 15

DATA = (b"Alpha\tC:\\alpha.exe\t1\r\n"
        b"-\t\t0\r\n"
        b"Tab\\tKey\tC:\\tab.exe\t2\r\n"
        b"Omega\tC:\\omega.exe\t0\r\n")
DATA_ENTRIES = ["Alpha", "-", "Tab\tKey", "Omega"]


def controls(window, kind):
    return [c for c in window["controls"] if c["class"].lower() == kind.lower()]


def button(window, text):
    return next(c for c in controls(window, "Button") if c["text"] == text)


def list_view(window):
    """What the list editor shows: its entries, the selection, and which item buttons work."""
    items = controls(window, "ListBox")[0]
    return (items["entries"], items["selected"], [button(window, t)["enabled"] for t in LIST_BUTTONS])


def editor_view(window):
    """What the item editor shows: title, caption, command, icon entry, and whether the command
    and icon fields are enabled."""
    caption = controls(window, "Edit")[0]
    command, icon = controls(window, "ComboBox")
    return {"title": window["title"], "caption": caption["text"], "command": command["text"],
            "icon": icon["selected"], "fields": [command["enabled"], icon["enabled"]]}


def centre(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def bitmap(colour):
    """A 12 x 12 picture, 24 bits per pixel, one colour."""
    row = bytes(colour) * 12 + b"\0" * ((4 - 12 * 3 % 4) % 4)
    pixels = row * 12
    header = struct.pack("<IiiHHIIiiII", 40, 12, 12, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


class EditorTest(SessionTest):
    """Steps shared by the scenarios. The probe posts what the user does, so every check polls
    until the program has caught up and then compares exactly."""

    def titled(self, title):
        return [w for w in self.session.windows() if w["title"] == title]

    def gone(self, hwnd, what):
        wait_for(lambda: self.find(hwnd) is None, 10, what=f"{what} to close")

    def click(self, window, text):
        self.session.probe(f"click {button(window, text)['hwnd']}")

    def open_list(self):
        s = self.session
        s.choose(s.open_menu(3), "&List...")
        return s.window("List")

    def list_shows(self, hwnd, entries, selected, enabled):
        return self.until(lambda: list_view(self.find(hwnd)), (entries, selected, enabled),
                          "the list editor's entries, selection and buttons")

    def select(self, window, position):
        self.session.probe(f"lbselect {controls(window, 'ListBox')[0]['hwnd']} {position}")

    def press(self, window, text, entries, selected, enabled):
        """Presses a list-editor button and waits for the list it should leave."""
        self.click(window, text)
        self.list_shows(window["hwnd"], entries, selected, enabled)

    def open_editor(self, window, text, title):
        """Presses New or Edit in the list editor; returns the item editor that opens."""
        self.click(window, text)
        editor = self.session.window(title)
        self.assertEqual(editor["owner"], window["hwnd"])
        self.assertFalse(self.find(window["hwnd"])["enabled"], "the list editor waits for the item editor")
        return editor

    def type_into(self, editor, caption=None, command=None, icon=None):
        s = self.session
        if caption is not None:
            s.probe(f"settext {controls(editor, 'Edit')[0]['hwnd']} {caption}")
        if command is not None:
            s.probe(f"settext {controls(editor, 'ComboBox')[0]['hwnd']} {command}")
        if icon is not None:
            s.probe(f"cbselect {controls(editor, 'ComboBox')[1]['hwnd']} {icon}")

    def editor_shows(self, hwnd, **expected):
        def read():
            view = editor_view(self.find(hwnd))
            return {key: view[key] for key in expected}

        return self.until(read, expected, "the item editor's fields")

    def message(self, owner):
        """The message box that an editor shows: its text, once it has appeared."""
        box = self.session.window("Trayhound")
        self.assertEqual(box["owner"], owner)
        self.assertFalse(self.find(owner)["enabled"], "the message box is modal")
        return box, next(c["text"] for c in box["controls"] if c["id"] == MESSAGE_TEXT_ID)

    def dismiss(self, box):
        self.click(box, "OK")
        self.gone(box["hwnd"], "the message box")

    def programs_menu(self):
        s = self.session
        items = s.open_menu(1)
        s.close_menu()
        return [("-" if i["separator"] else i["text"], i["picture"]) for i in items]

    def exit_program(self):
        s = self.session
        s.choose(s.open_menu(3), "E&xit")
        self.assertEqual(s.wait_exit(30), 0)


class ListEditorOpeningTest(EditorTest):
    def test_list_opens_from_the_menu_and_by_double_click_and_only_once(self):
        s = self.session
        s.write_data_file(DATA)
        s.start()
        window = self.open_list()
        hwnd = window["hwnd"]
        self.assertEqual(list_view(window), (DATA_ENTRIES, -1, NONE_ENABLED))
        self.assertTrue(all(button(window, t)["enabled"] for t in ("&New...", "OK", "Cancel")))

        # The buttons follow the selection made with the mouse.
        s.click_at(*centre(controls(window, "ListBox")[0]["item_rects"][2]))
        self.list_shows(hwnd, DATA_ENTRIES, 2, ALL_ENABLED)

        # Choosing List again brings the open editor forward; no second one opens.
        items = s.open_menu(3)
        self.assertFalse(self.find(hwnd)["foreground"], "the menu has the foreground")
        s.choose(items, "&List...")
        wait_for(lambda: self.find(hwnd)["foreground"], 10, what="the list editor in front")
        time.sleep(1)
        self.assertEqual([w["hwnd"] for w in self.titled("List")], [hwnd])
        self.assertEqual(list_view(self.find(hwnd)), (DATA_ENTRIES, 2, ALL_ENABLED))

        # A double click on the icon does nothing while the editor is open, and its first click
        # opens no programs menu either.
        s.click_icon(1, double=True)
        time.sleep(1.5)
        self.assertEqual(s.probe("menu"), [])
        self.assertEqual([w["hwnd"] for w in self.titled("List")], [hwnd])

        self.click(self.find(hwnd), "Cancel")
        self.gone(hwnd, "the list editor")

        # A double click on the icon opens it afresh.
        s.click_icon(1, double=True)
        window = s.window("List")
        self.assertEqual(list_view(window), (DATA_ENTRIES, -1, NONE_ENABLED))
        s.probe(f"close {window['hwnd']}")
        self.gone(window["hwnd"], "the list editor")
        self.assertEqual(s.read_data_file(), DATA)


class ListEditingTest(EditorTest):
    def test_new_item_is_inserted_after_the_selection_and_saved_on_ok(self):
        s = self.session
        s.write_data_file(DATA)
        s.start()
        window = self.open_list()
        hwnd = window["hwnd"]
        self.select(window, 2)
        self.list_shows(hwnd, DATA_ENTRIES, 2, ALL_ENABLED)

        # Cancel in the item editor adds nothing.
        editor = self.open_editor(window, "&New...", "New Item")
        self.click(editor, "Cancel")
        self.gone(editor["hwnd"], "the item editor")
        self.list_shows(hwnd, DATA_ENTRIES, 2, ALL_ENABLED)

        editor = self.open_editor(window, "&New...", "New Item")
        self.assertEqual(editor_view(editor), {"title": "New Item", "caption": "New Item", "command": "",
                                               "icon": 0, "fields": [True, True]})
        self.assertEqual(controls(editor, "ComboBox")[1]["entries"], ICON_ENTRIES)
        self.type_into(editor, caption="Beta\\tB", command="C:\\beta.exe /x", icon=4)
        self.editor_shows(editor["hwnd"], title="Beta\\tB", command="C:\\beta.exe /x", icon=4)
        self.click(editor, "OK")
        self.gone(editor["hwnd"], "the item editor")
        entries = ["Alpha", "-", "Tab\tKey", "Beta\tB", "Omega"]
        self.list_shows(hwnd, entries, 3, ALL_ENABLED)

        self.click(window, "OK")
        self.gone(hwnd, "the list editor")
        saved = (b"Alpha\tC:\\alpha.exe\t1\r\n"
                 b"-\t\t0\r\n"
                 b"Tab\\tKey\tC:\\tab.exe\t2\r\n"
                 b"Beta\\tB\tC:\\beta.exe /x\t4\r\n"
                 b"Omega\tC:\\omega.exe\t0\r\n")
        self.assertEqual(s.read_data_file(), saved)
        menu = [("Alpha", True), ("-", False), ("Tab\tKey", True), ("Beta\tB", True), ("Omega", False)]
        self.assertEqual(self.programs_menu(), menu)

        # Cancel drops every change: a new first item, a deletion, an emptied list.
        window = self.open_list()
        hwnd = window["hwnd"]
        self.list_shows(hwnd, entries, -1, NONE_ENABLED)
        editor = self.open_editor(window, "&New...", "New Item")
        self.type_into(editor, caption="Zeta", command="C:\\zeta.exe")
        self.editor_shows(editor["hwnd"], title="Zeta", command="C:\\zeta.exe")
        self.click(editor, "OK")
        self.gone(editor["hwnd"], "the item editor")
        entries = ["Zeta"] + entries
        self.list_shows(hwnd, entries, 0, FIRST_ENABLED)
        self.select(window, 3)
        self.list_shows(hwnd, entries, 3, ALL_ENABLED)
        del entries[3]
        self.press(window, "&Delete", entries, 3, ALL_ENABLED)
        self.click(window, "Cancel")
        self.gone(hwnd, "the list editor")
        self.assertEqual(s.read_data_file(), saved)
        self.assertEqual(self.programs_menu(), menu)

    def test_edit_move_and_delete_then_ok_writes_the_new_order(self):
        s = self.session
        s.write_data_file(DATA)
        s.start()
        window = self.open_list()
        hwnd = window["hwnd"]

        self.select(window, 0)
        self.list_shows(hwnd, DATA_ENTRIES, 0, FIRST_ENABLED)
        editor = self.open_editor(window, "&Edit...", "Alpha")
        self.assertEqual(editor_view(editor), {"title": "Alpha", "caption": "Alpha", "command": "C:\\alpha.exe",
                                               "icon": 1, "fields": [True, True]})
        self.type_into(editor, caption="Alpha One", command="C:\\one.exe", icon=5)
        self.editor_shows(editor["hwnd"], title="Alpha One", icon=5)
        self.click(editor, "OK")
        self.gone(editor["hwnd"], "the item editor")
        entries = ["Alpha One", "-", "Tab\tKey", "Omega"]
        self.list_shows(hwnd, entries, 0, FIRST_ENABLED)

        # A double click on an entry edits it; the editor shows the caption as stored.
        items = controls(self.find(hwnd), "ListBox")[0]
        s.double_click_at(*centre(items["item_rects"][2]))
        editor = s.window("Tab\\tKey")
        self.assertEqual(editor_view(editor), {"title": "Tab\\tKey", "caption": "Tab\\tKey",
                                               "command": "C:\\tab.exe", "icon": 2, "fields": [True, True]})
        self.type_into(editor, caption="Changed", icon=3)
        self.editor_shows(editor["hwnd"], title="Changed", icon=3)
        self.click(editor, "Cancel")
        self.gone(editor["hwnd"], "the item editor")
        self.list_shows(hwnd, entries, 2, ALL_ENABLED)

        # A separator opens with its command and icon greyed out.
        s.double_click_at(*centre(items["item_rects"][1]))
        editor = s.window("Separator")
        self.assertEqual(editor_view(editor), {"title": "Separator", "caption": "-", "command": "",
                                               "icon": 0, "fields": [False, False]})
        self.assertTrue(button(editor, "&Test")["enabled"])
        self.click(editor, "Cancel")
        self.gone(editor["hwnd"], "the item editor")

        self.select(window, 2)
        self.press(window, "Move &Up", ["Alpha One", "Tab\tKey", "-", "Omega"], 1, ALL_ENABLED)
        self.press(window, "Move D&own", ["Alpha One", "-", "Tab\tKey", "Omega"], 2, ALL_ENABLED)
        self.press(window, "&Delete", ["Alpha One", "-", "Omega"], 2, LAST_ENABLED)
        self.select(window, 1)
        self.press(window, "&Delete", ["Alpha One", "Omega"], 1, LAST_ENABLED)
        self.assertEqual(s.read_data_file(), DATA, "nothing is saved before OK")

        self.click(window, "OK")
        self.gone(hwnd, "the list editor")
        self.assertEqual(s.read_data_file(), b"Alpha One\tC:\\one.exe\t5\r\nOmega\tC:\\omega.exe\t0\r\n")
        self.assertEqual(self.programs_menu(), [("Alpha One", True), ("Omega", False)])


class ItemEditorTest(EditorTest):
    def test_ok_checks_caption_and_command_and_a_hyphen_makes_a_separator(self):
        s = self.session
        s.write_data_file(b"Alpha\tC:\\alpha.exe\t1\r\n")
        s.start()
        window = self.open_list()
        editor = self.open_editor(window, "&New...", "New Item")
        hwnd = editor["hwnd"]
        caption_box = controls(editor, "Edit")[0]["hwnd"]
        command_box = controls(editor, "ComboBox")[0]["hwnd"]

        def focus():
            return [c["hwnd"] for c in self.find(hwnd)["controls"]
                    if c["focused"] and c["hwnd"] in (caption_box, command_box)]

        for caption, command, text, field in [
                ("   ", "C:\\x.exe", "Please enter the item's caption.", caption_box),
                ("Gamma", "", "Please enter the item's command.", command_box)]:
            self.type_into(editor, caption=caption, command=command)
            self.editor_shows(hwnd, caption=caption, command=command)
            self.click(editor, "OK")
            box, shown = self.message(hwnd)
            self.assertEqual(shown, text, (caption, command))
            self.dismiss(box)
            self.until(focus, [field], f"the focus in the field at fault for {caption!r}, {command!r}")
            self.assertTrue(self.find(hwnd)["enabled"])
        self.assertEqual(list_view(self.find(window["hwnd"]))[0], ["Alpha"])

        self.type_into(editor, caption="-", command="  ", icon=2)
        self.editor_shows(hwnd, title="Separator", fields=[False, False])
        self.click(editor, "OK")
        self.gone(hwnd, "the item editor")
        self.list_shows(window["hwnd"], ["-", "Alpha"], 0, FIRST_ENABLED)
        self.click(window, "OK")
        self.gone(window["hwnd"], "the list editor")
        # The disabled fields are written as they stand.
        self.assertEqual(s.read_data_file(), b"-\t  \t2\r\nAlpha\tC:\\alpha.exe\t1\r\n")
        self.assertEqual(self.programs_menu(), [("-", False), ("Alpha", True)])


class OptionsTest(EditorTest):
    SETS_KEY = SETTINGS_KEY + r"\Options\LastIconSetFileNames"
    ITEMS = b"App\tC:\\app.exe\t1\r\nWeb\thttp://example.com/\t5\r\n"

    def setUp(self):
        super().setUp()
        s = self.session
        sets = os.path.join(s.drive_c, "sets")
        os.makedirs(sets)
        for name, colour in [("app.bmp", (0, 0, 255)), ("folder.bmp", (0, 255, 0)), ("doc.bmp", (255, 0, 0))]:
            with open(os.path.join(sets, name), "wb") as f:
                f.write(bitmap(colour))
        with open(os.path.join(sets, "small.iconset"), "wb") as f:
            f.write(b"[Trayhound Icon Set]\r\nname=Small Set\r\nauthor=Tester\r\n"
                    b"description=Three test pictures.\r\ncount=3\r\n1=app.bmp\r\n2=folder.bmp\r\n3=doc.bmp\r\n")
        s.write_data_file(self.ITEMS)

    def stored_sets(self, *keys):
        return [self.session.reg_query(self.SETS_KEY, key) for key in keys]

    def open_options(self):
        s = self.session
        s.choose(s.open_menu(3), "&Options...")
        return s.window("Options")

    def sets_shown(self, hwnd):
        window = self.find(hwnd)
        combo = controls(window, "ComboBox")[0]
        texts = [c["text"] for c in controls(window, "Static")]
        author = next(t for t in texts if t.startswith("Author: "))
        return combo["entries"], combo["selected"], author

    def test_an_icon_set_file_chosen_with_browse_becomes_the_active_set(self):
        s = self.session
        s.start()
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", True)])

        s.choose(s.open_menu(3), "&Options...")
        window = s.window("Options")
        hwnd = window["hwnd"]
        pages = controls(window, "ListBox")[0]
        self.assertEqual((pages["entries"], pages["selected"]), ([" Icon sets", " General"], 0))
        sets_box = controls(window, "ComboBox")[0]
        self.assertEqual((sets_box["entries"], sets_box["selected"]), (["Internal icon set", "Browse..."], 0))
        texts = [c["text"] for c in controls(window, "Static")]
        self.assertIn("Author: Wexmoor", texts)
        self.assertIn("The internal icon set.", texts)

        s.probe(f"cbselect {sets_box['hwnd']} 1")
        browse = wait_for(lambda: next((w for w in s.windows() if w["owner"] == hwnd), None), 10,
                          what="the open-file dialog")
        names = [c["class"] for c in browse["controls"]]
        name_box = browse["controls"][names.index("Edit", names.index("ComboBoxEx32"))]
        s.probe(f"settext {name_box['hwnd']} C:\\sets\\small.iconset")
        s.probe(f"click {next(c['hwnd'] for c in controls(browse, 'Button') if c['id'] == 1)}")
        self.gone(browse["hwnd"], "the open-file dialog")

        def shown():
            window = self.find(hwnd)
            combo = controls(window, "ComboBox")[0]
            texts = [c["text"] for c in controls(window, "Static")]
            return combo["entries"], combo["selected"], "Author: Tester" in texts, "Three test pictures." in texts

        self.until(shown, (["Internal icon set", "Small Set", "Browse..."], 1, True, True),
                   "the new set, selected, with its author and description")
        self.click(window, "OK")
        self.gone(hwnd, "the options dialog")
        # The new set has no picture 5: that item shows none, and keeps its number.
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", False)])

        self.exit_program()
        self.assertEqual(self.stored_sets("count", "1", "2"),
                         ["2", "C:\\sets\\small.iconset", "trayhound:\\internal.iconset"])
        self.assertEqual(s.read_data_file(), self.ITEMS)

    def test_an_unreadable_set_keeps_every_icon_number_and_its_pictures_come_back(self):
        s = self.session
        s.reg_add(self.SETS_KEY, "count", "1")
        s.reg_add(self.SETS_KEY, "1", "C:\\sets\\small.iconset")
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
                           ("3", "trayhound:\\internal.iconset")]:
            s.reg_add(self.SETS_KEY, key, value)
        s.start()
        self.assertEqual(self.programs_menu(), [("App", True), ("Web", False)])

        window = self.open_options()
        sets = ["Small Set", "Internal icon set", "Browse..."]
        self.assertEqual(self.sets_shown(window["hwnd"]), (sets, 0, "Author: Tester"))
        s.probe(f"cbselect {controls(window, 'ComboBox')[0]['hwnd']} 1")
        self.until(lambda: self.sets_shown(window["hwnd"]), (sets, 1, "Author: Wexmoor"), "the internal set")
        # Cancel: the dropped copy writes its list; the live one is unchanged.
        self.click(window, "Cancel")
        self.gone(window["hwnd"], "the options dialog")
        self.assertEqual(self.stored_sets("count", "1", "2"),
                         ["2", "C:\\sets\\small.iconset", "trayhound:\\internal.iconset"])

        window = self.open_options()
        self.assertEqual(self.sets_shown(window["hwnd"]), (sets, 0, "Author: Tester"))
        s.probe(f"cbselect {controls(window, 'ComboBox')[0]['hwnd']} 1")
        self.until(lambda: self.sets_shown(window["hwnd"]), (sets, 1, "Author: Wexmoor"), "the internal set")
        self.click(window, "OK")
        self.gone(window["hwnd"], "the options dialog")
        # Written at OK, not only at the end; key "3" of the longer list is left behind.
        chosen = ["2", "trayhound:\\internal.iconset", "C:\\sets\\small.iconset",
                  "trayhound:\\internal.iconset"]
        self.assertEqual(self.stored_sets("count", "1", "2", "3"), chosen)
        self.exit_program()
        self.assertEqual(self.stored_sets("count", "1", "2", "3"), chosen)


class PlacementTest(EditorTest):
    def rect(self, hwnd):
        return self.find(hwnd)["rect"]

    def placement(self, section):
        key = SETTINGS_KEY + "\\" + section
        return [self.session.reg_query(key, name) for name in ("WindowState", "Left", "Top", "Width", "Height")]

    def test_the_list_editor_reopens_where_it_was_left(self):
        s = self.session
        s.write_data_file(b"Alpha\tC:\\alpha.exe\t1\r\n")
        s.start()
        window = self.open_list()
        hwnd = window["hwnd"]
        left, top, right, bottom = window["rect"]
        width, height = right - left, bottom - top
        # First opening: 50 pixels in from the screen's right and bottom edges.
        self.assertEqual((right, bottom), (SCREEN[0] - 50, SCREEN[1] - 50))

        # Dragged by its title bar.
        s.drag((left + 40, top + 8), (left + 40 - 300, top + 8 - 200))
        moved = [left - 300, top - 200, right - 300, bottom - 200]
        self.until(lambda: self.rect(hwnd), moved, "the list editor where it was dragged")
        self.click(self.find(hwnd), "Cancel")
        self.gone(hwnd, "the list editor")
        self.assertEqual(self.placement("frmList"),
                         ["0", str(moved[0] * TWIPS_PER_PIXEL), str(moved[1] * TWIPS_PER_PIXEL),
                          str(width * TWIPS_PER_PIXEL), str(height * TWIPS_PER_PIXEL)])

        s.click_icon(1, double=True)
        window = s.window("List")
        self.assertEqual(window["rect"], moved)
        self.click(window, "OK")
        self.gone(window["hwnd"], "the list editor")

        # The stored place is read at each opening, and the designed size is kept.
        s.reg_add(SETTINGS_KEY + r"\frmList", "Left", "1500")
        s.reg_add(SETTINGS_KEY + r"\frmList", "Top", "3000")
        s.reg_add(SETTINGS_KEY + r"\frmList", "Width", "3000")
        window = self.open_list()
        self.assertEqual(window["rect"], [100, 200, 100 + width, 200 + height])
        s.probe(f"close {window['hwnd']}")
        self.gone(window["hwnd"], "the list editor")
        self.assertEqual(self.placement("frmList"),
                         ["0", "1500", "3000", str(width * TWIPS_PER_PIXEL), str(height * TWIPS_PER_PIXEL)])

        # The options dialog keeps its own place.
        s.choose(s.open_menu(3), "&Options...")
        options = s.window("Options")
        o_left, o_top, o_right, o_bottom = options["rect"]
        self.assertEqual((o_right, o_bottom), (SCREEN[0] - 50, SCREEN[1] - 50))
        self.click(options, "Cancel")
        self.gone(options["hwnd"], "the options dialog")
        self.assertEqual(self.placement("frmOptions"),
                         ["0", str(o_left * TWIPS_PER_PIXEL), str(o_top * TWIPS_PER_PIXEL),
                          str((o_right - o_left) * TWIPS_PER_PIXEL), str((o_bottom - o_top) * TWIPS_PER_PIXEL)])
        self.assertEqual(self.placement("frmList")[1:3], ["1500", "3000"])


class ExitWhileEditingTest(EditorTest):
    def test_exit_with_both_editors_open_keeps_the_live_list(self):
        s = self.session
        s.write_data_file(DATA)
        s.start()
        window = self.open_list()
        self.select(window, 0)
        self.list_shows(window["hwnd"], DATA_ENTRIES, 0, FIRST_ENABLED)
        self.press(window, "&Delete", DATA_ENTRIES[1:], 0, FIRST_ENABLED)
        editor = self.open_editor(window, "&New...", "New Item")
        self.type_into(editor, caption="Unsaved", command="C:\\unsaved.exe")
        self.editor_shows(editor["hwnd"], title="Unsaved")

        self.exit_program()
        wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")
        self.assertEqual(s.read_data_file(), DATA)
        # The list editor was closed through its normal unload, which stores its place.
        self.assertIsNotNone(s.reg_query(SETTINGS_KEY + r"\frmList", "Left"))

    def test_the_shutdown_request_ends_the_program_whatever_dialog_is_open(self):
        s = self.session
        s.write_data_file(DATA)
        s.start()
        window = self.open_list()
        self.select(window, 0)
        self.press(window, "&Delete", DATA_ENTRIES[1:], 0, FIRST_ENABLED)
        editor = self.open_editor(window, "&New...", "New Item")
        self.type_into(editor, caption="Unsaved", command="C:\\unsaved.exe")
        self.assert_shutdown_request_ends_it("1")
        self.assertEqual(s.read_data_file(), DATA)
        # The tray shows the new icon only once the old one is gone.
        wait_for(lambda: not s.icon_shown(), 10, what="the icon to go")

        # Started again, with the options dialog open on a copy of the icon-set list.
        s.start()
        s.choose(s.open_menu(3), "&Options...")
        s.window("Options")
        self.assert_shutdown_request_ends_it("now")
        self.assertEqual(s.read_data_file(), DATA)
        self.assertEqual(s.reg_query(SETTINGS_KEY + r"\Options\LastIconSetFileNames", "1"),
                         "trayhound:\\internal.iconset")


if __name__ == "__main__":
    unittest.main()
