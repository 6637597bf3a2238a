#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CaughtError.h"
#include "items/LaunchItems.h"

namespace trayhound {
namespace {

using Captions = std::vector<std::string>;

LaunchItems Make(const Captions& captions) {
    LaunchItems items;
    for (const auto& caption : captions) items.Add(caption, "cmd " + caption, 1, -1);
    return items;
}

Captions CaptionsOf(const LaunchItems& items) {
    Captions captions;
    for (const auto& item : items) captions.push_back(item->Caption());
    return captions;
}

std::vector<LaunchItems::ItemPtr> ObjectsOf(const LaunchItems& items) {
    return {items.begin(), items.end()};
}

TEST(LaunchItemsAdd, AfterZeroOnEmptyCollectionGivesOneItem) {
    LaunchItems items;
    items.Add("A", "a.exe", 2);
    EXPECT_EQ(CaptionsOf(items), Captions{"A"});
}

TEST(LaunchItemsAdd, StoresAllThreeValuesAndReturnsTheStoredItem) {
    LaunchItems items = Make({"A"});
    const auto added = items.Add("New", "notepad.exe", 4, -1);
    EXPECT_EQ(items.Item(2), added);
    EXPECT_EQ(added->Caption(), "New");
    EXPECT_EQ(added->Command(), "notepad.exe");
    EXPECT_EQ(added->Icon(), 4);
}

struct AddCase {
    std::int16_t after;
    Captions expected;
};

std::ostream& operator<<(std::ostream& out, const AddCase& c) {
    return out << "After " << c.after;
}

class LaunchItemsAddPosition : public testing::TestWithParam<AddCase> {};

TEST_P(LaunchItemsAddPosition, PutsTheItemWhereAfterSays) {
    LaunchItems items = Make({"A", "B", "C"});
    items.Add("N", "n.exe", 0, GetParam().after);
    EXPECT_EQ(CaptionsOf(items), GetParam().expected);
}

TEST_P(LaunchItemsAddPosition, KeyedAddUsesTheSamePositions) {
    LaunchItems items = Make({"A", "B", "C"});
    items.Add("N", "n.exe", 0, GetParam().after, "key");
    EXPECT_EQ(CaptionsOf(items), GetParam().expected);
    EXPECT_EQ(items.Item("key")->Caption(), "N");
}

INSTANTIATE_TEST_SUITE_P(AfterValues, LaunchItemsAddPosition,
                         testing::Values(AddCase{0, {"N", "A", "B", "C"}},
                                         AddCase{-1, {"A", "B", "C", "N"}},
                                         AddCase{1, {"A", "N", "B", "C"}},
                                         AddCase{2, {"A", "B", "N", "C"}},
                                         AddCase{3, {"A", "B", "C", "N"}}));

TEST(LaunchItemsAdd, PositionOutsideTheCollectionIsRefusedAndNothingAdded) {
    for (const std::int16_t after : {std::int16_t{4}, std::int16_t{-2}, std::int16_t{-32768}}) {
        LaunchItems items = Make({"A", "B", "C"});
        const auto error = CaughtError([&] { items.Add("N", "", 0, after); });
        ASSERT_TRUE(error) << "After " << after;
        EXPECT_EQ(error->Number(), error_number::kSubscriptOutOfRange) << "After " << after;
        EXPECT_EQ(CaptionsOf(items), (Captions{"A", "B", "C"})) << "After " << after;
    }
}

TEST(LaunchItemsAdd, DuplicateKeyInAnyCaseIsRefusedAndNothingAdded) {
    LaunchItems items;
    items.Add("First", "", 0, -1, "Editor");
    const auto error = CaughtError([&] { items.Add("Second", "", 0, -1, "eDITOR"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kKeyAlreadyAssociated);
    EXPECT_EQ(CaptionsOf(items), Captions{"First"});
}

TEST(LaunchItemsAdd, ItemsWithoutKeysNeverClash) {
    LaunchItems items;
    items.Add("A", "", 0, -1);
    items.Add("B", "", 0, -1);
    EXPECT_EQ(items.count(), 2);
}

TEST(LaunchItemsItem, KeyLookupIgnoresCase) {
    LaunchItems items = Make({"A", "B"});
    const auto keyed = items.Add("Mail", "mailto:", 4, 1, "MailKey");
    EXPECT_EQ(items.Item("mailkey"), keyed);
    EXPECT_EQ(items.Item(2), keyed);
}

TEST(LaunchItemsItem, PositionOutsideOneToCountIsSubscriptOutOfRange) {
    const LaunchItems items = Make({"A", "B"});
    for (const int index : {0, 3, -1}) {
        const auto error = CaughtError([&] { items.Item(index); });
        ASSERT_TRUE(error) << index;
        EXPECT_EQ(error->Number(), error_number::kSubscriptOutOfRange) << index;
    }
}

TEST(LaunchItemsItem, AbsentKeyIsInvalidProcedureCall) {
    LaunchItems items = Make({"A"});
    items.Add("K", "", 0, -1, "present");
    for (const std::string key : {"absent", ""}) {
        const auto error = CaughtError([&] { items.Item(key); });
        ASSERT_TRUE(error) << key;
        EXPECT_EQ(error->Number(), error_number::kInvalidProcedureCall) << key;
    }
}

TEST(LaunchItemsItem, HandsOutTheStoredObject) {
    LaunchItems items = Make({"A", "B"});
    items.Item(2)->SetCaption("Changed");
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "Changed"}));
}

TEST(LaunchItemsRemove, ByPositionClosesTheGap) {
    LaunchItems items = Make({"A", "B", "C"});
    items.Remove(2);
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "C"}));
    EXPECT_EQ(items.Item(2)->Caption(), "C");
}

TEST(LaunchItemsRemove, ByKeyRemovesThatItemAndFreesTheKey) {
    LaunchItems items = Make({"A", "C"});
    items.Add("B", "", 0, 1, "b");
    items.Remove("B");
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "C"}));
    EXPECT_NO_THROW(items.Add("B again", "", 0, -1, "b"));
}

TEST(LaunchItemsRemove, KeysStayWithTheirItemsWhenOthersAreRemoved) {
    LaunchItems items = Make({"A", "B"});
    items.Add("K", "", 0, -1, "k");
    items.Remove(1);
    EXPECT_EQ(items.Item("k")->Caption(), "K");
}

TEST(LaunchItemsRemove, BadPositionOrKeyLeavesTheCollectionUnchanged) {
    LaunchItems items = Make({"A", "B"});
    const auto byPosition = CaughtError([&] { items.Remove(3); });
    const auto byKey = CaughtError([&] { items.Remove("nothing"); });
    ASSERT_TRUE(byPosition && byKey);
    EXPECT_EQ(byPosition->Number(), error_number::kSubscriptOutOfRange);
    EXPECT_EQ(byKey->Number(), error_number::kInvalidProcedureCall);
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "B"}));
}

TEST(LaunchItemsMoveDown, FirstItemMovesAsTheSameObject) {
    LaunchItems items = Make({"A", "B", "C"});
    const auto first = items.Item(1);
    items.MoveDown(1);
    EXPECT_EQ(CaptionsOf(items), (Captions{"B", "A", "C"}));
    EXPECT_EQ(items.Item(2), first);
}

TEST(LaunchItemsMoveDown, LastButOneSwapsWithTheLast) {
    LaunchItems items = Make({"A", "B", "C", "D"});
    items.MoveDown(3);
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "B", "D", "C"}));
}

TEST(LaunchItemsMoveDown, RefusedOutsideOneToCountMinusOneWithNothingLost) {
    for (const std::int16_t index :
         {std::int16_t{3}, std::int16_t{0}, std::int16_t{-1}, std::int16_t{4}}) {
        LaunchItems items = Make({"A", "B", "C"});
        const auto before = ObjectsOf(items);
        const auto error = CaughtError([&] { items.MoveDown(index); });
        ASSERT_TRUE(error) << index;
        EXPECT_EQ(error->Number(), error_number::kSubscriptOutOfRange) << index;
        EXPECT_EQ(ObjectsOf(items), before) << index;
    }
}

TEST(LaunchItemsMoveDown, SingleItemCannotMove) {
    LaunchItems items = Make({"A"});
    EXPECT_TRUE(CaughtError([&] { items.MoveDown(1); }));
    EXPECT_EQ(items.count(), 1);
}

TEST(LaunchItemsMoveDown, MovedItemLosesItsKeyButTheOtherKeepsIts) {
    LaunchItems items;
    items.Add("A", "", 0, -1, "a");
    items.Add("B", "", 0, -1, "b");
    items.MoveDown(1);
    EXPECT_EQ(items.Item("b")->Caption(), "B");
    EXPECT_TRUE(CaughtError([&] { items.Item("a"); }));
}

TEST(LaunchItemsClone, CopiesValuesInOrderAsNewObjects) {
    LaunchItems items;
    items.Add("A", "a.exe", 1, -1);
    items.Add("-", "", 0, -1);
    items.Add("C", "c.exe", 300, -1);
    const auto copy = items.Clone();
    ASSERT_EQ(copy->count(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NE(copy->Item(i), items.Item(i));
        EXPECT_EQ(copy->Item(i)->Caption(), items.Item(i)->Caption());
        EXPECT_EQ(copy->Item(i)->Command(), items.Item(i)->Command());
        EXPECT_EQ(copy->Item(i)->Icon(), items.Item(i)->Icon());
    }
}

TEST(LaunchItemsClone, ChangingTheCopyLeavesTheSourceAlone) {
    LaunchItems items = Make({"A", "B"});
    const auto copy = items.Clone();
    copy->Item(1)->SetCaption("Changed");
    copy->Item(1)->SetIcon(5);
    copy->Remove(2);
    EXPECT_EQ(CaptionsOf(items), (Captions{"A", "B"}));
    EXPECT_EQ(items.Item(1)->Icon(), 1);
}

TEST(LaunchItemsClone, CopyHasNoKeys) {
    LaunchItems items;
    items.Add("A", "", 0, -1, "a");
    const auto copy = items.Clone();
    EXPECT_TRUE(CaughtError([&] { copy->Item("a"); }));
    EXPECT_NO_THROW(copy->Add("Another", "", 0, -1, "a"));
}

TEST(LaunchItemsClear, EmptiesTheCollectionAndItsKeys) {
    LaunchItems items = Make({"A"});
    items.Add("K", "", 0, -1, "k");
    items.Clear();
    EXPECT_EQ(items.count(), 0);
    EXPECT_EQ(items.begin(), items.end());
    EXPECT_NO_THROW(items.Add("K", "", 0, -1, "k"));
}

TEST(LaunchItem, SeparatorIsExactlyOneHyphen) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"-", true},   {"- ", false}, {" -", false},
        {"--", false}, {"", false},   {"\xE2\x80\x93", false}};
    for (const auto& [caption, separator] : cases) {
        LaunchItem item;
        item.SetCaption(caption);
        EXPECT_EQ(item.IsSeparator(), separator) << '"' << caption << '"';
    }
}

TEST(LaunchItem, DisplayCaptionTurnsEveryBackslashTIntoATab) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"(Notepad\tCtrl+N)", "Notepad\tCtrl+N"},
        {R"(a\tb\tc)", "a\tb\tc"},
        {R"(\t)", "\t"},
        {R"(\\t)", "\\\t"},
        {R"(ends with \)", R"(ends with \)"},
        {R"(upper \T stays)", R"(upper \T stays)"},
        {"real\ttab", "real\ttab"},
        {"plain", "plain"},
    };
    for (const auto& [caption, shown] : cases) {
        LaunchItem item;
        item.SetCaption(caption);
        EXPECT_EQ(item.DisplayCaption(), shown) << caption;
        EXPECT_EQ(item.Caption(), caption);
    }
}

TEST(LaunchItem, CloneIsAnIndependentCopy) {
    LaunchItem item;
    item.SetCaption("A");
    item.SetCommand("a.exe");
    item.SetIcon(-7);
    const auto copy = item.Clone();
    copy->SetCaption("B");
    EXPECT_EQ(item.Caption(), "A");
    EXPECT_EQ(copy->Command(), "a.exe");
    EXPECT_EQ(copy->Icon(), -7);
}

class RecordingShell : public Shell {
  public:
    explicit RecordingShell(bool accept) : accept_(accept) {}
    bool Open(const std::string& command) override {
        commands.push_back(command);
        return accept_;
    }
    std::vector<std::string> commands;

  private:
    bool accept_;
};

TEST(LaunchItem, ExecuteHandsTheWholeUntrimmedCommandToTheShell) {
    for (const bool accept : {true, false}) {
        RecordingShell shell(accept);
        LaunchItem item;
        item.SetCommand(R"( "C:\Program Files\App\app.exe" /x )");
        EXPECT_EQ(item.Execute(shell), accept);
        EXPECT_EQ(shell.commands, std::vector<std::string>{item.Command()});
    }
}

}  // namespace
}  // namespace trayhound
