// Odd log files through the reading behind "LOG Open(O)" and the safety-copy viewer: the file read
// from disk in the ANSI code page and made into the pane's text. Whatever the bytes, the reading
// returns, lines end only at CR and CR LF, and no character of the file is lost to a neighbour.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "logfiles/log_text.h"
#include "logfiles/text_files_win.h"
#include "base/atomic_file_win.h"
#include "garbage.h"

namespace zelmor::logfiles {
namespace {

using test_support::Garbage;

class OddLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"zelmor-odd-log-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  // The pane's text after opening a file of these bytes; fails the test when the read fails.
  std::wstring Open(const std::string& bytes) {
    EXPECT_EQ(base::ReplaceFileContent(path_, bytes), static_cast<DWORD>(ERROR_SUCCESS));
    std::wstring text;
    AnsiTextFiles files;
    EXPECT_TRUE(files.Read(path_, text)) << "error " << files.last_error();
    return PaneTextFromFile(text);
  }

  std::wstring path_;
};

std::string Printable(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char code[12];
      std::snprintf(code, sizeof code, "<%04X>", static_cast<unsigned>(c));
      out += code;
    }
  }
  return out;
}

TEST_F(OddLogFileTest, ContentFollowsTheLineRule) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  struct Row {
    const char* what;
    std::string bytes;
    std::wstring pane;
  };
  const Row rows[] = {
      {"no final line end", "L1\r\nL2", L"L1\r\nL2\r\n"},
      {"CR only", "L1\rL2\r", L"L1\r\nL2\r\n"},
      // A lone LF does not end a line.
      {"LF only", "L1\nL2\n", L"L1\nL2\n\r\n"},
      {"empty lines of every kind", "\r\n\r\r\n\n", L"\r\n\r\n\r\n\n\r\n"},
      // The pane would end its text at a NUL and hide the rest.
      {"NUL bytes", std::string("a\0b\r\n\0\0\r\nc\0", 11), L"a b\r\n  \r\nc \r\n"},
      // A lead byte whose trail byte is missing becomes the code page's default character; the
      // line end after it stays a line end.
      {"lead byte before CR LF", "A\x89\r\nB\r\n", L"A・\r\nB\r\n"},
      {"lead byte before CR", "A\x89\rB", L"A・\r\nB\r\n"},
      {"lead byte before a lone LF", "A\x89\nB", L"A・\nB\r\n"},
      {"lead byte at the end of the file", "AB\x89", L"AB・\r\n"},
      {"lead byte before a NUL", std::string("A\x89\0B", 4), L"A・ B\r\n"},
      // Single bytes without a character of their own, as Windows maps them.
      {"bytes 80, A0, FD", "\x80\xa0\xfd\r\n", L"\u0080\uf8f0\uf8f1\r\n"},
      {"valid Shift-JIS around a broken character", "\x89\x71\x89\r\n\x90\xaf", L"衛・\r\n星\r\n"},
  };
  for (const Row& row : rows) {
    const std::wstring pane = Open(row.bytes);
    EXPECT_EQ(pane, row.pane) << row.what << ": " << Printable(pane);
  }
}

TEST_F(OddLogFileTest, OneMegabyteLineComesBackWhole) {
  std::string line(1 << 20, 'x');
  line.back() = 'Z';
  for (const char* end : {"", "\r\n"}) {
    const std::wstring pane = Open(line + end);
    ASSERT_EQ(pane.size(), line.size() + 2) << "line end \"" << Printable(std::wstring(end, end + strlen(end)))
                                            << "\"";
    EXPECT_EQ(pane.substr(pane.size() - 3), L"Z\r\n");
    EXPECT_EQ(pane.find_first_not_of(L'x'), line.size() - 1);
  }
}

// However broken the bytes (binary data, text in another encoding), the pane has exactly the
// lines the file's CR and CR LF bytes make, and no NUL.
TEST_F(OddLogFileTest, AnyBytesKeepTheirLines) {
  struct Row {
    const char* what;
    std::string bytes;
  };
  const Row rows[] = {
      {"binary", Garbage(200000, 1)},
      {"binary, dense in line ends", [] {
         std::string b = Garbage(50000, 2);
         for (size_t i = 0; i < b.size(); i += 7) b[i] = (i % 2) ? '\r' : '\n';
         return b;
       }()},
      // Japanese in UTF-8: most lines end in a byte that code page 932 reads as a lead byte.
      {"UTF-8 text", "\xe3\x81\x82\r\n\xe3\x81\x84\r\n\xe4\xba\xa4\xe4\xbf\xa1\r\n\xe3\x81\x8a"},
  };
  for (const Row& row : rows) {
    size_t lines = 0;
    for (size_t i = 0; i < row.bytes.size(); ++i) {
      if (row.bytes[i] == '\r') ++lines;
      else if (i + 1 == row.bytes.size()) ++lines;
      if (row.bytes[i] == '\r' && i + 1 < row.bytes.size() && row.bytes[i + 1] == '\n') ++i;
    }
    const std::wstring pane = Open(row.bytes);
    EXPECT_EQ(SplitAtCarriageReturns(pane).size(), lines) << row.what;
    EXPECT_EQ(pane.find(L'\0'), std::wstring::npos) << row.what;
  }
}

}  // namespace
}  // namespace zelmor::logfiles
