// The safety copy beside the program: what each entry writes, and what start-up offers back.

#include "logfiles/safety_copy.h"

#include <gtest/gtest.h>

#include "entry/entry_box.h"
#include "entry/feed.h"
#include "fakes.h"
#include "memory_profile_store.h"

namespace zelmor::logfiles {
namespace {

constexpr wchar_t kCopy[] = L"C:\\Z\\Zelmor_temp.txt";
constexpr wchar_t kSetAside[] = L"C:\\Z\\Zelmor_temp.bak";

class SafetyCopyTest : public ::testing::Test {
 protected:
  MainState state;
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  fakes::FakeFiles files;
  fakes::FakeMessages messages;
  fakes::FakePane pane;
  fakes::FixedClock clock{{2026, 12, 7, 14, 49, 0}};
  SafetyCopy copy{files, profile, clock, L"C:\\Z"};

  std::wstring Mark() { return store.Get(L"Zelmor", L"Running", L"(missing)"); }
  void CrashedRunLeft(const std::wstring& text) {
    store.Put(L"Zelmor", L"Running", L"1");
    files.disk[kCopy] = text;
  }
  // One entry as the entry box makes it.
  bool Entry(const std::wstring& line) {
    pane.Append(line);
    return copy.Write(pane, line);
  }
};

TEST_F(SafetyCopyTest, RegularPreviousCloseAsksNothingAndMarksTheRun) {
  files.disk[kCopy] = L"L1\r\n\r\n";
  copy.OfferEarlierCopy(messages, pane, state);  // first start ever: no mark
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(Mark(), L"1");
  copy.MarkClosedNormally();
  EXPECT_EQ(Mark(), L"0");
  copy.OfferEarlierCopy(messages, pane, state);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(pane.text, L"");
}

TEST_F(SafetyCopyTest, YesLoadsTheCopyAsTheViewerDoesAndMarksItUnsaved) {
  CrashedRunLeft(L"L1\r\nL2\r\n\r\n");
  messages.answer = MessageAnswer::Yes;
  copy.OfferEarlierCopy(messages, pane, state);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, L"前回のLOGデータが保存されていません。\r\n非常用LOGを読み込みますか？");
  EXPECT_EQ(messages.shown[0].title, std::optional<std::wstring>(L"Zelmor"));
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
  EXPECT_EQ(pane.text, L"L1\r\nL2\r\n\r\n");
  EXPECT_TRUE(state.log_unsaved);
  EXPECT_TRUE(files.Exists(kCopy));
  EXPECT_EQ(Mark(), L"1");
}

TEST_F(SafetyCopyTest, EmptyOrMissingCopyOffersNothing) {
  store.Put(L"Zelmor", L"Running", L"1");
  copy.OfferEarlierCopy(messages, pane, state);
  CrashedRunLeft(L"");
  copy.OfferEarlierCopy(messages, pane, state);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SafetyCopyTest, EachNoKeepsItsCrashedRunAndTheNewestTakesThePlainName) {
  messages.answer = MessageAnswer::No;
  CrashedRunLeft(L"first crash\r\n\r\n");
  copy.OfferEarlierCopy(messages, pane, state);
  EXPECT_EQ(pane.text, L"");
  EXPECT_FALSE(state.log_unsaved);
  EXPECT_FALSE(files.Exists(kCopy));
  EXPECT_EQ(files.disk[kSetAside], L"first crash\r\n\r\n");

  for (const wchar_t* crash : {L"second crash\r\n\r\n", L"third crash\r\n\r\n"}) {
    SafetyCopy next{files, profile, clock, L"C:\\Z"};
    CrashedRunLeft(crash);
    next.OfferEarlierCopy(messages, pane, state);
  }
  EXPECT_EQ(files.disk[kSetAside], L"third crash\r\n\r\n");
  EXPECT_EQ(files.disk[L"C:\\Z\\Zelmor_temp-20261207-1449.bak"], L"first crash\r\n\r\n");
  EXPECT_EQ(files.disk[L"C:\\Z\\Zelmor_temp-20261207-1449-2.bak"], L"second crash\r\n\r\n");
}

TEST_F(SafetyCopyTest, CopyThatCannotBeSetAsideIsNeverOverwritten) {
  messages.answer = MessageAnswer::No;
  CrashedRunLeft(L"crashed\r\n\r\n");
  files.refuse_renames = true;
  copy.OfferEarlierCopy(messages, pane, state);
  EXPECT_FALSE(Entry(L"new\r\n")) << "the earlier copy is still in the way";
  EXPECT_EQ(files.disk[kCopy], L"crashed\r\n\r\n");
  files.refuse_renames = false;
  EXPECT_TRUE(Entry(L"next\r\n"));
  EXPECT_EQ(files.disk[kSetAside], L"crashed\r\n\r\n");
  EXPECT_EQ(files.disk[kCopy], L"new\r\nnext\r\n\r\n");
}

TEST_F(SafetyCopyTest, WritesFollowTheAppendsAndReadThePaneOnlyAfterOtherChanges) {
  pane.text = L"loaded\r\n";
  ASSERT_TRUE(Entry(L"A\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"loaded\r\nA\r\n\r\n");
  EXPECT_EQ(pane.reads, 1) << "the first write learns the pane";
  const size_t converted = files.encoded_characters;
  ASSERT_TRUE(Entry(L"B\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"loaded\r\nA\r\nB\r\n\r\n");
  EXPECT_EQ(pane.reads, 1) << "an append alone needs no reading back";
  EXPECT_EQ(files.encoded_characters - converted, 3u) << "nor converting the log again, only its new line";

  pane.Edit(L"loaded\r\nA edited\r\nB\r\n");
  ASSERT_TRUE(Entry(L"C\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"loaded\r\nA edited\r\nB\r\nC\r\n\r\n");
  pane.SetText(L"opened\r\n");
  ASSERT_TRUE(Entry(L"D\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"opened\r\nD\r\n\r\n");

  // A failed write still follows the pane: the next one carries both lines.
  files.refuse_writes = true;
  EXPECT_FALSE(Entry(L"E\r\n"));
  files.refuse_writes = false;
  ASSERT_TRUE(Entry(L"F\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"opened\r\nD\r\nE\r\nF\r\n\r\n");
  EXPECT_EQ(pane.reads, 3);
}

TEST_F(SafetyCopyTest, LogLoadedIntoThePaneIsConvertedAsItLoadsAndTheNextEntryReadsNothingBack) {
  pane.watcher = &copy;
  pane.SetText(L"opened\r\n");  // LOG Open, the viewer, the recovery
  EXPECT_EQ(files.replaces, 0) << "only an entry writes the copy";
  const size_t converted = files.encoded_characters;
  ASSERT_TRUE(Entry(L"A\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"opened\r\nA\r\n\r\n");
  EXPECT_EQ(pane.reads, 0);
  EXPECT_EQ(files.encoded_characters - converted, 3u) << "only the entry's line is converted";

  // Told of a text that the pane does not hold: the entry reads the pane back.
  pane.Edit(L"edited\r\n");
  copy.OnPaneTextSet(L"not what the pane holds\r\n", pane.replacements);
  ASSERT_TRUE(Entry(L"B\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"edited\r\nB\r\n\r\n");
  EXPECT_EQ(pane.reads, 1);

  // A log that cannot be converted as it loads still loads; the entry reads it back.
  files.encode_throws = true;
  EXPECT_NO_THROW(pane.SetText(L"huge\r\n"));
  files.encode_throws = false;
  ASSERT_TRUE(Entry(L"C\r\n"));
  EXPECT_EQ(files.disk[kCopy], L"huge\r\nC\r\n\r\n");
  EXPECT_EQ(pane.reads, 2);
}

TEST_F(SafetyCopyTest, RunThatCouldNotMarkItselfIsMarkedByItsFirstCopy) {
  store.Put(L"Zelmor", L"Running", L"0");
  store.refuse_writes = true;  // a read-only folder at start
  copy.OfferEarlierCopy(messages, pane, state);
  EXPECT_EQ(Mark(), L"0");
  ASSERT_TRUE(Entry(L"A\r\n"));
  EXPECT_EQ(Mark(), L"0") << "still refused";
  store.refuse_writes = false;
  ASSERT_TRUE(Entry(L"B\r\n"));
  EXPECT_EQ(Mark(), L"1");
}

// Logging must feel instant: from Enter to the copy on disk, the settings file is not read.
TEST_F(SafetyCopyTest, EntriesReadNoSettings) {
  copy.OfferEarlierCopy(messages, pane, state);
  fakes::FakeFeedLinks links;
  entry::Feed feed(links);
  fakes::FakeEntry entry;
  fakes::FixedLocale locale;
  fakes::FakeStationSource station;
  station::StationStatement statement{station};
  entry::EntryBoxContext box{state, feed, pane, entry, clock, locale, copy, statement};
  state.template_text = L"#DT #TMJ #MM %Sat=#SN/Rev:#RV% #LF #MD Up=#TX/Down=#RX";
  const int reads_at_start = store.reads;
  for (const wchar_t* memo : {L"JA1ABC 59 57", L"JR2XYZ 55 55"}) {
    entry.text = memo;
    entry::OnEntryKey(box, entry::kEnterKey);
  }
  links.running = false;  // fallback lines reach the copy as well
  entry.text = L"JA3QRP";
  entry::OnEntryKey(box, entry::kEnterKey);
  ASSERT_EQ(files.disk[kCopy], pane.text + L"\r\n");
  EXPECT_NE(pane.text.find(L"%Sat=RS-44/Rev:12345%"), std::wstring::npos) << "composed lines: " << testing::PrintToString(pane.text);
  EXPECT_EQ(store.reads - reads_at_start, 0);
}

}  // namespace
}  // namespace zelmor::logfiles
