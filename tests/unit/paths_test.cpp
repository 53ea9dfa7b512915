#include "base/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "printable.h"

namespace zelmor::base {
namespace {

using test_support::Utf8;

TEST(PathsTest, FolderAndNameAtTheLastSeparatorOfEitherKind) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
  } rows[] = {
      {L"C:\\logs\\2026\\Zelmor261206", L"C:\\logs\\2026", L"Zelmor261206"},
      {L"D:\\a.txt", L"D:", L"a.txt"},  // root: no trailing backslash is kept
      {L"\\\\server\\share\\log.txt", L"\\\\server\\share", L"log.txt"},
      {L"Zelmor.txt", L"", L"Zelmor.txt"},  // no folder part at all
      {L"C:\\dir.with.dots\\name", L"C:\\dir.with.dots", L"name"},
      {L"C:/logs/2026/a.txt", L"C:/logs/2026", L"a.txt"},  // as a dialog under Wine may give it
      {L"C:\\logs/2026\\a.txt", L"C:\\logs/2026", L"a.txt"},
      {L"C:\\logs\\", L"C:\\logs", L""},
      {L"", L"", L""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Utf8(FolderOf(row.path)), Utf8(row.folder)) << Utf8(row.path);
    EXPECT_EQ(Utf8(NameOf(row.path)), Utf8(row.name)) << Utf8(row.path);
  }
}

TEST(PathsTest, JoinPutsOneSeparatorBetween) {
  const struct {
    const wchar_t* folder;
    const wchar_t* name;
    const wchar_t* path;
  } rows[] = {
      {L"C:\\logs", L"a.txt", L"C:\\logs\\a.txt"},  {L"C:\\logs\\", L"a.txt", L"C:\\logs\\a.txt"},
      {L"C:/logs/", L"a.txt", L"C:/logs/a.txt"},    {L"C:\\", L"a.txt", L"C:\\a.txt"},
      {L"D:", L"a.txt", L"D:\\a.txt"},              {L"", L"a.txt", L"a.txt"},
      {L"\\\\server\\share", L"*", L"\\\\server\\share\\*"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Utf8(JoinPath(row.folder, row.name)), Utf8(row.path)) << Utf8(row.folder) << " + " << Utf8(row.name);
    if (*row.folder) EXPECT_EQ(Utf8(NameOf(JoinPath(row.folder, row.name))), Utf8(row.name));
  }
}

}  // namespace
}  // namespace zelmor::base
