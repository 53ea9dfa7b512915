#include "entry/feed.h"

namespace zelmor::entry {

const wchar_t* FeedItem(int label) {
  static const wchar_t* const kItems[kFeedLabelCount] = {L"Label1", L"Label2", L"Label3", L"Label15",
                                                         L"Label17"};
  return (label >= 0 && label < kFeedLabelCount) ? kItems[label] : L"";
}

Feed::Feed(FeedLinks& links) : links_(links) {
  for (int i = 0; i < kFeedLabelCount; ++i) texts_[static_cast<size_t>(i)] = L"Label" + std::to_wstring(i + 1);
}

bool Feed::SetUp() {
  for (int i = 0; i < kFeedLabelCount; ++i) {
    if (!links_.Open(i, kFeedService, kFeedTopic, FeedItem(i))) {
      CloseAll();
      return false;
    }
  }
  return true;
}

void Feed::CloseAll() {
  for (int i = 0; i < kFeedLabelCount; ++i) links_.Close(i);
}

bool Feed::Request(int label) {
  std::wstring value;
  bool answered = links_.Request(label, value);
  if (!answered && may_reconnect_ && links_.Down(label)) {
    may_reconnect_ = false;
    answered = SetUp() && links_.Request(label, value);
  }
  if (!answered) return false;
  texts_[static_cast<size_t>(label)] = std::move(value);
  return true;
}

}  // namespace zelmor::entry
