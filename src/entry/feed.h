#pragma once
// The five hidden feed labels and the tracking program they are filled from: CSATmate over its five
// DDE links, or another program behind the same face (tracker_source.h), looked for in order.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "entry/tracker_source.h"

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

// CSATmate: one link per label, each asked for its own item.
class CsatmateSource final : public TrackerSource {
 public:
  // `labels`: how many links Connect opens, from Label1 on (asking only for the satellite's name
  // needs one); all five are closed in any case.
  explicit CsatmateSource(FeedLinks& links, int labels = kFeedLabelCount) : links_(links), labels_(labels) {}
  Tracker Kind() const override { return Tracker::kCsatmate; }
  // Opens Label1, Label2, ... in order; when one fails, all five are closed.
  bool Connect() override;
  // Closes Label1..Label5 in order.
  void Disconnect() override;
  bool Request(int label, std::wstring& value) override { return links_.Request(label, value); }
  bool Down(int label) const override { return links_.Down(label); }

 private:
  FeedLinks& links_;
  int labels_;
};

// Carries a set-up on while the window goes on answering (the first one, at start-up), so the window
// need not wait for the tracking programs to answer before it is ready for input.
class SetUpRunner {
 public:
  virtual ~SetUpRunner() = default;
  // Starts `set_up`, which may still run when this returns.
  virtual void Begin(std::function<void()> set_up) = 0;
  // Returns once the set-up begun has ended; at once when none runs, or when called from inside it.
  virtual void Finish() = 0;
};

class Feed {
 public:
  // CSATmate alone.
  explicit Feed(FeedLinks& links);
  // `sources` in the order they are looked for; `setting` (may be null: any) says which may be used.
  Feed(std::vector<TrackerSource*> sources, const TrackerSetting* setting);

  // Connects the first source of the choice that answers; false when none does, and then nothing
  // stays open. Refused (false) while the feed is already in use further up the stack.
  bool SetUp();
  // The start-up's set-up, carried on by `runner` when one is given (else done here and now). Until
  // it has ended, anything else asked of the feed first waits for it: an entry is never composed
  // from half-made links, nor does it open links of its own beside the set-up's.
  void BeginSetUp();
  void set_runner(SetUpRunner* runner) { runner_ = runner; }
  // Closes every source's links (unload, and the start-up failure path).
  void CloseAll();
  // Starts the requests of one entry: the entry may connect once more.
  void BeginEntry() { may_reconnect_ = true; }
  // Asks the source in use for the label's current value; on success it becomes the label's text.
  // When the label's link is down (no tracking program at start-up, or it has gone since), the
  // sources are set up again and the request is made once more; at most once per entry, so an
  // entry without a tracking program costs one connect attempt for each source of the choice. A
  // server that does not answer in time is not reconnected: that would only wait a second time.
  // Refused (false) while the feed is already in use further up the stack: a window message handled
  // while a link waits must not make requests or connects inside the one under way.
  bool Request(int label);
  // The label's last value; before the first request, its own name ("Label1".."Label5").
  const std::wstring& Text(int label) const { return texts_[static_cast<size_t>(label)]; }

  // The tracking program in use whose link is up, if any.
  std::optional<Tracker> Connected() const;
  // The choice changed: everything closes, and the next set-up looks by the new choice.
  void ChoiceChanged();

 private:
  std::vector<TrackerSource*> Candidates() const;
  // Waits for the start-up's set-up, if it is still running.
  void Settle() const;
  bool SetUpNow();
  void ChoiceChangedNow();

  // Marks the feed in use for one call; a nested call is refused rather than run inside it.
  class InUse {
   public:
    explicit InUse(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
    ~InUse() {
      if (entered_) flag_ = false;
    }
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;
    bool entered() const { return entered_; }

   private:
    bool& flag_;
    bool entered_;
  };

  std::unique_ptr<CsatmateSource> own_;
  std::vector<TrackerSource*> sources_;
  const TrackerSetting* setting_ = nullptr;
  TrackerSource* current_ = nullptr;  // the source asked; after a failed set-up, the first candidate
  std::array<std::wstring, kFeedLabelCount> texts_;
  bool may_reconnect_ = false;
  SetUpRunner* runner_ = nullptr;
  bool in_use_ = false;
};

}  // namespace zelmor::entry
