#include "trackers/dde_trackers_win.h"

namespace zelmor::trackers {

bool DdeTextLink::Open() { return links_.Open(0, service_, topic_, first_item_); }

TextLink::Answer DdeTextLink::Request(const std::wstring& item, std::wstring& text) {
  if (!links_.SetItem(0, item)) return Answer::kNone;
  if (links_.Request(0, text)) return Answer::kText;
  return links_.Refused(0) ? Answer::kRefused : Answer::kNone;
}

DdeTrackerSet::DdeTrackerSet(DWORD request_timeout_ms, bool name_only)
    : csatmate_links_(request_timeout_ms),
      satpc32_links_(request_timeout_ms),
      orbitron_links_(request_timeout_ms),
      csatmate_(csatmate_links_, name_only ? 1 : entry::kFeedLabelCount),
      satpc32_link_(satpc32_links_, kSatPc32Service, kSatPc32Topic, kSatPc32Item),
      orbitron_link_(orbitron_links_, kOrbitronService, kOrbitronTopic, kOrbitronItem),
      satpc32_(entry::Tracker::kSatPc32, satpc32_link_, {kSatPc32Item}, &ReadSatPc32Text),
      orbitron_(entry::Tracker::kOrbitron, orbitron_link_, {kOrbitronItem, kOrbitronPlainItem}, &ReadOrbitronText) {}

void DdeTrackerSet::set_initiator(entry::DdeInitiator* initiator) {
  csatmate_links_.set_initiator(initiator);
  satpc32_links_.set_initiator(initiator);
  orbitron_links_.set_initiator(initiator);
}

}  // namespace zelmor::trackers
