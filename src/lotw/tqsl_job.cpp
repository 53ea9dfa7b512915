#include "lotw/tqsl_job.h"

#include <utility>

#include "base/paths.h"
#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "settings/log_folder.h"

namespace zelmor::lotw {
namespace {

bool NeedsQuotes(std::wstring_view argument) {
  return argument.empty() || argument.find_first_of(L" \t\n\v\"") != std::wstring_view::npos;
}

// Registry values and PATH entries are sometimes written in quotes.
std::wstring Unquoted(std::wstring_view text) {
  std::wstring t = TrimSpaces(text);
  if (t.size() >= 2 && t.front() == L'"' && t.back() == L'"') t = t.substr(1, t.size() - 2);
  return t;
}

bool EndsWithExe(const std::wstring& path) {
  if (path.size() < 4) return false;
  return SameAsciiCaseless(std::wstring_view(path).substr(path.size() - 4), L".exe");
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The code in "... Final Status: <description> (<code>)", or nothing.
std::optional<int> FinalStatusCode(const std::wstring& line) {
  if (line.find(L"Final Status:") == std::wstring::npos) return std::nullopt;
  const size_t close = line.find_last_not_of(L" \t");
  if (close == std::wstring::npos || line[close] != L')') return std::nullopt;
  const size_t open = line.rfind(L'(', close);
  if (open == std::wstring::npos || close - open < 2 || close - open > 4) return std::nullopt;
  int code = 0;
  for (size_t i = open + 1; i < close; ++i) {
    if (!IsAsciiDigit(line[i])) return std::nullopt;
    code = code * 10 + (line[i] - L'0');
  }
  return code;
}

}  // namespace

Secret::Secret(Secret&& other) noexcept : text_(other.text_) { Wipe(other.text_); }

Secret& Secret::operator=(Secret&& other) noexcept {
  if (this != &other) {
    Wipe(text_);
    text_ = other.text_;
    Wipe(other.text_);
  }
  return *this;
}

void Secret::Wipe(std::wstring& text) {
  volatile wchar_t* p = text.data();
  for (size_t i = 0; i < text.size(); ++i) p[i] = L'\0';
  text.clear();
}

std::vector<std::wstring> UploadArguments(const std::wstring& station_location, const std::wstring& adif_path,
                                          const Secret* passphrase) {
  std::vector<std::wstring> arguments{L"-x", L"-d", L"-u", L"-a", L"compliant", L"-f", L"update", L"-l",
                                      station_location};
  if (passphrase) {
    arguments.push_back(L"-p");
    arguments.push_back(passphrase->text());
  }
  arguments.push_back(adif_path);
  return arguments;
}

std::wstring QuoteArgument(std::wstring_view argument) {
  if (!NeedsQuotes(argument)) return std::wstring(argument);
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them: then each is written twice, and the
    // quote itself escaped.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  // Before the closing quote, they would escape it.
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring line = L"\"" + program + L"\"";
  for (const auto& argument : arguments) line += L" " + QuoteArgument(argument);
  return line;
}

std::wstring UploadFileName(int year, int month, int day, int hour, int minute) {
  const auto two = [](int n) {
    n = ((n % 100) + 100) % 100;
    return std::wstring{static_cast<wchar_t>(L'0' + n / 10), static_cast<wchar_t>(L'0' + n % 10)};
  };
  return settings::kLotwUploadNamePrefix + two(year) + two(month) + two(day) + L"-" + two(hour) + two(minute) + L".adi";
}

std::wstring OutputPathFor(const std::wstring& adif_path) {
  const std::wstring name = base::NameOf(adif_path);
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return adif_path + L".txt";
  return adif_path.substr(0, adif_path.size() - name.size() + dot) + L".txt";
}

std::optional<std::wstring> FindTqsl(const std::optional<std::wstring>& configured, TqslPlaces& places) {
  std::vector<std::wstring> candidates;
  if (configured) {
    const std::wstring path = Unquoted(*configured);
    if (!path.empty()) {
      // A path to the program itself, or to the folder that holds it.
      if (EndsWithExe(path)) candidates.push_back(path);
      else candidates.push_back(base::JoinPath(path, kTqslFileName));
    }
  }
  for (const auto& folder : places.InstallFolders()) {
    const std::wstring f = Unquoted(folder);
    if (!f.empty()) candidates.push_back(base::JoinPath(f, kTqslFileName));
  }
  for (const auto& folder : places.PathFolders()) {
    const std::wstring f = Unquoted(folder);
    // An empty entry would mean the current folder.
    if (!f.empty() && f != L".") candidates.push_back(base::JoinPath(f, kTqslFileName));
  }
  for (const auto& candidate : candidates) {
    if (places.FileExists(candidate)) return candidate;
  }
  return std::nullopt;
}

std::string LastStatusLine(std::string_view output) {
  size_t end = output.size();
  while (end > 0) {
    const size_t start = output.find_last_of("\r\n", end - 1);
    const size_t first = start == std::string_view::npos ? 0 : start + 1;
    std::string_view line = output.substr(first, end - first);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    size_t lead = 0;
    while (lead < line.size() && IsBlank(line[lead])) ++lead;
    if (lead < line.size()) return std::string(line.substr(lead));
    if (start == std::string_view::npos) break;
    end = start;
  }
  return std::string();
}

int DecidingCode(const TqslOutcome& outcome) {
  if (outcome.exit_code != kTqslQueued) return outcome.exit_code;
  return FinalStatusCode(outcome.status_line).value_or(outcome.exit_code);
}

bool WantsPassphrase(const TqslOutcome& outcome) {
  return DecidingCode(outcome) == kTqslWrongPassphrase && !outcome.with_passphrase;
}

std::wstring UploadMessage(const TqslOutcome& outcome) {
  const int code = DecidingCode(outcome);
  std::wstring text;
  switch (code) {
    case kTqslQueued: text = LoadText(IDS_LOTW_QUEUED); break;
    case kTqslNothingNew: text = LoadText(IDS_LOTW_NOTHING_NEW); break;
    case kTqslSomeSkipped: text = LoadText(IDS_LOTW_SOME_SKIPPED); break;
    case kTqslCancelled: text = LoadText(IDS_LOTW_CANCELLED); break;
    case kTqslRejected: text = LoadText(IDS_LOTW_REJECTED); break;
    case kTqslNoConnection: text = LoadText(IDS_LOTW_NETWORK); break;
    case kTqslWrongPassphrase: text = LoadText(IDS_LOTW_WRONG_PASSPHRASE); break;
    default: {
      const std::wstring status = outcome.status_line.empty() ? LoadText(IDS_LOTW_NO_STATUS) : outcome.status_line;
      text = FillText(LoadText(IDS_LOTW_OTHER), {std::to_wstring(code), status});
    }
  }
  return text + L"\r\n\r\n" + FillText(LoadText(IDS_LOTW_OUTPUT), {outcome.output_path});
}

}  // namespace zelmor::lotw
