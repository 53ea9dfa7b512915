#include "logfiles/text_files_win.h"

#include "base/atomic_file_win.h"
#include "base/codepage_win.h"

namespace zelmor::logfiles {
namespace {

// The file's text with every CR and LF byte kept as its own character. Wine's code page 932
// conversion takes whatever byte follows a lead byte as its trail byte, CR and LF included, so a
// line ending in a stray lead byte (a file cut short, or written in another encoding) would lose
// its line end and run into the next line. No ANSI code page has CR or LF as a trail byte, so
// converting the pieces between them separately changes nothing for well-formed text.
bool DecodeKeepingLineEnds(const std::string& bytes, std::wstring& text) {
  // A byte never gives more than one UTF-16 unit.
  text.assign(bytes.size(), L'\0');
  size_t out = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    if (end > start) {
      const int got = MultiByteToWideChar(CP_ACP, 0, bytes.data() + start, static_cast<int>(end - start),
                                          text.data() + out, static_cast<int>(text.size() - out));
      if (got <= 0) return false;
      out += static_cast<size_t>(got);
    }
    if (end < bytes.size()) text[out++] = static_cast<wchar_t>(bytes[end]);
    start = end + 1;
  }
  text.resize(out);
  return true;
}

}  // namespace

bool AnsiTextFiles::Read(const std::wstring& path, std::wstring& text) {
  text.clear();
  if (path.empty()) return Done(ERROR_INVALID_NAME);
  std::string bytes;
  const DWORD error = base::ReadFileContent(path, bytes);
  if (error != ERROR_SUCCESS) return Done(error);
  // A failed conversion must not pass for an empty or shortened log.
  if (!DecodeKeepingLineEnds(bytes, text)) {
    text.clear();
    return Done(ERROR_NO_UNICODE_TRANSLATION);
  }
  return Done(ERROR_SUCCESS);
}

bool AnsiTextFiles::Replace(const std::wstring& path, const std::wstring& text) {
  if (path.empty()) return Done(ERROR_INVALID_NAME);
  const std::optional<std::string> bytes = Encode(text);
  // Never write an empty file in place of a log that failed to convert.
  if (!bytes) return Done(ERROR_NO_UNICODE_TRANSLATION);
  return ReplaceEncoded(path, *bytes);
}

std::optional<std::string> AnsiTextFiles::Encode(const std::wstring& text) {
  std::string bytes = base::ToAnsi(text);
  if (bytes.empty() && !text.empty()) return std::nullopt;
  return bytes;
}

bool AnsiTextFiles::ReplaceEncoded(const std::wstring& path, const std::string& bytes) {
  if (path.empty()) return Done(ERROR_INVALID_NAME);
  return Done(base::ReplaceFileContent(path, bytes));
}

bool AnsiTextFiles::Exists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool AnsiTextFiles::Rename(const std::wstring& from, const std::wstring& to) {
  // Without MOVEFILE_REPLACE_EXISTING: a set-aside copy is never overwritten by the next one.
  return Done(MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS : GetLastError());
}

void AnsiTextFiles::RemoveLeftovers(const std::wstring& path) { base::RemoveTemporarySiblings(path); }

}  // namespace zelmor::logfiles
