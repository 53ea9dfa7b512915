// Odd files seen from outside: Zelmor.exe started on a damaged or oversized settings file, and a
// big log (50 MB in the soak script) opened with "LOG Open(O)". Nothing may crash or hang;
// unusable values give the defaults and everything else keeps working.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "garbage.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

std::string Repeat(size_t count, char c) { return std::string(count, c); }

// Zelmor started on a damaged or oversized settings file comes up, takes entries and writes its
// settings back at the close. A value that is not a number gives the default geometry.
TEST(OddFilesE2E, DamagedSettingsFileStillStartsLogsAndCloses) {
  const std::string template_40k = "#DT #TMJ #MM " + Repeat(40000, 'T');
  const std::string folder_40k = "C:\\" + Repeat(40000, 'f');
  struct Row {
    const char* what;
    std::string ini;
    int top, left, width, height;  // twips the window should have
    bool ansi_after;               // written back in the ANSI code page (not taken for UTF-16)
  };
  const Row rows[] = {
      {"binary", Garbage(65536, 7), 0, 0, 7110, 4275, true},
      {"binary with good lines after it",
       Garbage(65536, 8) + "\r\n[LOGpos]\r\nELTop=1500\r\nELLeft=3000\r\n", 1500, 3000, 7110, 4275, true},
      {"cut in the middle of a key", "[LOGpos]\r\nELTop=1500\r\nELLeft=3000\r\nELWid", 1500, 3000, 7110, 4275, true},
      {"cut after a lead byte", "[LOGpos]\r\nELTop=1500\r\n[Zelmor]\r\nLOGdat=#DT \x89", 1500, 0, 7110, 4275, true},
      {"NULs", std::string("[LOGpos]\r\nELTop=\0\0\0\r\nELLeft=3000\r\n", 34), 0, 3000, 7110, 4275, true},
      // 40 KB of digits are no number; a 40 KB template and folder are kept as they are.
      {"40 KB values",
       "[LOGpos]\r\nELTop=" + Repeat(40000, '1') + "\r\nELLeft=1500\r\n[Zelmor]\r\nLOGdat=" + template_40k +
           "\r\nLOGfol=" + folder_40k + "\r\n",
       0, 1500, 7110, 4275, true},
      {"1 MB value", "[Zelmor]\r\nLOGdat=" + Repeat(1 << 20, 'x') + "\r\n[LOGpos]\r\nELLeft=1500\r\n", 0, 1500, 7110,
       4275, true},
      // Taken for UTF-16 by its first two bytes: nothing usable, and written back in UTF-16.
      {"UTF-16 signature then garbage", "\xff\xfe" + Garbage(4097, 9), 0, 0, 7110, 4275, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    WriteBytes(folder.File(L"Zelmor.ini"), row.ini);
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.PlacedAt(row.top, row.left, row.width, row.height));

    MakeEntry(app, L"ok");
    const std::wstring pane = app.PaneText();
    EXPECT_EQ(pane.size() > 6 ? pane.substr(pane.size() - 6) : pane, L"J ok\r\n");
    // The log dialogs still come up, whatever folder the file remembers.
    HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE);
    EXPECT_TRUE(dialog);
    if (dialog) {
      EXPECT_TRUE(CancelDialog(app, dialog));
    }
    EXPECT_TRUE(NoDialogOpen(app));

    ASSERT_TRUE(ClosesAfterQuestion(app));
    const std::string ini = app.Ini();
    if (row.ansi_after) {
      EXPECT_NE(ini.find("ELWidth=" + std::to_string(row.width) + "\r\n"), std::string::npos);
      if (row.ini.find(template_40k) != std::string::npos) {
        EXPECT_NE(ini.find("LOGdat=" + template_40k + "\r\n"), std::string::npos) << "template lost";
      }
    } else {
      EXPECT_NE(ini.find(std::string("E\0L\0W\0i\0d\0t\0h\0=\0", 16)), std::string::npos);
    }
  }
}

// A log of about `bytes` bytes in Shift-JIS: numbered entry lines, each ending in CR LF.
std::wstring BigLog(size_t bytes, std::wstring& last_line) {
  const std::wstring body = L" 2026/12/7 21:05J CQ 599 移動運用 %Sat=RS-44/Rev:21847% Up=145.965/Down=435.640";
  std::wstring text;
  text.reserve(bytes + 200);
  size_t ansi_size = 0;
  for (int n = 1; ansi_size < bytes; ++n) {
    last_line = std::to_wstring(n) + body;
    text += last_line;
    text += L"\r\n";
    ansi_size += Ansi(last_line).size() + 2;
  }
  return text;
}

// Megabytes of the big log: the soak script opens 50 MB; every run of the tests opens a smaller
// one, since Wine's EDIT control lays out about ten thousand lines a second.
size_t BigLogMegabytes() {
  const char* value = std::getenv("ZELMOR_BIG_LOG_MB");
  const long mb = value ? std::strtol(value, nullptr, 10) : 0;
  return mb > 0 ? static_cast<size_t>(mb) : 10;
}

TEST(OddFilesE2E, BigLogOpensWholeWithoutHanging) {
  TempFolder folder;
  std::wstring last_line;
  const size_t megabytes = BigLogMegabytes();
  const std::wstring text = BigLog(megabytes << 20, last_line);
  const std::wstring file = folder.File(L"big.txt");
  WriteBytes(file, Ansi(text));
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  HWND dialog = ShowFileDialog(app, IDM_LOG_OPEN);
  ASSERT_TRUE(dialog);
  SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
  const DWORD start = GetTickCount();
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitDestroyed(dialog, 30000));
  // The command has finished when the window answers again. The bound only tells a hang from
  // slowness: 50 MB took about 100 s here, nearly all of it in Wine's EDIT control.
  const bool answered = Settle(app.window(), 600000);
  const DWORD elapsed = GetTickCount() - start;
  ASSERT_TRUE(answered) << "no answer within 600 s of choosing the file";
  std::printf("[ figure   ] %zu MB log opened in %lu ms\n", megabytes, static_cast<unsigned long>(elapsed));
  std::fflush(stdout);

  EXPECT_TRUE(NoDialogOpen(app)) << "a failure message?";
  HWND pane = app.pane();
  EXPECT_EQ(Ask(pane, WM_GETTEXTLENGTH), text.size());
  EXPECT_NE(app.Ini().find(IniLine("LOGfol", folder.path())), std::string::npos) << "folder not remembered";

  // Saved again, the pane gives the file back with the writer's CR LF: every line came in whole.
  const std::wstring copy = folder.File(L"copy.txt");
  HWND save = ShowFileDialog(app, IDM_LOG_SAVE);
  ASSERT_TRUE(save);
  SendMessageW(GetDlgItem(save, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
  PressButton(save, IDOK);
  ASSERT_TRUE(WaitDestroyed(save, 30000));
  ASSERT_TRUE(Settle(app.window(), 120000));
  const std::string saved = ReadBytes(copy);
  EXPECT_EQ(saved.size(), Ansi(text).size() + 2);
  EXPECT_TRUE(saved == Ansi(text) + "\r\n") << "the saved copy differs from the opened file";
  EXPECT_EQ(saved.substr(saved.size() - Ansi(last_line).size() - 4), Ansi(last_line) + "\r\n\r\n");

  // The operator goes on logging after it.
  MakeEntry(app, L"after the big log");
  EXPECT_GT(Ask(pane, WM_GETTEXTLENGTH), text.size());
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

}  // namespace
}  // namespace e2e
