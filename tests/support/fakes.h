#pragma once
// Fakes of the program's ports, shared by the unit and fuzz tests.

#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/feed.h"
#include "entry/locale.h"
#include "entry/log_pane.h"
#include "logfiles/file_command.h"
#include "logfiles/file_dialogs.h"
#include "logfiles/text_files.h"
#include "station/station_statement.h"

namespace zelmor::fakes {

// What the fakes did, in order, so that a test can check the order of steps across them.
using Journal = std::vector<std::wstring>;

struct FixedClock : Clock {
  FixedClock() = default;
  explicit FixedClock(const LocalTime& at) : now(at) {}
  LocalTime now{2024, 3, 5, 21, 5, 37};
  LocalTime Now() override { return now; }
};

struct FakePane : entry::LogPane {
  std::wstring text;
  bool caret_at_end = false;
  int caret_moves = 0;
  bool enabled = false;
  uint64_t replacements = 0;
  int reads = 0;  // whole-text reads
  entry::PaneTextWatcher* watcher = nullptr;
  std::wstring Text() override {
    ++reads;
    return text;
  }
  size_t Length() override { return text.size(); }
  void SetText(const std::wstring& t) override {
    text = t;
    ++replacements;
    caret_at_end = false;  // setting the text puts the caret at the start
    if (watcher) watcher->OnPaneTextSet(text, replacements);
  }
  void Append(const std::wstring& t) override { text += t; }
  bool EndsLine() override { return text.empty() || text.back() == L'\n'; }
  void CaretToEnd() override {
    caret_at_end = true;
    ++caret_moves;
  }
  void SetEnabled(bool e) override { enabled = e; }
  uint64_t Replacements() override { return replacements; }
  // The operator typed into the pane.
  void Edit(const std::wstring& t) {
    text = t;
    ++replacements;
  }
};

// The operator's station as the entry box sees it: none until a test sets one.
struct FakeStationSource : station::StationSource {
  std::optional<entry::StationLine> station;
  std::optional<entry::StationLine> StationInForce() const override { return station; }
};

struct FakeEntry : entry::EntryField {
  std::wstring text;
  std::wstring Text() override { return text; }
  void Clear() override { text.clear(); }
};

struct Shown {
  std::wstring text;
  std::optional<std::wstring> title;
  MessageButtons buttons;
  MessageIcon icon;
};

// Answers every Yes/No question with `answer` and notes each box.
struct FakeMessages : MessageBoxes {
  MessageAnswer answer = MessageAnswer::Yes;
  std::vector<Shown> shown;
  Journal* journal = nullptr;
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MessageButtons buttons,
                     MessageIcon icon) override {
    if (journal) journal->push_back(L"message");
    shown.push_back({text, title, buttons, icon});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
  }
};

// A disk of whole files. Rename never replaces, as the program's own file layer does.
struct FakeFiles : logfiles::TextFiles {
  std::map<std::wstring, std::wstring> disk;
  bool refuse_writes = false;
  bool refuse_renames = false;
  std::vector<std::wstring> leftovers_removed;
  int replaces = 0;
  bool Read(const std::wstring& path, std::wstring& text) override {
    auto it = disk.find(path);
    if (it == disk.end()) return false;
    text = it->second;
    return true;
  }
  bool Replace(const std::wstring& path, const std::wstring& text) override {
    if (refuse_writes) return false;
    ++replaces;
    disk[path] = text;
    return true;
  }
  bool Exists(const std::wstring& path) override { return disk.count(path) != 0; }
  bool Rename(const std::wstring& from, const std::wstring& to) override {
    if (refuse_renames || !disk.count(from) || disk.count(to)) return false;
    disk[to] = disk[from];
    disk.erase(from);
    return true;
  }
  void RemoveLeftovers(const std::wstring& path) override { leftovers_removed.push_back(path); }
  // The disk keeps text; its bytes are UTF-8, which pieces of a text encode to the pieces of, as in
  // any code page, and in which ASCII bytes are their own characters.
  std::optional<std::string> Encode(const std::wstring& text) override {
    if (encode_throws) throw std::bad_alloc();
    ++encodes;
    encoded_characters += text.size();
    std::string bytes;
    for (wchar_t w : text) {
      const auto c = static_cast<uint32_t>(w);
      if (c < 0x80) {
        bytes += static_cast<char>(c);
      } else if (c < 0x800) {
        bytes += static_cast<char>(0xC0 | (c >> 6));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        bytes += static_cast<char>(0xE0 | (c >> 12));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        bytes += static_cast<char>(0xF0 | (c >> 18));
        bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return bytes;
  }
  bool ReplaceEncoded(const std::wstring& path, const std::string& bytes) override {
    std::wstring text;
    for (size_t i = 0; i < bytes.size();) {
      const auto lead = static_cast<unsigned char>(bytes[i++]);
      const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
      uint32_t c = more == 0 ? lead : lead & (0x3F >> more);
      for (int k = 0; k < more && i < bytes.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[i++]) & 0x3F);
      text += static_cast<wchar_t>(c);
    }
    return Replace(path, text);
  }
  int encodes = 0;
  size_t encoded_characters = 0;
  bool encode_throws = false;  // as a conversion that runs out of memory
};

// The operator in a common file dialog: picks `chosen`, or cancels when `answer` is false.
struct FakeDialogs : logfiles::FileDialogs {
  Journal& journal;
  bool answer = true;
  std::wstring chosen;
  std::optional<logfiles::FileDialogState> seen;  // the state as the dialog was shown
  std::optional<logfiles::ExistingFile> existing;  // what the last Save dialog was told
  explicit FakeDialogs(Journal& j) : journal(j) {}
  bool Show(logfiles::FileDialogState& state, const wchar_t* kind) {
    journal.push_back(kind);
    seen = state;
    if (answer) state.file_name = chosen;
    return answer;
  }
  bool ShowOpen(logfiles::FileDialogState& state) override { return Show(state, L"open dialog"); }
  bool ShowSave(logfiles::FileDialogState& state, logfiles::ExistingFile e) override {
    existing = e;
    return Show(state, L"save dialog");
  }
};

struct FixedLocale : entry::Locale {
  entry::LocaleFormats formats;
  entry::LocaleFormats Formats() override { return formats; }
};

// A tracking program that answers every request from a table, or refuses all of them.
struct FakeFeedLinks : entry::FeedLinks {
  std::vector<std::wstring> values{L"RS-44", L"435.640.000", L"145.965.000", L"12345", L"USB"};
  bool running = true;
  bool Open(int, const std::wstring&, const std::wstring&, const std::wstring&) override { return running; }
  bool Request(int label, std::wstring& value) override {
    if (!running) return false;
    value = values[static_cast<size_t>(label)];
    return true;
  }
  void Close(int) override {}
};

// Edit mode as the file commands see it: leaving it is noted and clears the flag.
struct FakeEditModeSwitch : logfiles::EditModeSwitch {
  MainState& state;
  Journal& journal;
  FakeEditModeSwitch(MainState& s, Journal& j) : state(s), journal(j) {}
  void LeaveEditMode() override {
    journal.push_back(L"leave edit mode");
    state.edit_mode = false;
  }
};

}  // namespace zelmor::fakes
