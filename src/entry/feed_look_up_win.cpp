#include "entry/feed_look_up_win.h"

#include <utility>

namespace zelmor::entry {

FeedLookUp::~FeedLookUp() {
  Finish();
  End();
}

void FeedLookUp::Begin(std::function<void()> set_up) {
  Finish();
  set_up_ = std::move(set_up);
  // From the first message on: the window is ready for input first. Anything asked of the feed
  // before then starts it at once (Finish).
  due_ = PostMessageW(notify_, kFeedLookUpMessage, 0, 0) != FALSE;
  if (!due_) Start();
}

void FeedLookUp::Start() {
  due_ = false;
  if (!Prepare()) {
    // The look-up as it always was: on this thread, all of it now.
    auto set_up = std::move(set_up_);
    End();
    if (set_up) set_up();
    return;
  }
  Resume();
}

bool FeedLookUp::Prepare() {
  wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ended_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!wake_ || !ended_) return false;
  stop_ = false;
  worker_.reset(CreateThread(nullptr, 0, &FeedLookUp::WorkerMain, this, 0, nullptr));
  if (!worker_) return false;
  thread_fiber_ = ConvertThreadToFiber(nullptr);
  converted_ = thread_fiber_ != nullptr;
  if (!thread_fiber_) return false;
  fiber_ = CreateFiber(0, &FeedLookUp::FiberMain, this);
  return fiber_ != nullptr;
}

void FeedLookUp::Resume() {
  if (!fiber_ || on_fiber_ || broadcasting_) return;
  on_fiber_ = true;
  SwitchToFiber(fiber_);
  on_fiber_ = false;
  if (set_up_ended_) End();
}

void CALLBACK FeedLookUp::FiberMain(void* parameter) {
  auto& self = *static_cast<FeedLookUp*>(parameter);
  try {
    self.set_up_();
  } catch (...) {
    // The feed's own set-up keeps its failures; nothing may leave a fiber's first function.
  }
  self.set_up_ended_ = true;
  SwitchToFiber(self.thread_fiber_);
  // Never switched back into: End deletes this fiber.
}

void FeedLookUp::Initiate(HWND client, ATOM service, ATOM topic) {
  if (!on_fiber_) {
    DdeFeedLinks::BroadcastInitiate(client, service, topic);
    return;
  }
  client_ = client;
  service_ = service;
  topic_ = topic;
  broadcasting_ = true;
  SetEvent(wake_.get());
  // The window thread goes back to what it was doing; it switches in again once the worker is done
  // (Resume), and the atoms, held by the caller on this fiber's stack, live until then.
  SwitchToFiber(thread_fiber_);
}

DWORD WINAPI FeedLookUp::WorkerMain(void* parameter) {
  auto& self = *static_cast<FeedLookUp*>(parameter);
  for (;;) {
    WaitForSingleObject(self.wake_.get(), INFINITE);
    if (self.stop_) return 0;
    DdeFeedLinks::BroadcastInitiate(self.client_, self.service_, self.topic_);
    SetEvent(self.ended_.get());
    PostMessageW(self.notify_, kFeedLookUpMessage, 0, 0);
  }
}

void FeedLookUp::OnMessage() {
  if (on_fiber_) return;
  if (due_) {
    Start();
    return;
  }
  // Finish may already have taken the worker's word for it.
  if (!broadcasting_ || WaitForSingleObject(ended_.get(), 0) != WAIT_OBJECT_0) return;
  broadcasting_ = false;
  Resume();
}

void FeedLookUp::Finish() {
  if (due_) Start();
  while (fiber_ && !on_fiber_) {
    if (broadcasting_) {
      const HANDLE ended = ended_.get();
      const DWORD woken = MsgWaitForMultipleObjects(1, &ended, FALSE, INFINITE, QS_SENDMESSAGE);
      if (woken == WAIT_OBJECT_0 + 1) {
        // Handles what was sent (a server's answer, the worker's initiate to our own window), and
        // leaves everything posted in the queue.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        continue;
      }
      if (woken != WAIT_OBJECT_0) return;  // cannot wait: the look-up goes on at the next message
      broadcasting_ = false;
    }
    Resume();
  }
}

void FeedLookUp::End() {
  if (fiber_) {
    DeleteFiber(fiber_);
    fiber_ = nullptr;
  }
  if (converted_) {
    ConvertFiberToThread();
    converted_ = false;
  }
  thread_fiber_ = nullptr;
  set_up_ended_ = false;
  set_up_ = nullptr;
  if (worker_) {
    // It waits for its next initiate and ends at once.
    stop_ = true;
    SetEvent(wake_.get());
    WaitForSingleObject(worker_.get(), INFINITE);
    worker_.reset();
  }
}

}  // namespace zelmor::entry
