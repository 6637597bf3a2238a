#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "items/LaunchItems.h"

namespace trayhound {

// Which of the list editor's item buttons can be pressed.
struct ListButtons {
    bool edit = false;
    bool del = false;
    bool moveUp = false;
    bool moveDown = false;

    friend bool operator==(const ListButtons&, const ListButtons&) = default;
};

// The list editor's window as its logic sees it. Positions in `lstItems` count from 0; -1 is
// "nothing selected". Changing the selection from here never calls back into the logic.
class ListEditorView {
  public:
    virtual ~ListEditorView() = default;

    virtual void ClearEntries() = 0;
    // `position` == EntryCount() appends.
    virtual void InsertEntry(int position, const std::string& text) = 0;
    virtual void SetEntry(int position, const std::string& text) = 0;
    virtual void RemoveEntry(int position) = 0;
    virtual int EntryCount() const = 0;
    virtual int Selection() const = 0;
    virtual void SetSelection(int position) = 0;
    virtual void EnableButtons(const ListButtons& buttons) = 0;

    // Shows the item editor modally, owned by this window, on `item`; true when the user
    // confirmed with OK, which has written the fields into `item`.
    virtual bool EditItem(LaunchItem& item) = 0;
    // A message box titled with the program's title.
    virtual void ShowError(const std::string& text) = 0;
    // The saved placement (position only) and saving it; the view knows its window and store.
    virtual void RestorePosition() = 0;
    virtual void SavePosition() = 0;
    virtual void CloseWindow() = 0;
};

// frmList: edits a working copy of the application's collection; OK hands the copy to the
// application object and saves it, Cancel drops it. List entry k shows item k + 1.
class ListEditor {
  public:
    ListEditor(ListEditorView& view, Application& app) noexcept : view_(view), app_(app) {}

    void Form_Load();
    void Form_Unload();
    void lstItems_Click();
    void lstItems_DblClick();
    void cmdNew_Click();
    // Files, folders, shortcuts or addresses dropped on entry `onEntry` (-1: below the last)
    // become new items after it, in the order given, as New adds them; the last is selected.
    void ItemsDropped(const std::vector<LaunchItem>& items, int onEntry);
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The collection being edited; empty before Form_Load.
    const std::shared_ptr<LaunchItems>& WorkingCopy() const noexcept { return workingCopy_; }

    // The text an item shows in the list: its caption with every "\t" pair as a TAB.
    static std::string DisplayText(const LaunchItem& item) { return item.DisplayCaption(); }

  private:
    void FillList();
    void Select(int position);
    // Puts `item` at entry `n` of the working copy and the list.
    void InsertItem(const LaunchItem& item, int n);
    std::string DisplayOf(int itemIndex) const;

    ListEditorView& view_;
    Application& app_;
    std::shared_ptr<LaunchItems> workingCopy_;
};

}  // namespace trayhound
