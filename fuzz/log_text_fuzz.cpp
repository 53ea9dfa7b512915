// Line splitting of log files: a file's text read into the log pane (a line ends at CR or CR LF,
// a lone LF stays inside its line, a NUL becomes a space), the safety copy written from the pane
// and read back, and the folder of a chosen file.
//
// The whole input is the file: once decoded as UTF-8 and once byte by byte, so that NUL, CR and LF
// come in every arrangement.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/paths.h"
#include "fakes.h"
#include "fuzz_input.h"
#include "logfiles/log_text.h"
#include "logfiles/safety_copy.h"
#include "memory_profile_store.h"

namespace zelmor::fuzz {
namespace {

// The text with every CR LF pair written as a lone CR: after that, CR alone ends a line.
std::wstring OneCharacterLineEnds(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
  }
  return out;
}


void CheckFileText(const std::wstring& file) {
  const std::vector<std::wstring> lines = logfiles::SplitAtCarriageReturns(file);
  const std::string shown = Show(file.size() > 200 ? file.substr(0, 200) : file);

  // The lines joined by CR give the text back, with each CR LF pair as one CR; the end of the
  // text after a last terminator starts no further line.
  const std::wstring canonical = OneCharacterLineEnds(file);
  std::wstring joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(lines[i].find(L'\r') == std::wstring::npos, "a CR inside line " + std::to_string(i) + " of " + shown);
    if (i != 0) joined += L'\r';
    joined += lines[i];
  }
  if (!canonical.empty() && canonical.back() == L'\r') joined += L'\r';
  FUZZ_CHECK(joined == canonical, "the lines of " + shown + " do not join back to it");
  size_t breaks = 0;
  for (wchar_t c : canonical) breaks += c == L'\r' ? 1 : 0;
  const size_t expected_lines = breaks + (!canonical.empty() && canonical.back() != L'\r' ? 1 : 0);
  FUZZ_CHECK(lines.size() == expected_lines,
             std::to_string(lines.size()) + " lines, expected " + std::to_string(expected_lines) + " in " + shown);

  // The pane: every line followed by CR LF, NULs as spaces.
  const std::wstring pane = logfiles::PaneTextFromFile(file);
  std::wstring expected_pane;
  for (const auto& line : lines) expected_pane += line + L"\r\n";
  for (auto& c : expected_pane) {
    if (c == L'\0') c = L' ';
  }
  FUZZ_CHECK(pane == expected_pane, "pane text of " + shown + " is " + Show(pane.substr(0, 200)));

  // A pane read back as a file stays as it is; the safety copy written from it and read with
  // the viewer gives the same pane and one empty line more (the writer's final CR LF).
  FUZZ_CHECK(logfiles::PaneTextFromFile(pane) == pane, "the pane of " + shown + " changes when read again");
  fakes::FakeFiles files;
  settings::MemoryProfileStore store;
  settings::Profile profile(store);
  fakes::FixedClock clock;
  fakes::FakePane view;
  logfiles::SafetyCopy safety_copy(files, profile, clock, L"C:\\Zelmor");
  const std::wstring& path = safety_copy.path();
  view.Append(pane);
  FUZZ_CHECK(safety_copy.Write(view, pane), "the safety copy was not written");
  std::wstring copy;
  FUZZ_CHECK(files.Read(path, copy) && copy == pane + L"\r\n", "the safety copy is not the pane and one CR LF");
  FUZZ_CHECK(logfiles::PaneTextFromFile(copy) == pane + L"\r\n",
             "the safety copy of " + shown + " does not read back as the pane and one empty line");
  FUZZ_CHECK(logfiles::SplitAtCarriageReturns(copy).size() == lines.size() + 1,
             "lines of the safety copy of " + shown);
}

void CheckFolder(const std::wstring& path) {
  const std::wstring folder = base::FolderOf(path), name = base::NameOf(path);
  const size_t slash = path.find_last_of(L"\\/");
  FUZZ_CHECK(name.find_first_of(L"\\/") == std::wstring::npos, "name " + Show(name) + " of " + Show(path));
  if (slash == std::wstring::npos) {
    FUZZ_CHECK(folder.empty() && name == path, "a folder in " + Show(path));
  } else {
    FUZZ_CHECK(folder.size() == slash && folder + path[slash] + name == path,
               "folder " + Show(folder) + " and name " + Show(name) + " of " + Show(path));
  }
}

void CheckSaveName(const LocalTime& today) {
  if (today.year < 0 || today.month < 1 || today.month > 12 || today.day < 1 || today.day > 31) return;
  const std::wstring name = logfiles::DefaultSaveName(today);
  FUZZ_CHECK(name.size() == 12 && name.compare(0, 6, L"Zelmor") == 0 &&
                 name.find_first_not_of(L"0123456789", 6) == std::wstring::npos,
             "save name " + Show(name));
  const int yymmdd = std::stoi(name.substr(6));
  FUZZ_CHECK(yymmdd == (today.year % 100) * 10000 + today.month * 100 + today.day, "save name " + Show(name));
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring decoded = DecodeUtf8(bytes);
  std::wstring byte_wise;
  for (char c : bytes) byte_wise += static_cast<wchar_t>(static_cast<unsigned char>(c));
  CheckFileText(decoded);
  CheckFileText(byte_wise);
  CheckFolder(decoded);
  CheckSaveName(TimeFrom(decoded.substr(0, 40), zelmor::LocalTime{2026, 12, 6, 0, 0, 0}));
  return 0;
}
