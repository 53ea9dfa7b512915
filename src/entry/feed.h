#pragma once
// The five hidden feed labels and their links to the tracking program's DDE server.

#include <array>
#include <string>

namespace zelmor::entry {

inline constexpr int kFeedLabelCount = 5;
inline constexpr wchar_t kFeedService[] = L"CSATmate";
inline constexpr wchar_t kFeedTopic[] = L"CALSAT_RigControl";

// Label index 0..4 stands for Label1..Label5.
enum FeedLabel : int {
  kSatelliteName = 0,     // Label1, item "Label1"
  kReceiveFrequency = 1,  // Label2, item "Label2"
  kTransmitFrequency = 2, // Label3, item "Label3"
  kRev = 3,               // Label4, item "Label15"
  kMode = 4,              // Label5, item "Label17"
};

// The item each label asks for; the tracking program's own names.
const wchar_t* FeedItem(int label);

// The platform's DDE client facility, one manual (request-only) link per label.
class FeedLinks {
 public:
  virtual ~FeedLinks() = default;
  virtual bool Open(int label, const std::wstring& service, const std::wstring& topic,
                    const std::wstring& item) = 0;
  // Fails when the link is closed, the server has gone, refused, or did not answer in time.
  virtual bool Request(int label, std::wstring& value) = 0;
  // True when the label's link is closed or its server has gone (its window destroyed, or it
  // ended the conversation): the only failures that connecting again can mend. A refusal or a
  // server too busy to answer leaves the link up.
  virtual bool Down(int /*label*/) const { return false; }
  // Closing a closed link does nothing.
  virtual void Close(int label) = 0;
};

class Feed {
 public:
  explicit Feed(FeedLinks& links);

  // Opens Label1..Label5 in order; when one fails, all five are closed and false is returned.
  bool SetUp();
  // Closes Label1..Label5 in order (unload, and the start-up failure path).
  void CloseAll();
  // Starts the requests of one entry: the entry may connect once more.
  void BeginEntry() { may_reconnect_ = true; }
  // Asks the server for the label's current value; on success it becomes the label's text.
  // When the label's link is down (the tracking program was not there at start-up, or has gone
  // since), the five links are set up again and the request is made once more; at most once per
  // entry, so an entry without a tracking program costs one connect attempt. A server that does
  // not answer in time is not reconnected: that would only wait a second time.
  bool Request(int label);
  // The label's last value; before the first request, its own name ("Label1".."Label5").
  const std::wstring& Text(int label) const { return texts_[static_cast<size_t>(label)]; }

 private:
  FeedLinks& links_;
  std::array<std::wstring, kFeedLabelCount> texts_;
  bool may_reconnect_ = false;
};

}  // namespace zelmor::entry
