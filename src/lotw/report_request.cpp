#include "lotw/report_request.h"

#include <string>

#include "base/text.h"

namespace zelmor::lotw {
namespace {

bool IsPrintableAscii(wchar_t c) { return c > L' ' && c < 0x7F; }

bool IsHostCharacter(wchar_t c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == L'-' || c == L'.'; }

bool IsUnreserved(unsigned char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Straight into `out`, so that no copy of a password is left behind in a buffer of its own; the
// UTF-8 bytes are wiped once encoded.
void AppendEncoded(std::wstring_view text, std::wstring& out) {
  static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::string bytes = ToUtf8(text);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUnreserved(byte)) {
      out += static_cast<wchar_t>(byte);
    } else {
      out += L'%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  volatile char* p = bytes.data();
  for (size_t i = 0; i < bytes.size(); ++i) p[i] = '\0';
}

}  // namespace

std::optional<ReportAddress> ReadReportAddress(std::wstring_view url) {
  const std::wstring trimmed = TrimSpaces(url);
  std::wstring_view rest = trimmed;
  for (wchar_t c : rest) {
    if (!IsPrintableAscii(c)) return std::nullopt;
  }
  ReportAddress address;
  const auto starts = [&](std::wstring_view scheme) {
    return rest.size() >= scheme.size() && SameAsciiCaseless(rest.substr(0, scheme.size()), scheme);
  };
  if (starts(L"https://")) {
    rest.remove_prefix(8);
  } else if (starts(L"http://")) {
    address.secure = false;
    address.port = 80;
    rest.remove_prefix(7);
  } else {
    return std::nullopt;
  }
  if (rest.find_first_of(L"?#") != std::wstring_view::npos) return std::nullopt;
  const size_t slash = rest.find(L'/');
  const std::wstring_view authority = rest.substr(0, slash);
  address.path = slash == std::wstring_view::npos ? L"/" : std::wstring(rest.substr(slash));
  // A user part, a bracketed literal or a stray character all fall out here: only a host name
  // or a dotted address, and a port, remain.
  const size_t colon = authority.find(L':');
  const std::wstring_view host = authority.substr(0, colon);
  if (host.empty()) return std::nullopt;
  for (wchar_t c : host) {
    if (!IsHostCharacter(c)) return std::nullopt;
  }
  if (colon != std::wstring_view::npos) {
    const std::wstring_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    int value = 0;
    for (wchar_t c : port) {
      if (!IsAsciiDigit(c)) return std::nullopt;
      value = value * 10 + (c - L'0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    address.port = value;
  }
  address.host = AsciiLower(std::wstring(host));
  if (!address.secure && address.host != L"localhost" && address.host != L"127.0.0.1") return std::nullopt;
  return address;
}

std::wstring PercentEncoded(std::wstring_view text) {
  std::wstring out;
  AppendEncoded(text, out);
  return out;
}

Secret ReportQuery(std::wstring_view login, const Secret& password, std::string_view since) {
  std::wstring query;
  // Room for the whole query at once: a growing string would leave copies of the password behind.
  query.reserve(256 + 3 * (login.size() + since.size()) + 12 * password.text().size());
  query += L"login=";
  AppendEncoded(login, query);
  query += L"&password=";
  AppendEncoded(password.text(), query);
  query += L"&qso_query=1&qso_qsl=yes&qso_qsldetail=yes&qso_mydetail=yes&qso_qslsince=";
  AppendEncoded(std::wstring(since.begin(), since.end()), query);
  Secret secret(query);
  Secret::Wipe(query);
  return secret;
}

}  // namespace zelmor::lotw
