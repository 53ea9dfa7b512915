#pragma once
// The three tracking programs over DDE, in the order they are looked for: CSATmate (five links,
// one item each), SatPC32 (service "SatPC32", topic "SatPcDdeConv", item "SatPcDdeItem") and
// Orbitron (service "Orbitron", topic "Tracking", item "TrackingDataEx", else "TrackingData").
// All are asked with requests only (cold links): nothing is sent unless an entry asks.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "entry/dde_feed_links_win.h"
#include "entry/feed.h"
#include "entry/tracker_source.h"
#include "trackers/one_text_source.h"

namespace zelmor::trackers {

inline constexpr wchar_t kSatPc32Service[] = L"SatPC32";
inline constexpr wchar_t kSatPc32Topic[] = L"SatPcDdeConv";
inline constexpr wchar_t kSatPc32Item[] = L"SatPcDdeItem";
inline constexpr wchar_t kOrbitronService[] = L"Orbitron";
inline constexpr wchar_t kOrbitronTopic[] = L"Tracking";
inline constexpr wchar_t kOrbitronItem[] = L"TrackingDataEx";
inline constexpr wchar_t kOrbitronPlainItem[] = L"TrackingData";

// One conversation, on the first of a DdeFeedLinks' links.
class DdeTextLink final : public TextLink {
 public:
  DdeTextLink(entry::DdeFeedLinks& links, std::wstring service, std::wstring topic, std::wstring first_item)
      : links_(links), service_(std::move(service)), topic_(std::move(topic)), first_item_(std::move(first_item)) {}
  bool Open() override;
  Answer Request(const std::wstring& item, std::wstring& text) override;
  bool Down() const override { return links_.Down(0); }
  void Close() override { links_.Close(0); }

 private:
  entry::DdeFeedLinks& links_;
  std::wstring service_, topic_, first_item_;
};

// Made, used and destroyed on one thread (the links' windows are that thread's).
class DdeTrackerSet final : public entry::TrackerSet {
 public:
  // `name_only`: CSATmate's link for the satellite's name alone is opened.
  DdeTrackerSet(DWORD request_timeout_ms, bool name_only);
  DdeTrackerSet(const DdeTrackerSet&) = delete;
  DdeTrackerSet& operator=(const DdeTrackerSet&) = delete;
  std::vector<entry::TrackerSource*> Sources() override { return {&csatmate_, &satpc32_, &orbitron_}; }
  // Who sends every link's initiates (entry/dde_feed_links_win.h); null: the set's own thread.
  void set_initiator(entry::DdeInitiator* initiator);

 private:
  entry::DdeFeedLinks csatmate_links_, satpc32_links_, orbitron_links_;
  entry::CsatmateSource csatmate_;
  DdeTextLink satpc32_link_, orbitron_link_;
  OneTextSource satpc32_, orbitron_;
};

class DdeTrackerSetMaker final : public entry::TrackerSetMaker {
 public:
  explicit DdeTrackerSetMaker(DWORD request_timeout_ms) : request_timeout_ms_(request_timeout_ms) {}
  std::unique_ptr<entry::TrackerSet> Make(bool name_only) override {
    return std::make_unique<DdeTrackerSet>(request_timeout_ms_, name_only);
  }

 private:
  DWORD request_timeout_ms_;
};

}  // namespace zelmor::trackers
