#include "lotw/tqsl_job.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "base/resource.h"
#include "base/texts.h"
#include "printable.h"
#include "upload_fakes.h"

namespace zelmor::lotw {
namespace {

using test_support::Utf8;

TEST(TqslJobTest, ArgumentsQuoteAsWindowsReadsThem) {
  const struct {
    std::wstring argument;
    std::wstring written;
  } rows[] = {
      {L"compliant", L"compliant"},
      {L"", L"\"\""},                                     // an empty argument still counts
      {L"Home QTH", L"\"Home QTH\""},
      {L"移動 運用", L"\"移動 運用\""},                    // Japanese, with a blank
      {L"東京移動", L"東京移動"},
      {L"tab\there", L"\"tab\there\""},
      {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
      {L"a\\b", L"a\\b"},                                 // backslashes alone stay as they are
      {L"C:\\My Logs\\", L"\"C:\\My Logs\\\\\""},          // a trailing one would escape the quote
      {L"C:\\My Logs\\\\", L"\"C:\\My Logs\\\\\\\\\""},
      {L"a\\\"b", L"\"a\\\\\\\"b\""},                         // before a quote: doubled, plus one for it
      {L"\\\\server\\share\\log.adi", L"\\\\server\\share\\log.adi"},
      {L"C:\\ログ 1\\Zelmor-lotw.adi", L"\"C:\\ログ 1\\Zelmor-lotw.adi\""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(QuoteArgument(row.argument), row.written) << Utf8(row.argument);
  }
}

TEST(TqslJobTest, UploadCommandIsBatchModeWithTheFileLast) {
  EXPECT_EQ(CommandLine(L"C:\\Program Files (x86)\\TrustedQSL\\tqsl.exe",
                        UploadArguments(L"JA1ABC portable", L"C:\\Logs\\Zelmor-lotw-261207.adi")),
            L"\"C:\\Program Files (x86)\\TrustedQSL\\tqsl.exe\" -x -d -u -a compliant -f update "
            L"-l \"JA1ABC portable\" C:\\Logs\\Zelmor-lotw-261207.adi");
  const Secret passphrase(L"pass word");
  const auto retry = UploadArguments(L"Home", L"log.adi", &passphrase);
  const std::vector<std::wstring> expected{L"-x", L"-d", L"-u", L"-a", L"compliant", L"-f", L"update", L"-l",
                                           L"Home", L"-p", L"pass word", L"log.adi"};
  EXPECT_EQ(retry, expected);
}

TEST(TqslJobTest, OutputGoesBesideTheAdif) {
  const std::pair<std::wstring, std::wstring> rows[] = {
      {L"C:\\Logs\\Zelmor-lotw-261207.adi", L"C:\\Logs\\Zelmor-lotw-261207.txt"},
      {L"C:\\Logs.old\\log", L"C:\\Logs.old\\log.txt"},  // a dot in the folder is no extension
      {L"log.v2.adi", L"log.v2.txt"},
  };
  for (const auto& [adif, txt] : rows) EXPECT_EQ(OutputPathFor(adif), txt) << Utf8(adif);
}

TEST(TqslJobTest, FinderTriesTheSettingThenTheRegistryThenPath) {
  const std::wstring set = L"D:\\Tools\\tqsl.exe", reg = L"C:\\TQSL\\tqsl.exe", reg32 = L"C:\\TQSL32\\tqsl.exe",
                     on_path = L"C:\\bin\\tqsl.exe";
  const struct {
    const char* what;
    std::optional<std::wstring> configured;
    std::set<std::wstring> files;
    std::optional<std::wstring> found;
  } rows[] = {
      {"setting first", set, {set, reg, on_path}, set},
      {"a set folder holds tqsl.exe", L"D:\\Tools\\", {set, reg}, set},
      {"a set folder in quotes", L"\"D:\\Tools\"", {set}, set},
      {"setting missing: the registry", set, {reg, on_path}, reg},
      {"native view before the other", std::nullopt, {reg, reg32}, reg},
      {"the other view", std::nullopt, {reg32, on_path}, reg32},
      {"then PATH", L"", {on_path}, on_path},
      {"nowhere", std::nullopt, {}, std::nullopt},
      {"never the current folder", std::nullopt, {L"tqsl.exe", L".\\tqsl.exe", L"\\tqsl.exe"}, std::nullopt},
  };
  for (const auto& row : rows) {
    fakes::FakeTqslPlaces places;
    places.files = row.files;
    places.install = {L"C:\\TQSL", L"\"C:\\TQSL32\\\""};
    places.path = {L"", L".", L"C:\\Windows", L"\"C:\\bin\""};
    EXPECT_EQ(FindTqsl(row.configured, places), row.found) << row.what;
  }
}

TEST(TqslJobTest, LastStatusLineIsTheLastThatSaysSomething) {
  const std::pair<std::string, std::string> rows[] = {
      {"05:57:39 PM: Warning: Signing cancelled\r\n05:57:39 PM: Final Status: cancelled by user (1)\r\n",
       "05:57:39 PM: Final Status: cancelled by user (1)"},
      {"a\nb\n\n  \r\n", "b"},
      {"only line", "only line"},
      {"  indented  \r", "indented"},
      {"\r\n\r\n", ""},
      {"", ""},
  };
  for (const auto& [output, line] : rows) EXPECT_EQ(LastStatusLine(output), line) << output;
}

TEST(TqslJobTest, ExitCodeAndStatusLineDecideTheMessage) {
  const std::wstring txt = L"C:\\Logs\\Zelmor-lotw-261207.txt";
  const struct {
    int exit_code;
    std::wstring status;
    int text_id;  // 0: TQSL's own text
  } rows[] = {
      {0, L"17:21:33 PM: /Final Status: Success (0)", IDS_LOTW_QUEUED},
      {8, L"Final Status: No QSOs written (8)", IDS_LOTW_NOTHING_NEW},
      {9, L"Final Status: Some QSOs suppressed (9)", IDS_LOTW_SOME_SKIPPED},
      {1, L"Final Status: cancelled by user (1)", IDS_LOTW_CANCELLED},
      {2, L"Final Status: Upload Rejected (2)", IDS_LOTW_REJECTED},
      {11, L"Final Status: LoTW Connection Failed (11)", IDS_LOTW_NETWORK},
      {15, L"Final Status: Passphrase error (15)", IDS_LOTW_WRONG_PASSPHRASE},
      // 0 under a status line naming a failure: the failure
      {0, L"12:00:00 AM: Final Status: Upload Rejected (2)", IDS_LOTW_REJECTED},
      {0, L"Signed 3 QSOs", IDS_LOTW_QUEUED},
      {0, L"Final Status: odd (x)", IDS_LOTW_QUEUED},
      // A nonzero exit code is never overruled.
      {11, L"Final Status: Success (0)", IDS_LOTW_NETWORK},
  };
  for (const auto& row : rows) {
    const std::wstring message = UploadMessage({row.exit_code, row.status, txt, false});
    EXPECT_EQ(message, LoadText(row.text_id) + L"\r\n\r\nTQSLの出力: " + txt) << row.exit_code << " "
                                                                             << Utf8(row.status);
  }
}

TEST(TqslJobTest, OtherCodesShowTqslsOwnText) {
  const std::wstring txt = L"C:\\Logs\\x.txt";
  EXPECT_EQ(UploadMessage({4, L"10:00:00 AM: Final Status: TQSL Error (4)", txt, false}),
            L"TQSLが終了コード4で終わりました:\r\n10:00:00 AM: Final Status: TQSL Error (4)\r\n\r\nTQSLの出力: " + txt);
  EXPECT_EQ(UploadMessage({-1, L"", txt, false}),
            L"TQSLが終了コード-1で終わりました:\r\n（TQSLの表示はありません）\r\n\r\nTQSLの出力: " + txt);
}

TEST(TqslJobTest, PassphraseIsAskedOnceOnly) {
  EXPECT_TRUE(WantsPassphrase({15, L"", L"x.txt", false}));
  EXPECT_TRUE(WantsPassphrase({0, L"Final Status: Passphrase error (15)", L"x.txt", false}));
  EXPECT_FALSE(WantsPassphrase({15, L"", L"x.txt", true})) << "the retry's answer is final";
  EXPECT_FALSE(WantsPassphrase({2, L"", L"x.txt", false}));
}

TEST(TqslJobTest, SecretLeavesNothingBehindWhenMoved) {
  Secret first(L"abc");  // in the string's own buffer, which a move copies
  const wchar_t* left = first.text().data();
  Secret second(std::move(first));
  EXPECT_EQ(second.text(), L"abc");
  EXPECT_TRUE(first.text().empty());
  EXPECT_EQ(std::wstring(left, 3), std::wstring(3, L'\0')) << "the moved-from buffer is wiped";
}

}  // namespace
}  // namespace zelmor::lotw
