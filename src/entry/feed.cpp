#include "entry/feed.h"

#include <cwctype>

namespace zelmor::entry {
namespace {

bool SameIgnoringCase(const std::wstring& a, const wchar_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return i == a.size() && !b[i];
}

constexpr const wchar_t* kChoiceTexts[] = {L"auto", L"CSATmate", L"SatPC32", L"Orbitron"};

}  // namespace

const wchar_t* FeedItem(int label) {
  static const wchar_t* const kItems[kFeedLabelCount] = {L"Label1", L"Label2", L"Label3", L"Label15",
                                                         L"Label17"};
  return (label >= 0 && label < kFeedLabelCount) ? kItems[label] : L"";
}

TrackerChoice ParseTrackerChoice(const std::wstring& text) {
  for (int i = 0; i < kTrackerCount; ++i) {
    if (SameIgnoringCase(text, kChoiceTexts[i + 1])) return static_cast<TrackerChoice>(i);
  }
  return TrackerChoice::kAuto;
}

const wchar_t* TrackerChoiceText(TrackerChoice choice) { return kChoiceTexts[static_cast<int>(choice) + 1]; }

const wchar_t* TrackerName(Tracker tracker) { return kChoiceTexts[static_cast<int>(tracker) + 1]; }

bool CsatmateSource::Connect() {
  for (int i = 0; i < labels_ && i < kFeedLabelCount; ++i) {
    if (!links_.Open(i, kFeedService, kFeedTopic, FeedItem(i))) {
      Disconnect();
      return false;
    }
  }
  return true;
}

void CsatmateSource::Disconnect() {
  for (int i = 0; i < kFeedLabelCount; ++i) links_.Close(i);
}

Feed::Feed(FeedLinks& links) : own_(std::make_unique<CsatmateSource>(links)) {
  sources_.push_back(own_.get());
  current_ = own_.get();
  for (int i = 0; i < kFeedLabelCount; ++i) texts_[static_cast<size_t>(i)] = L"Label" + std::to_wstring(i + 1);
}

Feed::Feed(std::vector<TrackerSource*> sources, const TrackerSetting* setting)
    : sources_(std::move(sources)), setting_(setting) {
  for (int i = 0; i < kFeedLabelCount; ++i) texts_[static_cast<size_t>(i)] = L"Label" + std::to_wstring(i + 1);
  const auto candidates = Candidates();
  current_ = candidates.empty() ? nullptr : candidates.front();
}

std::vector<TrackerSource*> Feed::Candidates() const {
  const TrackerChoice choice = setting_ ? setting_->Get() : TrackerChoice::kAuto;
  std::vector<TrackerSource*> candidates;
  for (TrackerSource* source : sources_) {
    if (choice == TrackerChoice::kAuto || static_cast<int>(source->Kind()) == static_cast<int>(choice)) {
      candidates.push_back(source);
    }
  }
  return candidates;
}

void Feed::Settle() const {
  if (runner_) runner_->Finish();
}

bool Feed::SetUp() {
  Settle();
  const InUse in_use(in_use_);
  return in_use.entered() && SetUpNow();
}

void Feed::BeginSetUp() {
  Settle();
  auto set_up = [this] {
    const InUse in_use(in_use_);
    if (!in_use.entered()) return;
    try {
      SetUpNow();
    } catch (...) {
      // The window goes on without the feed until an entry finds the tracking program.
      for (TrackerSource* source : sources_) source->Disconnect();
    }
  };
  if (runner_) {
    runner_->Begin(std::move(set_up));
  } else {
    set_up();
  }
}

bool Feed::SetUpNow() {
  const auto candidates = Candidates();
  for (TrackerSource* source : candidates) {
    if (source->Connect()) {
      current_ = source;
      return true;
    }
  }
  current_ = candidates.empty() ? nullptr : candidates.front();
  return false;
}

void Feed::CloseAll() {
  Settle();
  const InUse in_use(in_use_);
  if (!in_use.entered()) return;
  for (TrackerSource* source : sources_) source->Disconnect();
}

bool Feed::Request(int label) {
  Settle();
  const InUse in_use(in_use_);
  if (!in_use.entered()) return false;
  // The choice may have changed since the source in use was connected.
  const TrackerChoice choice = setting_ ? setting_->Get() : TrackerChoice::kAuto;
  if (current_ && choice != TrackerChoice::kAuto && static_cast<int>(current_->Kind()) != static_cast<int>(choice)) {
    ChoiceChangedNow();
  }
  std::wstring value;
  bool answered = current_ && current_->Request(label, value);
  if (!answered && may_reconnect_ && (!current_ || current_->Down(label))) {
    may_reconnect_ = false;
    answered = SetUpNow() && current_->Request(label, value);
  }
  if (!answered) return false;
  texts_[static_cast<size_t>(label)] = std::move(value);
  return true;
}

std::optional<Tracker> Feed::Connected() const {
  Settle();
  if (!current_ || current_->Down(kSatelliteName)) return std::nullopt;
  return current_->Kind();
}

void Feed::ChoiceChanged() {
  Settle();
  const InUse in_use(in_use_);
  if (in_use.entered()) ChoiceChangedNow();
}

void Feed::ChoiceChangedNow() {
  for (TrackerSource* source : sources_) source->Disconnect();
  const auto candidates = Candidates();
  current_ = candidates.empty() ? nullptr : candidates.front();
}

}  // namespace zelmor::entry
