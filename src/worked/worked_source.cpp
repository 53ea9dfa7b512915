#include "worked/worked_source.h"

#include <algorithm>
#include <thread>
#include <unordered_map>
#include <utility>
#include <variant>

#include "base/calendar.h"
#include "base/text.h"
#include "contact/bands.h"
#include "contact/satellite_names.h"
#include "entry/log_format.h"
#include "settings/log_folder.h"
#include "station/station.h"

namespace zelmor::worked {
namespace {

// Lines a thread reads at a time: small enough that a stop is seen within milliseconds and that
// 200 files of 500 lines spread over the threads, large enough to keep the hand-over cheap.
constexpr size_t kChunkLines = 1024;

// Builds one reading, giving each name one entry however often it occurs.
class ReadingBuilder {
 public:
  uint32_t Name(const std::wstring& name) {
    auto [it, added] = ids_.try_emplace(name, static_cast<uint32_t>(reading_.names.size()));
    if (added) reading_.names.push_back(name);
    return it->second;
  }
  SourceReading& reading() { return reading_; }

 private:
  SourceReading reading_;
  std::unordered_map<std::wstring, uint32_t> ids_;
};

}  // namespace

int64_t CalendarMinute(int year, int month, int day, int hour, int minute) {
  return MinuteNumber(year, month, day, hour, minute);
}

std::wstring NormalizedCall(const std::wstring& call) { return AsciiUpper(call); }

std::wstring BaseCall(const std::wstring& call) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : call) {
    if (c == L'/') parts.emplace_back();
    else parts.back() += c;
  }
  if (parts.size() == 3) return parts[1];
  size_t base = 0;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i].size() > parts[base].size()) base = i;
  }
  return parts[base];
}

int GridNumber(const std::wstring& locator) {
  if (!entry::IsGridLocator(locator)) return -1;
  const int a = AsciiUpper(locator[0]) - L'A', b = AsciiUpper(locator[1]) - L'A';
  return ((a * 18 + b) * 10 + (locator[2] - L'0')) * 10 + (locator[3] - L'0');
}

std::wstring GridText(int n) {
  if (n < 0 || n >= 18 * 18 * 100) return std::wstring();
  return {static_cast<wchar_t>(L'A' + n / 1800), static_cast<wchar_t>(L'A' + n / 100 % 18),
          static_cast<wchar_t>(L'0' + n / 10 % 10), static_cast<wchar_t>(L'0' + n % 10)};
}

uint64_t LineFingerprint(const std::wstring& line) {
  uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : line) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

void SourceReading::Append(const SourceReading& more) {
  const auto offset = static_cast<uint32_t>(names.size());
  names.insert(names.end(), more.names.begin(), more.names.end());
  for (SourceRecord r : more.records) {
    r.call += offset;
    if (r.satellite != SourceRecord::kNoName) r.satellite += offset;
    records.push_back(r);
  }
  unreadable.insert(unreadable.end(), more.unreadable.begin(), more.unreadable.end());
  without_call.insert(without_call.end(), more.without_call.begin(), more.without_call.end());
}

SourceReading ReadSourceLines(const std::vector<std::wstring>& lines, const LineReading& reading, size_t begin,
                              size_t end) {
  ReadingBuilder builder;
  SourceReading& out = builder.reading();
  contact::ContactReader reader(reading.template_text, reading.formats, reading.now);
  end = std::min(end, lines.size());
  for (size_t i = begin; i < end; ++i) {
    const std::wstring& line = lines[i];
    if (line.find_first_not_of(L' ') == std::wstring::npos) continue;
    // The operator's own station is neither a contact nor an unreadable line; a station line the
    // dialog would refuse is a broken line, as the ADIF export counts it.
    if (const auto stated = station::StationOfLine(line)) {
      if (std::holds_alternative<station::StationFault>(*stated)) out.unreadable.push_back(LineFingerprint(line));
      continue;
    }
    const auto contact = reader.Read(line);
    if (!contact) {
      out.unreadable.push_back(LineFingerprint(line));
      continue;
    }
    const std::wstring call = contact->words.Find(contact::WordKind::Call);
    if (call.empty()) {
      out.without_call.push_back(LineFingerprint(line));
      continue;
    }
    SourceRecord r;
    r.call = builder.Name(NormalizedCall(call));
    if (contact->satellite_name) {
      std::wstring name = TrimSpaces(*contact->satellite_name);
      if (contact::NamesSatellite(name)) r.satellite = builder.Name(name);
    }
    r.time.year = static_cast<int16_t>(contact->date.year);
    r.time.month = static_cast<int8_t>(contact->date.month);
    r.time.day = static_cast<int8_t>(contact->date.day);
    r.time.hour = static_cast<int8_t>(contact->hour);
    r.time.minute = static_cast<int8_t>(contact->minute);
    r.time.zone = contact->zone.empty() ? 0 : contact->zone[0];
    r.grid = static_cast<int16_t>(GridNumber(contact->words.Find(contact::WordKind::Grid)));
    r.band = static_cast<int8_t>(contact::BandNumber(contact::BandsOf(*contact).uplink));
    out.records.push_back(r);
  }
  return std::move(out);
}

std::optional<std::vector<SourceReading>> ReadInParallel(const std::vector<const std::vector<std::wstring>*>& texts,
                                                        const LineReading& reading, unsigned threads,
                                                        const std::atomic<bool>& stop, void (*helper_started)()) {
  struct Chunk {
    size_t text, begin, end;
    SourceReading result;
  };
  std::vector<Chunk> chunks;
  for (size_t t = 0; t < texts.size(); ++t) {
    const size_t n = texts[t]->size();
    for (size_t begin = 0; begin < n; begin += kChunkLines) chunks.push_back({t, begin, std::min(n, begin + kChunkLines), {}});
  }
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; !stop.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < chunks.size();) {
      Chunk& c = chunks[i];
      c.result = ReadSourceLines(*texts[c.text], reading, c.begin, c.end);
    }
  };
  const size_t helpers = std::min<size_t>(threads > 1 ? threads - 1 : 0, chunks.size() > 1 ? chunks.size() - 1 : 0);
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (size_t i = 0; i < helpers; ++i) {
    pool.emplace_back([&] {
      if (helper_started) helper_started();
      work();
    });
  }
  work();
  for (auto& t : pool) t.join();
  if (stop.load()) return std::nullopt;

  std::vector<SourceReading> out(texts.size());
  for (Chunk& c : chunks) {
    if (c.begin == 0) out[c.text] = std::move(c.result);
    else out[c.text].Append(c.result);
  }
  return out;
}

std::vector<std::wstring> IndexedLines(const std::wstring& text) { return entry::SplitAtEveryLineEnd(text); }

bool IsLogFileName(const std::wstring& name, const std::vector<std::wstring>& skipped) {
  const std::wstring upper = AsciiUpper(name);
  if (upper.size() < 5 || upper.compare(upper.size() - 4, 4, L".TXT") != 0) return false;
  if (upper.rfind(AsciiUpper(settings::kLotwUploadNamePrefix), 0) == 0) return false;
  for (const auto& s : skipped) {
    if (AsciiUpper(s) == upper) return false;
  }
  return true;
}

std::vector<std::wstring> SkippedLogFiles(const std::wstring& log_folder, const std::wstring& program_folder,
                                          const std::wstring& safety_copy_name) {
  const auto same_form = [](std::wstring folder) {
    for (wchar_t& c : folder) c = c == L'/' ? L'\\' : AsciiUpper(c);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
  };
  if (same_form(log_folder) != same_form(program_folder)) return {};
  return {safety_copy_name};
}

FolderChanges CompareListings(const std::vector<FileStamp>& before, const std::vector<FileStamp>& now) {
  FolderChanges changes;
  std::unordered_map<std::wstring, const FileStamp*> old;
  for (const auto& f : before) old[f.name] = &f;
  for (const auto& f : now) {
    auto it = old.find(f.name);
    if (it == old.end() || !(*it->second == f)) changes.changed.push_back(f.name);
    if (it != old.end()) old.erase(it);
  }
  for (const auto& f : before) {
    if (old.count(f.name)) changes.removed.push_back(f.name);
  }
  return changes;
}

}  // namespace zelmor::worked
