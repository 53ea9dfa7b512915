#include "lotw_sim_win.h"

#include <windows.h>

#include <cstdlib>

#include "windows_win.h"

namespace test_support {
namespace {

std::string Decoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i] == '+' ? ' ' : text[i];
    }
  }
  return out;
}

}  // namespace

LotwSim::LotwSim(const Setup& setup) {
  std::wstring arguments = L"--port 0 --port-file \"" + folder_.File(L"port.txt") + L"\" --journal \"" +
                           folder_.File(L"journal.txt") + L"\" --mode " + setup.mode;
  if (setup.hold) arguments += L" --hold-file \"" + folder_.File(L"released") + L"\"";
  if (setup.own_records) arguments += L" --records \"" + records_file() + L"\"";
  if (!process_.Start(BuildFolder() + L"\\lotw-sim.exe", arguments, folder_.path())) return;
  WaitUntil([&] { return FileExists(folder_.File(L"port.txt")); }, 20000);
  port_ = std::atoi(ReadBytes(folder_.File(L"port.txt")).c_str());
}

std::wstring LotwSim::url() const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/lotwuser/lotwreport.adi";
}

void LotwSim::Release() const { WriteBytes(folder_.File(L"released"), ""); }

std::vector<std::map<std::string, std::string>> LotwSim::Requests() const {
  std::vector<std::map<std::string, std::string>> requests;
  const std::string bytes = ReadBytes(folder_.File(L"journal.txt"));
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) break;
    const std::string line = bytes.substr(at, end - at);  // "GET <target>"
    at = end + 2;
    const std::string target = line.substr(line.find(' ') + 1);
    const size_t question = target.find('?');
    std::map<std::string, std::string> request{{"path", target.substr(0, question)}};
    size_t p = question == std::string::npos ? target.size() : question + 1;
    while (p < target.size()) {
      size_t amp = target.find('&', p);
      if (amp == std::string::npos) amp = target.size();
      const std::string pair = target.substr(p, amp - p);
      const size_t equals = pair.find('=');
      request[Decoded(pair.substr(0, equals))] = equals == std::string::npos ? "" : Decoded(pair.substr(equals + 1));
      p = amp + 1;
    }
    requests.push_back(std::move(request));
  }
  return requests;
}

bool LotwSim::WaitRequests(size_t requests, unsigned long ms) const {
  return WaitUntil([&] { return Requests().size() >= requests; }, ms);
}

}  // namespace test_support
