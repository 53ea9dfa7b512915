// The link to the logging program against logbook-sim.exe, and the clipboard reader.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "processes_win.h"
#include "transfer/clipboard_win.h"
#include "transfer/hamlog_link_win.h"
#include "transfer/logging_link.h"

namespace zelmor::transfer {
namespace {

class RecordingBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                     MessageButtons, MessageIcon icon) override {
    texts.push_back(text);
    titles.push_back(title.value_or(L"(none)"));
    icons.push_back(icon);
    return MessageAnswer::Ok;
  }
  std::vector<std::wstring> texts, titles;
  std::vector<MessageIcon> icons;
};

std::string Hex(unsigned long long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", value);
  return text;
}

std::string HexBytes(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", c);
    out += pair;
  }
  return out;
}

// A journal file of its own in %TEMP%, deleted afterwards.
class JournalFile {
 public:
  JournalFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    static int counter = 0;
    path_ = std::wstring(folder) + L"zelmor-transfer-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L".txt";
    DeleteFileW(path_.c_str());
  }
  ~JournalFile() { DeleteFileW(path_.c_str()); }
  const std::wstring& path() const { return path_; }

  std::vector<std::string> Lines() const {
    base::UniqueFile file(CreateFileW(path_.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<std::string> lines;
    if (!file) return lines;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    size_t start = 0;
    for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(content.substr(start, end - start));
    }
    return lines;
  }

 private:
  std::wstring path_;
};

using test_support::LogbookSim;

// Stands for Zelmor's main window: its handle is what goes out as wParam.
class SenderWindow {
 public:
  SenderWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelmorTransferTestSender";
    RegisterClassW(&wc);
    window_.reset(CreateWindowExW(0, wc.lpszClassName, L"sender", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, wc.hInstance, nullptr));
  }
  HWND get() const { return window_.get(); }

 private:
  base::UniqueHwnd window_;
};

class LoggingLinkWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FindWindowA("TThwin", nullptr), nullptr) << "a logging program from elsewhere is running";
    ASSERT_NE(sender.get(), nullptr);
  }

  SenderWindow sender;
  JournalFile journal;
  RecordingBoxes boxes;
};

TEST_F(LoggingLinkWin32Test, FieldsArriveWithTheirCodeBytesAndSender) {
  LogbookSim simulator(L"--journal \"" + journal.path() + L"\"");
  ASSERT_TRUE(simulator.ready());
  HamlogLink link(sender.get());
  const std::string wparam = Hex(reinterpret_cast<unsigned long long>(sender.get()));

  struct Row {
    FieldCode code;
    std::wstring text;
    std::string expected;  // the journal line before " wParam="
    const char* why;
  };
  const std::string japanese = base::ToAnsi(L"日本語");
  const Row rows[] = {
      {1, L"ABC123", "dwData=0x20001 cbData=6 bytes=414243313233", "call sign with the flag"},
      {2, L"2024/01/02", "dwData=0x20002 cbData=8 bytes=32342F30312F3032", "date cut to its last 8"},
      {2, L"01/02", "dwData=0x20002 cbData=5 bytes=30312F3032", "short date whole"},
      {4, L"599", "dwData=0x4 cbData=3 bytes=353939", "HisRST bare"},
      {11, L"日本語", "dwData=0xB cbData=6 bytes=" + HexBytes(japanese), "two bytes a character"},
  };
  size_t expected_lines = 0;
  for (const auto& row : rows) {
    SendFieldToLoggingProgram(row.code, row.text, link, boxes);
    const auto lines = journal.Lines();
    ASSERT_EQ(lines.size(), ++expected_lines) << row.why;
    EXPECT_EQ(lines.back(), row.expected + " wParam=" + wparam) << row.why;
    EXPECT_EQ(link.last_send_error(), static_cast<DWORD>(ERROR_SUCCESS)) << row.why;
  }
  if (GetACP() == 932) {
    EXPECT_EQ(HexBytes(japanese), "93FA967B8CEA") << "Shift-JIS bytes of the three characters";
  }
  EXPECT_TRUE(boxes.texts.empty());

  SendFieldToLoggingProgram(1, L"", link, boxes);
  EXPECT_EQ(journal.Lines().size(), expected_lines) << "an empty text is never sent";
  EXPECT_TRUE(boxes.texts.empty()) << "and nothing is said about it";
}

TEST_F(LoggingLinkWin32Test, WithoutTheLoggingProgramNothingIsSentAndTheOperatorIsTold) {
  HamlogLink link(sender.get());
  EXPECT_EQ(link.FindLoggingProgram(), kLoggingProgramMissing);
  EXPECT_EQ(link.LoggingProgramWindow(), nullptr);

  SendFieldToLoggingProgram(1, L"ABC123", link, boxes);
  SendFieldToLoggingProgram(1, L"", link, boxes);
  ASSERT_EQ(boxes.texts.size(), 2u) << "also for an empty text";
  EXPECT_EQ(boxes.texts[0], L"Turbo HAMLOG/Winが起動していません。");
  EXPECT_EQ(boxes.titles[0], L"Zelmor");
  EXPECT_EQ(boxes.icons[0], MessageIcon::Stop);
  EXPECT_TRUE(journal.Lines().empty());
}

TEST_F(LoggingLinkWin32Test, HungLoggingProgramDoesNotHoldTheSenderUp) {
  LogbookSim simulator(L"--journal \"" + journal.path() + L"\" --hang-ms 10000");
  ASSERT_TRUE(simulator.ready());
  // Long enough for the simulator to pick the message up, far shorter than its hang.
  HamlogLink link(sender.get(), 2000);
  const ULONGLONG start = GetTickCount64();
  SendFieldToLoggingProgram(1, L"ABC123", link, boxes);
  const ULONGLONG took = GetTickCount64() - start;
  // Generous: it only has to come back well before the simulator wakes up.
  EXPECT_LT(took, 8000u) << "the send waited for the hung logging program";
  EXPECT_NE(link.last_send_error(), static_cast<DWORD>(ERROR_SUCCESS)) << "the send was given up on";
  EXPECT_EQ(journal.Lines().size(), 1u) << "the message did reach the logging program";
  EXPECT_TRUE(boxes.texts.empty()) << "a given-up send is not reported";
}

// The clipboard as another program leaves it.
class ClipboardWin32Test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(owner.get(), nullptr); }

  bool Put(UINT format, HANDLE data) {
    base::ClipboardGuard clipboard(owner.get());
    if (!clipboard.is_open() || !EmptyClipboard()) return false;
    if (!data) return true;
    return SetClipboardData(format, data) != nullptr;
  }

  static HGLOBAL Global(const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    base::GlobalLockGuard<char> lock(memory);
    memcpy(lock.get(), bytes, size);
    return memory;
  }

  bool PutAnsi(const std::string& bytes) { return Put(CF_TEXT, Global(bytes.c_str(), bytes.size() + 1)); }

  SenderWindow owner;
};

TEST_F(ClipboardWin32Test, AnsiTextComesBackAsItWasCopied) {
  const std::wstring rows[] = {
      L"  ABC123  ",  // the reader keeps the spaces: trimming is the menu's
      L"ABC123\r\n",
      L"\tJA1ABC",
      L"日本語",
  };
  for (const auto& text : rows) {
    ASSERT_TRUE(PutAnsi(base::ToAnsi(text)));
    EXPECT_EQ(ReadClipboardText(owner.get()), text);
  }
}

TEST_F(ClipboardWin32Test, UnicodeTextIsReadThroughTheAnsiFormat) {
  const std::wstring text = L"JA1ABC 59";
  ASSERT_TRUE(Put(CF_UNICODETEXT, Global(text.c_str(), (text.size() + 1) * sizeof(wchar_t))));
  EXPECT_EQ(ReadClipboardText(owner.get()), text);
}

TEST_F(ClipboardWin32Test, NoTextGivesAnEmptyText) {
  HBITMAP picture = CreateBitmap(4, 4, 1, 1, nullptr);
  ASSERT_TRUE(Put(CF_BITMAP, picture));
  EXPECT_EQ(ReadClipboardText(owner.get()), L"") << "a picture only";

  ASSERT_TRUE(Put(0, nullptr));
  EXPECT_EQ(ReadClipboardText(owner.get()), L"") << "an emptied clipboard";
}

}  // namespace
}  // namespace zelmor::transfer
