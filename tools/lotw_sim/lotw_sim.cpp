// A stand-in for LoTW's report of confirmations, as Zelmor asks for it: a small HTTP/1.1 server
// on 127.0.0.1 answering GET /lotwuser/lotwreport.adi, one connection at a time, until it is ended.
// It has no window.
//
//   lotw-sim.exe --port <n> [options]
//     --port <n>           the port to listen on; 0 takes a free one
//     --port-file <path>   the port it listens on is written there once it listens ("<n>\r\n")
//     --records <path>     the confirmations: an ADIF file of records, read again at each request
//                          (a header up to <EOH> is skipped); "builtin" (the default) serves a
//                          set of four: three satellite contacts and one on HF
//     --login <call>       the login and password it accepts (default JA1ABC and "lotw pass");
//     --password <text>    any other answers with LoTW's page "Username/password incorrect"
//     --mode <mode>        normal (the default); wrong-password (that page whatever is sent);
//                          cut-off (half the answer, then the connection closed: no
//                          APP_LoTW_EOF); slow (the answer in small pieces, --slow-ms apart);
//                          server-error (HTTP 500)
//     --slow-ms <n>        the pause between pieces of a slow answer (default 100)
//     --hold-file <path>   before answering, waits until this file exists (at most a minute): a
//                          slow server that a test ends when it chooses
//     --journal <path>     each request is appended as "GET <target>" (UTF-8, CR LF), before the
//                          hold, so that a test sees the request has come
//
// qso_qslsince is honoured as LoTW does: a record is sent when its QSLRDATE (YYYYMMDD) is on or
// after the date given, or after it when a time is given too. APP_LoTW_LASTQSL is the newest
// QSLRDATE sent, as "YYYY-MM-DD 23:59:59", so that the next fetch gets only what is newer.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Options {
  int port = 0;
  std::wstring port_file;
  std::wstring records = L"builtin";
  std::string login = "JA1ABC";
  std::string password = "lotw pass";
  std::string mode = "normal";
  int slow_ms = 100;
  std::wstring hold_file;
  std::wstring journal;
};

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return true;
}

void Append(const std::wstring& path, const std::string& bytes) {
  if (path.empty()) return;
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

std::string BuiltinRecords() {
  struct Row {
    const char *call, *band, *mode, *date, *time, *prop, *sat, *rdate, *grid, *vucc;
  } rows[] = {
      {"JR2XYZ", "2M", "SSB", "20261201", "083000", "SAT", "RS-44", "20261203", "PM84", ""},
      {"JA3AAA", "2M", "FM", "20261202", "101500", "SAT", "SO-50", "20261204", "", "PM74,PM75"},
      {"BV2AA", "70CM", "FT4", "20261203", "120100", "SAT", "IO-117", "20261205", "PL05", ""},
      {"W1AW", "20M", "FT8", "20261203", "130000", "", "", "20261205", "FN31", ""},
  };
  std::string out;
  for (const Row& r : rows) {
    out += Field("APP_LoTW_OWNCALL", "JA1ABC") + "\r\n" + Field("STATION_CALLSIGN", "JA1ABC") + "\r\n" +
           Field("MY_GRIDSQUARE", "PM95") + "\r\n" + Field("CALL", r.call) + "\r\n" + Field("BAND", r.band) + "\r\n" +
           Field("MODE", r.mode) + "\r\n" + Field("QSO_DATE", r.date) + "\r\n" + Field("TIME_ON", r.time) + "\r\n";
    if (*r.prop) out += Field("PROP_MODE", r.prop) + "\r\n" + Field("SAT_NAME", r.sat) + "\r\n";
    out += Field("QSL_RCVD", "Y") + "\r\n" + Field("QSLRDATE", r.rdate) + "\r\n";
    if (*r.grid) out += Field("GRIDSQUARE", r.grid) + "\r\n";
    if (*r.vucc) out += Field("VUCC_GRIDS", r.vucc) + "\r\n";
    out += "<eor>\r\n\r\n";
  }
  return out;
}

// The records of the file as they are written, each ending with its <eor>.
std::vector<std::string> SplitRecords(const std::string& adif) {
  const std::string lower = Lower(adif);
  size_t at = lower.find("<eoh>");
  at = at == std::string::npos ? 0 : at + 5;
  std::vector<std::string> records;
  for (;;) {
    const size_t end = lower.find("<eor>", at);
    if (end == std::string::npos) break;
    std::string record = adif.substr(at, end + 5 - at);
    record.erase(0, record.find_first_not_of(" \t\r\n"));
    records.push_back(record + "\r\n");
    at = end + 5;
  }
  return records;
}

// The value of an ADIF field of one record ("" when it has none).
std::string Value(const std::string& record, const std::string& name) {
  const std::string lower = Lower(record);
  const size_t at = lower.find("<" + Lower(name) + ":");
  if (at == std::string::npos) return std::string();
  const size_t close = record.find('>', at);
  if (close == std::string::npos) return std::string();
  const size_t length = static_cast<size_t>(std::atoi(record.c_str() + at + name.size() + 2));
  return record.substr(close + 1, length);
}

std::string Decoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() + 0 && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::map<std::string, std::string> Parameters(const std::string& query) {
  std::map<std::string, std::string> parameters;
  size_t at = 0;
  while (at <= query.size()) {
    size_t end = query.find('&', at);
    if (end == std::string::npos) end = query.size();
    const std::string pair = query.substr(at, end - at);
    const size_t equals = pair.find('=');
    if (!pair.empty()) parameters[Decoded(pair.substr(0, equals))] = equals == std::string::npos ? "" : Decoded(pair.substr(equals + 1));
    at = end + 1;
  }
  return parameters;
}

// The report LoTW would send for `since`.
std::string Report(const Options& options, const std::string& since) {
  std::string adif;
  if (options.records == L"builtin") {
    adif = BuiltinRecords();
  } else {
    ReadAll(options.records, adif);
  }
  std::string since_date;
  for (char c : since.substr(0, 10)) {
    if (std::isdigit(static_cast<unsigned char>(c))) since_date += c;
  }
  const bool with_time = since.size() > 10;
  std::string body, newest;
  size_t count = 0;
  for (const std::string& record : SplitRecords(adif)) {
    const std::string received = Value(record, "QSLRDATE");
    if (!since_date.empty() && (with_time ? received <= since_date : received < since_date)) continue;
    body += record + "\r\n";
    newest = std::max(newest, received);
    ++count;
  }
  std::string header = "ARRL Logbook of the World Status Report\r\nGenerated by lotw-sim\r\n" +
                       Field("PROGRAMID", "LoTW") + "\r\n";
  if (newest.size() == 8) {
    header += Field("APP_LoTW_LASTQSL", newest.substr(0, 4) + "-" + newest.substr(4, 2) + "-" + newest.substr(6, 2) +
                                            " 23:59:59") + "\r\n";
  }
  header += Field("APP_LoTW_NUMREC", std::to_string(count)) + "\r\n\r\n<eoh>\r\n\r\n";
  return header + body + "<APP_LoTW_EOF>\r\n";
}

const char kWrongPasswordPage[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html><head><title>Logbook of the World"
    "</title></head><body><P><B>Username/password incorrect</B></P></body></html>\r\n";

void SendAll(SOCKET s, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int sent = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

std::string Head(int status, const char* reason, const char* type, size_t length) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

void Serve(SOCKET client, const Options& options) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    const int got = recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  const std::string line = request.substr(0, request.find("\r\n"));
  Append(options.journal, line.substr(0, line.rfind(' ')) + "\r\n");
  if (!options.hold_file.empty()) {
    for (int i = 0; i < 600 && GetFileAttributesW(options.hold_file.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  }

  const size_t space = line.find(' ');
  const std::string target = line.substr(space + 1, line.rfind(' ') - space - 1);
  const size_t question = target.find('?');
  const std::string path = target.substr(0, question);
  const auto parameters = Parameters(question == std::string::npos ? "" : target.substr(question + 1));
  const auto parameter = [&](const char* name) {
    const auto found = parameters.find(name);
    return found == parameters.end() ? std::string() : found->second;
  };
  if (line.compare(0, 4, "GET ") != 0 || path != "/lotwuser/lotwreport.adi") {
    const std::string page = "<html><body>Not found</body></html>\r\n";
    return SendAll(client, Head(404, "Not Found", "text/html", page.size()) + page);
  }
  if (options.mode == "server-error") {
    const std::string page = "<html><body>Internal Server Error</body></html>\r\n";
    return SendAll(client, Head(500, "Internal Server Error", "text/html", page.size()) + page);
  }
  if (options.mode == "wrong-password" || Lower(parameter("login")) != Lower(options.login) ||
      parameter("password") != options.password) {
    const std::string page = kWrongPasswordPage;
    return SendAll(client, Head(200, "OK", "text/html", page.size()) + page);
  }
  const std::string report = Report(options, parameter("qso_qslsince"));
  const std::string head = Head(200, "OK", "application/x-arrl-adif", report.size());
  if (options.mode == "cut-off") {
    return SendAll(client, head + report.substr(0, report.size() / 2));
  }
  if (options.mode == "slow") {
    SendAll(client, head);
    for (size_t at = 0; at < report.size(); at += 64) {
      Sleep(static_cast<DWORD>(options.slow_ms));
      SendAll(client, report.substr(at, 64));
    }
    return;
  }
  SendAll(client, head + report);
}

bool ReadOptions(Options& options) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return false;
  bool ok = true;
  for (int i = 1; i < count; ++i) {
    const std::wstring name = argv[i];
    if (i + 1 >= count) {
      ok = false;
      break;
    }
    const std::wstring value = argv[++i];
    if (name == L"--port") {
      options.port = _wtoi(value.c_str());
    } else if (name == L"--port-file") {
      options.port_file = value;
    } else if (name == L"--records") {
      options.records = value;
    } else if (name == L"--login") {
      options.login = Narrow(value);
    } else if (name == L"--password") {
      options.password = Narrow(value);
    } else if (name == L"--mode") {
      options.mode = Narrow(value);
    } else if (name == L"--slow-ms") {
      options.slow_ms = _wtoi(value.c_str());
    } else if (name == L"--hold-file") {
      options.hold_file = value;
    } else if (name == L"--journal") {
      options.journal = value;
    } else {
      ok = false;
    }
  }
  LocalFree(argv);
  return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  Options options;
  if (!ReadOptions(options)) return 2;
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 3;
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return 3;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(options.port));
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0) return 4;
  int size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  if (!options.port_file.empty()) {
    // Written whole under another name first: a test waiting for it never reads half a number.
    const std::wstring temporary = options.port_file + L".tmp";
    DeleteFileW(temporary.c_str());
    Append(temporary, std::to_string(ntohs(address.sin_port)) + "\r\n");
    MoveFileExW(temporary.c_str(), options.port_file.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  for (;;) {
    SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    Serve(client, options);
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}
