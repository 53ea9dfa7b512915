// What the simulator serves: a simulated pass, or the values of a file re-read at each request.

#include <cmath>
#include <cwctype>

#include "base/atomic_file_win.h"
#include "base/codepage_win.h"
#include "tracker_sim.h"

namespace tracker_sim {
namespace {

constexpr double kSpeedOfLight = 299792458.0;
constexpr std::uint64_t kPassMs = 600000;  // ten minutes from rise to set

struct Satellite {
  const wchar_t* name;
  double downlink_hz;
  double uplink_hz;
  double max_range_rate;  // m/s, at rise and set
  std::uint64_t first_rev;
  const wchar_t* mode;
};

// Passband centres and orbit numbers of the kind a tracking program shows.
constexpr Satellite kSatellites[] = {
    {L"RS-44", 435640000.0, 145965000.0, 5600.0, 21847, L"USB"},
    {L"ISS", 437800000.0, 145990000.0, 7200.0, 45123, L"FM"},
    {L"SO-50", 436795000.0, 145850000.0, 7000.0, 97254, L"FM"},
};

std::wstring Upper(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

std::wstring Trimmed(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

const ProgramNames& NamesOf(Program program) {
  static const ProgramNames kNames[] = {
      {L"CSATmate", L"CALSAT_RigControl", 5, {L"Label1", L"Label2", L"Label3", L"Label15", L"Label17"},
       L"CSATmateSimulator", L"CSATmate simulator"},
      {L"SatPC32", L"SatPcDdeConv", 1, {L"SatPcDdeItem"}, L"SatPC32Simulator", L"SatPC32 simulator"},
      {L"Orbitron", L"Tracking", 2, {L"TrackingDataEx", L"TrackingData"}, L"OrbitronSimulator",
       L"Orbitron simulator"},
  };
  return kNames[static_cast<int>(program)];
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 0; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == L"--program" && has_value) {
      const std::wstring name = Upper(argv[++i]);
      if (name == L"CSATMATE") {
        options.program = Program::kCsatmate;
      } else if (name == L"SATPC32") {
        options.program = Program::kSatPc32;
      } else if (name == L"ORBITRON") {
        options.program = Program::kOrbitron;
      } else {
        return false;
      }
    } else if (arg == L"--decimal-comma") {
      options.decimal_comma = true;
    } else if (arg == L"--values" && has_value) {
      options.values_file = argv[++i];
    } else if (arg == L"--hang-file" && has_value) {
      options.hang_file = argv[++i];
    } else if (arg == L"--hang-after" && has_value) {
      wchar_t* end = nullptr;
      options.hang_after = std::wcstoll(argv[++i], &end, 10);
      if (!end || *end || options.hang_after < 0) return false;
    } else if (arg == L"--ddeml") {
      options.ddeml = true;
    } else if (arg == L"--ack-request") {
      options.ack_request = true;
    } else if (arg == L"--crlf") {
      options.crlf = true;
    } else if (arg == L"--position" && has_value) {
      // "<left>,<top>": the demo sets the three windows side by side.
      wchar_t* comma = nullptr;
      wchar_t* end = nullptr;
      options.left = static_cast<int>(std::wcstol(argv[++i], &comma, 10));
      if (!comma || *comma != L',') return false;
      options.top = static_cast<int>(std::wcstol(comma + 1, &end, 10));
      if (!end || *end) return false;
    } else {
      return false;
    }
  }
  return true;
}

std::wstring GroupedHertz(std::uint64_t hertz) {
  std::wstring digits = std::to_wstring(hertz);
  for (auto pos = static_cast<std::ptrdiff_t>(digits.size()) - 3; pos > 0; pos -= 3) {
    digits.insert(static_cast<size_t>(pos), 1, L'.');
  }
  return digits;
}

std::array<std::wstring, kItemCount> SimulatedValues(std::uint64_t elapsed_ms) {
  const std::uint64_t pass = elapsed_ms / kPassMs;
  const Satellite& sat = kSatellites[pass % std::size(kSatellites)];
  // The range rate runs from closing fast at rise through zero at the highest point to opening
  // fast at set; a cosine is near enough for a simulator.
  const double phase = static_cast<double>(elapsed_ms % kPassMs) / static_cast<double>(kPassMs);
  const double range_rate = -sat.max_range_rate * std::cos(3.14159265358979 * phase);
  const double factor = range_rate / kSpeedOfLight;
  // Heard lower while the satellite moves away; sent higher, so that it arrives on frequency.
  const auto downlink = static_cast<std::uint64_t>(std::llround(sat.downlink_hz * (1.0 - factor)));
  const auto uplink = static_cast<std::uint64_t>(std::llround(sat.uplink_hz * (1.0 + factor)));
  const std::uint64_t rev = sat.first_rev + pass / std::size(kSatellites);
  return {sat.name, GroupedHertz(downlink), GroupedHertz(uplink), std::to_wstring(rev), sat.mode};
}

std::array<std::wstring, kItemCount> SimulatedItems(const Options& options, std::uint64_t elapsed_ms) {
  auto values = SimulatedValues(elapsed_ms);
  if (options.program == Program::kCsatmate) return values;
  // Where the satellite stands: rising in the east, highest half-way, setting in the west.
  const double phase = static_cast<double>(elapsed_ms % kPassMs) / static_cast<double>(kPassMs);
  const auto decimal = [&](double value) {
    wchar_t text[32];
    swprintf(text, 32, L"%.1f", value);
    std::wstring out = text;
    if (options.decimal_comma) {
      for (auto& c : out) {
        if (c == L'.') c = L',';
      }
    }
    return out;
  };
  const std::wstring azimuth = decimal(90.0 + 180.0 * phase);
  const std::wstring elevation = decimal(60.0 * std::sin(3.14159265358979 * phase));
  const auto hertz = [](std::wstring grouped) {
    std::wstring digits;
    for (wchar_t c : grouped) {
      if (c != L'.') digits += c;
    }
    return digits;
  };
  const std::wstring& name = values[0];
  const std::wstring down = hertz(values[1]), up = hertz(values[2]), mode = values[4];
  // A transponder with an inverting passband: LSB up for USB down.
  const std::wstring up_mode = mode == L"USB" ? L"LSB" : mode;
  if (options.program == Program::kSatPc32) {
    return {L"SN" + name + L" AZ" + azimuth + L" EL" + elevation + L" UP" + up + L" UM" + up_mode + L" DN" + down +
                L" DM" + mode + L" MA" + decimal(200.0 * phase),
            L"", L"", L"", L""};
  }
  std::wstring underscored = name;
  for (auto& c : underscored) {
    if (c == L' ') c = L'_';
  }
  const std::wstring tail = L" AZ" + azimuth + L" EL" + elevation;
  return {L"SN\"" + name + L"\"" + tail + L" RA1234.5 RR-2.345 LO139.7 LA35.7 AL820.3 DN" + down + L" UP" + up +
              L" DM" + mode + L" UM" + up_mode + L" TU20240305120000",
          L"SN" + underscored + tail + L" DN" + down + L" UP" + up + L" DM" + mode + L" UM" + up_mode, L"", L"", L""};
}

std::wstring DecodeTextFile(const std::string& bytes) {
  std::string_view text = bytes;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (chars <= 0) return zelmor::base::FromAnsi(bytes);
  std::wstring out(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), chars);
  return out;
}

std::map<std::wstring, std::wstring> ParseValues(const std::wstring& text) {
  std::map<std::wstring, std::wstring> values;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    const auto equals = line.find(L'=');
    if (equals != std::wstring::npos) values[Upper(Trimmed(line.substr(0, equals)))] = line.substr(equals + 1);
    start = end + 1;
  }
  return values;
}

Tracker::Tracker(Options options) : options_(std::move(options)) {}

void Tracker::HangIfAsked() {
  ++requests_;
  if (options_.hang_after >= 0 && requests_ > static_cast<std::uint64_t>(options_.hang_after)) {
    // Hung for good: the test that asked for it ends the process.
    for (;;) Sleep(INFINITE);
  }
  if (!options_.hang_file.empty()) {
    while (GetFileAttributesW(options_.hang_file.c_str()) != INVALID_FILE_ATTRIBUTES) Sleep(20);
  }
}

bool Tracker::Lookup(int index, std::wstring& value) {
  if (options_.values_file.empty()) {
    value = SimulatedItems(options_, GetTickCount64() - started_)[static_cast<size_t>(index)];
    return true;
  }
  std::string bytes;
  if (zelmor::base::ReadFileContent(options_.values_file, bytes) != ERROR_SUCCESS) return false;
  const auto values = ParseValues(DecodeTextFile(bytes));
  const auto found = values.find(Upper(NamesOf(options_.program).items[index]));
  if (found == values.end()) return false;
  // "@count" stands for the number of answers given for this item, this one included, so a test
  // can tell each answer from the one before.
  value = found->second == L"@count" ? std::to_wstring(answers_per_item_[static_cast<size_t>(index)] + 1)
                                     : found->second;
  return true;
}

bool Tracker::Answer(const std::wstring& item, std::string& cf_text) {
  int index = -1;
  const ProgramNames& names = NamesOf(options_.program);
  for (int i = 0; i < names.item_count; ++i) {
    if (_wcsicmp(item.c_str(), names.items[i]) == 0) index = i;
  }
  std::wstring value;
  if (index < 0 || !Lookup(index, value)) return false;
  cf_text = zelmor::base::ToAnsi(value);
  if (options_.crlf) cf_text += "\r\n";
  cf_text.push_back('\0');
  ++answers_per_item_[static_cast<size_t>(index)];
  ++answered_;
  last_served_[static_cast<size_t>(index)] = std::move(value);
  return true;
}

std::array<std::wstring, kItemCount> Tracker::Shown() {
  if (options_.values_file.empty()) return SimulatedItems(options_, GetTickCount64() - started_);
  return last_served_;
}

}  // namespace tracker_sim
