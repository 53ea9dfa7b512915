#pragma once
// The feed's links to the tracking program, written on the raw DDE window messages.
//
// DDEML was not used: Wine's DDEML server follows each WM_DDE_DATA with an extra positive
// WM_DDE_ACK that a DDEML client sharing a conversation takes for the next answer, and a DDEML
// connect to a server that had hung blocks for minutes. Here each label holds a conversation of
// its own, from a message-only window of its own, and only ever waits a bounded time.

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "entry/feed.h"
#include "base/handles_win.h"

namespace zelmor::entry {

// Sends a link's initiate to every top-level window, and returns once each has had it or been
// passed over. The client is the link's window, of the links' own thread: the servers' answers are
// handled there.
class DdeInitiator {
 public:
  virtual ~DdeInitiator() = default;
  virtual void Initiate(HWND client, ATOM service, ATOM topic) = 0;
};

class DdeFeedLinks final : public FeedLinks {
 public:
  static constexpr DWORD kDefaultRequestTimeoutMs = 5000;
  // How long the initiate broadcast waits on any one window before passing over it.
  static constexpr DWORD kInitiateTimeoutMs = 500;
  // How long a close waits for the partner's own terminate.
  static constexpr DWORD kTerminateWaitMs = 250;

  // Must be made, used and destroyed on one thread, which must not be inside a request or an
  // initiate.
  explicit DdeFeedLinks(DWORD request_timeout_ms = kDefaultRequestTimeoutMs);
  ~DdeFeedLinks() override;
  DdeFeedLinks(const DdeFeedLinks&) = delete;
  DdeFeedLinks& operator=(const DdeFeedLinks&) = delete;

  // Broadcasts the initiate and keeps the first server that answers; no advise loop.
  bool Open(int label, const std::wstring& service, const std::wstring& topic,
            const std::wstring& item) override;
  // Asks for the item in CF_TEXT and waits up to the time-out, handling only this link's DDE
  // messages meanwhile; fails at once when the server's window is gone.
  bool Request(int label, std::wstring& value) override;
  // Closed, ended by the server, or the server's window destroyed (its program closed or killed).
  bool Down(int label) const override;
  // The label's last request was refused by the server (a negative acknowledgement).
  bool Refused(int label) const;
  // Asks for another item on the same conversation from the next request on.
  bool SetItem(int label, const std::wstring& item);
  void Close(int label) override;

  // The conversation's server window, or null when the label has no conversation.
  HWND ServerWindow(int label) const;

  // The initiate broadcast itself, from the calling thread.
  static void BroadcastInitiate(HWND client, ATOM service, ATOM topic);
  // Who sends the initiates from now on; null (the default): this thread, by itself.
  void set_initiator(DdeInitiator* initiator) { initiator_ = initiator; }

 private:
  class LinkWindow;
  struct Link {
    std::unique_ptr<LinkWindow> window;  // our end of the conversation
    HWND server = nullptr;        // the partner's end; null while closed
    bool open = false;
    bool initiating = false;
    bool partner_terminated = false;  // the partner ended the conversation (or it died)
    bool we_terminated = false;
    std::wstring item_name;
    base::UniqueGlobalAtom item;  // one reference held for the link's lifetime, so the number stays
    int outstanding = 0;  // requests posted and not yet answered; only the newest one is waited for
    bool waiting = false;
    bool answered = false;
    bool answer_ok = false;
    bool refused = false;
    std::string answer;  // the CF_TEXT bytes of the answer, cut at the first NUL
  };

  static LRESULT HandleMessage(Link& link, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static void OnInitiateAck(Link& link, HWND hwnd, HWND sender, LPARAM lparam);
  static void OnAck(Link& link, HWND sender, LPARAM lparam);
  static void OnData(Link& link, HWND hwnd, HWND sender, LPARAM lparam);
  static void OnTerminate(Link& link, HWND hwnd, HWND sender);

  Link* Find(int label);
  bool EnsureWindow(Link& link);
  // Handles the DDE messages already waiting for the link's window.
  static void PumpDde(Link& link);
  // Posts our terminate on each open link, waits briefly for the partners' own, then forgets them.
  static void Terminate(Link* const* links, size_t count);

  DWORD request_timeout_ms_;
  DdeInitiator* initiator_ = nullptr;
  // Inside a request or an initiate: a window of this thread may be handed a sent message
  // meanwhile, and a call made from there is refused rather than nested.
  bool busy_ = false;
  std::array<Link, kFeedLabelCount> links_;
};

}  // namespace zelmor::entry
