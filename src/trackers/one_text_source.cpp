#include "trackers/one_text_source.h"

#include "entry/feed.h"

namespace zelmor::trackers {

bool OneTextSource::Connect() {
  link_.Close();
  reading_.reset();
  item_ = 0;
  return link_.Open();
}

void OneTextSource::Disconnect() {
  link_.Close();
  reading_.reset();
}

void OneTextSource::Fetch() {
  reading_.reset();
  while (item_ < items_.size()) {
    std::wstring text;
    const TextLink::Answer answer = link_.Request(items_[item_], text);
    if (answer == TextLink::Answer::kText) {
      reading_ = reader_(text);
      return;
    }
    // Gone, or too slow to answer: the next item would fare no better.
    if (answer == TextLink::Answer::kNone || item_ + 1 >= items_.size()) return;
    ++item_;
  }
}

bool OneTextSource::Request(int label, std::wstring& value) {
  if (label == entry::kSatelliteName || !reading_) Fetch();
  if (!reading_) return false;
  switch (label) {
    case entry::kSatelliteName: value = reading_->satellite; return true;
    case entry::kReceiveFrequency: value = reading_->downlink; return true;
    case entry::kTransmitFrequency: value = reading_->uplink; return true;
    case entry::kRev: value.clear(); return true;
    case entry::kMode: value = reading_->mode; return true;
    default: return false;
  }
}

bool OneTextSource::Down(int) const { return link_.Down(); }

}  // namespace zelmor::trackers
