#pragma once
// The start-up's look for the tracking programs, carried on while the window answers.
//
// Each link's initiate is a broadcast that waits for every top-level window to look at it, and
// CSATmate alone is five of them. Here the broadcasts are sent from a worker thread, while the
// look-up itself (Feed's set-up with its sources and links) stays on the window's thread: the
// links' windows are that thread's, so the servers' sent WM_DDE_ACK is handled there as it pumps,
// and every later request finds its conversation where it was made.
//
// The set-up runs on a fiber of the window's thread. At each broadcast it hands the initiate to the
// worker and switches back, so the window thread returns to its messages instead of waiting inside
// the look-up, where a message handled meanwhile (an Enter sent by another program) would run in the
// middle of it. When the worker has sent the initiate the window thread is told, and switches into
// the fiber again up to the next broadcast. The order of the look-up stays written once, as plain
// code, in Feed and the sources.

#include <windows.h>

#include <atomic>
#include <functional>

#include "base/handles_win.h"
#include "entry/dde_feed_links_win.h"
#include "entry/feed.h"
#include "window/main_window_messages.h"

namespace zelmor::entry {

// Posted to the window given to FeedLookUp: the look-up is due to start, or the worker's broadcast
// has ended.
inline constexpr UINT kFeedLookUpMessage = window::kFeedLookUpMessage;

class FeedLookUp final : public SetUpRunner, public DdeInitiator {
 public:
  // `notify`: a window of this thread, which hands kFeedLookUpMessage to OnMessage.
  explicit FeedLookUp(HWND notify) : notify_(notify) {}
  // Finishes a look-up still running.
  ~FeedLookUp() override;
  FeedLookUp(const FeedLookUp&) = delete;
  FeedLookUp& operator=(const FeedLookUp&) = delete;

  // Starts `set_up` from the next message on, and runs it there up to its first broadcast; without a
  // fiber or a worker, all of it at once.
  void Begin(std::function<void()> set_up) override;
  // Waits until the look-up has ended, handling only the messages sent to this thread meanwhile (the
  // servers' answers and the worker's broadcast among them); posted ones, the operator's keys
  // included, keep their turn. Called from inside the look-up, returns at once.
  void Finish() override;
  // Starts the look-up, or goes on with it, up to its next broadcast or to its end.
  void OnMessage();

  // From inside the look-up: the worker sends it, and the fiber waits for it. Otherwise sent here.
  void Initiate(HWND client, ATOM service, ATOM topic) override;

 private:
  static void CALLBACK FiberMain(void* parameter);
  static DWORD WINAPI WorkerMain(void* parameter);
  void Start();
  bool Prepare();
  // Switches into the look-up until it waits for a broadcast or has ended.
  void Resume();
  // Once the look-up has ended (or could not begin): the fiber and the worker go.
  void End();

  HWND notify_;
  std::function<void()> set_up_;
  void* thread_fiber_ = nullptr;  // the window thread's own
  void* fiber_ = nullptr;         // the look-up's
  bool due_ = false;              // begun, and waiting for its first message
  bool converted_ = false;        // this made the thread a fiber, and makes it a thread again
  bool on_fiber_ = false;
  bool set_up_ended_ = false;
  bool broadcasting_ = false;     // the worker has an initiate to send, or has not yet said it ended

  // The initiate handed to the worker, read by it after `wake_`.
  HWND client_ = nullptr;
  ATOM service_ = 0;
  ATOM topic_ = 0;
  base::UniqueHandle wake_, ended_, worker_;
  std::atomic<bool> stop_{false};
};

}  // namespace zelmor::entry
