#pragma once
// A tracking program that sends everything in one text (SatPC32, Orbitron): one request per entry,
// at the entry's first label; the later labels are answered from that text.

#include <optional>
#include <string>
#include <vector>

#include "entry/tracker_source.h"
#include "trackers/tracker_text.h"

namespace zelmor::trackers {

// One conversation with the program's DDE server, which may be asked for any of its items.
class TextLink {
 public:
  virtual ~TextLink() = default;
  // Connects to the program (its service and topic); false when nobody answers.
  virtual bool Open() = 0;
  enum class Answer { kText, kRefused, kNone };
  // kRefused: the program said no (it does not serve the item); kNone: no answer in time, or gone.
  virtual Answer Request(const std::wstring& item, std::wstring& text) = 0;
  // Closed, or the program gone.
  virtual bool Down() const = 0;
  virtual void Close() = 0;
};

class OneTextSource final : public entry::TrackerSource {
 public:
  using Reader = std::optional<TrackerReading> (*)(const std::wstring& text);
  // `items`: the items to ask for, the best first; one that the program refuses is passed over for
  // the next, for as long as the connection lasts.
  OneTextSource(entry::Tracker kind, TextLink& link, std::vector<std::wstring> items, Reader reader)
      : kind_(kind), link_(link), items_(std::move(items)), reader_(reader) {}

  entry::Tracker Kind() const override { return kind_; }
  bool Connect() override;
  void Disconnect() override;
  // The satellite name's request asks the program; the other labels are read from its answer (the
  // Rev is always empty: neither program sends one). A label asked first after a reconnect asks too.
  bool Request(int label, std::wstring& value) override;
  bool Down(int label) const override;

 private:
  void Fetch();

  entry::Tracker kind_;
  TextLink& link_;
  std::vector<std::wstring> items_;
  Reader reader_;
  size_t item_ = 0;  // the item asked for
  std::optional<TrackerReading> reading_;
};

}  // namespace zelmor::trackers
