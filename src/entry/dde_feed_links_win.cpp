#include "entry/dde_feed_links_win.h"

#include <memory>

#include <dde.h>

#include <algorithm>

#include "base/codepage_win.h"
#include "window/base_window_win.h"

namespace zelmor::entry {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelmorFeedLink";
// While waiting, the server's window is looked at this often, so a killed server costs no more.
constexpr DWORD kPollSliceMs = 20;
// The value text of WM_DDE_DATA follows the flags word and the clipboard format.
constexpr SIZE_T kDdeDataHeader = 4;

bool IsPositive(WORD status) { return (status & 0x8000) != 0; }

// Gives up a reference to an atom that came to us with a message.
void Release(ATOM atom) { base::UniqueGlobalAtom received(atom); }

// The text a tracking program sends ends with a NUL, and some DDE servers end a text item with
// CR LF as a spreadsheet row does. Both are framing, not value: a CR LF left in would split the
// log line. Anything else, spaces included, is the value.
std::wstring ValueFromCfText(std::string bytes) {
  if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) bytes.resize(bytes.size() - 2);
  return base::FromAnsi(bytes);
}

// Reads the text out of a WM_DDE_DATA memory object; false when it is not CF_TEXT.
bool ReadCfText(HGLOBAL memory, std::string& text) {
  text.clear();
  base::GlobalLockGuard<BYTE> lock(memory);
  if (!lock.get() || lock.size() < kDdeDataHeader) return false;
  const auto* data = reinterpret_cast<const DDEDATA*>(lock.get());
  if (static_cast<UINT>(static_cast<unsigned short>(data->cfFormat)) != CF_TEXT) return false;
  const char* begin = reinterpret_cast<const char*>(lock.get()) + kDdeDataHeader;
  const char* end = begin + (lock.size() - kDdeDataHeader);
  text.assign(begin, std::find(begin, end, '\0'));
  return true;
}

}  // namespace

// Our end of one conversation: a message-only window that hands the DDE messages to its link.
class DdeFeedLinks::LinkWindow : public window::Window {
 public:
  explicit LinkWindow(Link& link) : link_(link) {}
  ~LinkWindow() override {
    if (hwnd()) DestroyWindow(hwnd());
  }
  // A message-only window: servers post to it like any other, and it is not a top-level window,
  // so other programs' initiate broadcasts never reach it.
  bool Create() {
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    static const bool registered = window::RegisterWindowClass(wc);
    return registered && CreateOwnedWindow(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           GetModuleHandleW(nullptr)) != nullptr;
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message < WM_DDE_FIRST || message > WM_DDE_LAST) return Default(message, wparam, lparam);
    return HandleMessage(link_, hwnd(), message, wparam, lparam);
  }

 private:
  Link& link_;
};

DdeFeedLinks::DdeFeedLinks(DWORD request_timeout_ms) : request_timeout_ms_(request_timeout_ms) {}

DdeFeedLinks::~DdeFeedLinks() {
  Link* all[kFeedLabelCount] = {};
  size_t count = 0;
  for (Link& link : links_) all[count++] = &link;
  Terminate(all, count);
  for (Link& link : links_) {
    link.window.reset();
    link.item.reset();
  }
}

DdeFeedLinks::Link* DdeFeedLinks::Find(int label) {
  if (label < 0 || label >= kFeedLabelCount) return nullptr;
  return &links_[static_cast<size_t>(label)];
}

HWND DdeFeedLinks::ServerWindow(int label) const {
  if (label < 0 || label >= kFeedLabelCount) return nullptr;
  const Link& link = links_[static_cast<size_t>(label)];
  return link.open ? link.server : nullptr;
}

bool DdeFeedLinks::EnsureWindow(Link& link) {
  if (link.window && link.window->hwnd()) return true;
  auto window = std::make_unique<LinkWindow>(link);
  if (!window->Create()) return false;
  link.window = std::move(window);
  return true;
}

bool DdeFeedLinks::Open(int label, const std::wstring& service, const std::wstring& topic,
                        const std::wstring& item) {
  Link* link = Find(label);
  if (!link || busy_) return false;
  Close(label);
  if (!EnsureWindow(*link)) return false;

  if (!SetItem(label, item)) return false;

  const base::UniqueGlobalAtom service_atom(GlobalAddAtomW(service.c_str()));
  const base::UniqueGlobalAtom topic_atom(GlobalAddAtomW(topic.c_str()));
  if (service_atom && topic_atom) {
    link->initiating = true;
    link->server = nullptr;
    busy_ = true;
    if (initiator_) {
      initiator_->Initiate(link->window->hwnd(), service_atom.get(), topic_atom.get());
    } else {
      BroadcastInitiate(link->window->hwnd(), service_atom.get(), topic_atom.get());
    }
    busy_ = false;
    link->initiating = false;
  }

  if (!link->server) return false;
  link->open = true;
  link->partner_terminated = false;
  link->we_terminated = false;
  link->outstanding = 0;
  return true;
}

void DdeFeedLinks::BroadcastInitiate(HWND client, ATOM service, ATOM topic) {
  // Sent, not posted, to every top-level window; the servers answer the client with a sent
  // WM_DDE_ACK while this waits, and with nobody serving it returns as soon as each window has
  // looked. This runs at start-up and again at an Enter whose links are down, so a window that has
  // stopped answering may cost the short time-out, never more (nothing once it counts as hung).
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client), MAKELPARAM(service, topic),
                      SMTO_ABORTIFHUNG | SMTO_NORMAL, kInitiateTimeoutMs, &ignored);
}

bool DdeFeedLinks::Request(int label, std::wstring& value) {
  Link* link = Find(label);
  if (!link || !link->open || link->partner_terminated || busy_) return false;
  if (!IsWindow(link->server)) {
    link->partner_terminated = true;
    return false;
  }
  busy_ = true;

  // The server owns this reference once the request is posted; the link's own reference keeps
  // the atom's number fixed, so a late answer can always be recognised.
  base::UniqueGlobalAtom item(GlobalAddAtomW(link->item_name.c_str()));
  const LPARAM lparam = PackDDElParam(WM_DDE_REQUEST, CF_TEXT, item.get());
  if (!item || !PostMessageW(link->server, WM_DDE_REQUEST, reinterpret_cast<WPARAM>(link->window->hwnd()),
                             lparam)) {
    FreeDDElParam(WM_DDE_REQUEST, lparam);
    busy_ = false;
    return false;
  }
  item.release();  // the server's now
  ++link->outstanding;
  link->waiting = true;
  link->answered = false;
  link->answer_ok = false;
  link->refused = false;
  link->answer.clear();

  const ULONGLONG deadline = GetTickCount64() + request_timeout_ms_;
  for (;;) {
    PumpDde(*link);
    if (link->answered) break;
    if (link->partner_terminated || !IsWindow(link->server)) {
      link->partner_terminated = true;
      break;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollSliceMs));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_POSTMESSAGE | QS_SENDMESSAGE);
  }
  link->waiting = false;
  busy_ = false;

  if (!link->answered || !link->answer_ok) return false;
  value = ValueFromCfText(std::move(link->answer));
  link->answer.clear();
  return true;
}

bool DdeFeedLinks::SetItem(int label, const std::wstring& item) {
  Link* link = Find(label);
  if (!link || busy_) return false;
  if (link->item && link->item_name == item) return true;
  // A late answer for the item asked before carries the old number and is passed over.
  link->item.reset(GlobalAddAtomW(item.c_str()));
  link->item_name = link->item ? item : std::wstring();
  link->outstanding = 0;
  return static_cast<bool>(link->item);
}

bool DdeFeedLinks::Refused(int label) const {
  if (label < 0 || label >= kFeedLabelCount) return false;
  return links_[static_cast<size_t>(label)].refused;
}

bool DdeFeedLinks::Down(int label) const {
  if (label < 0 || label >= kFeedLabelCount) return false;
  const Link& link = links_[static_cast<size_t>(label)];
  return !link.open || link.partner_terminated || !IsWindow(link.server);
}

void DdeFeedLinks::Close(int label) {
  Link* link = Find(label);
  if (!link || busy_) return;
  Terminate(&link, 1);
}

void DdeFeedLinks::Terminate(Link* const* links, size_t count) {
  bool any_waiting = false;
  for (size_t i = 0; i < count; ++i) {
    Link& link = *links[i];
    if (!link.open) continue;
    if (!link.partner_terminated && IsWindow(link.server)) {
      link.we_terminated =
          PostMessageW(link.server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(link.window->hwnd()), 0) != FALSE;
      any_waiting = any_waiting || link.we_terminated;
    }
  }
  // The partner answers with its own terminate; after that nothing more comes on the conversation.
  const ULONGLONG deadline = GetTickCount64() + kTerminateWaitMs;
  while (any_waiting) {
    any_waiting = false;
    for (size_t i = 0; i < count; ++i) {
      Link& link = *links[i];
      if (!link.open || !link.we_terminated) continue;
      PumpDde(link);
      if (!link.partner_terminated && IsWindow(link.server)) any_waiting = true;
    }
    const ULONGLONG now = GetTickCount64();
    if (!any_waiting || now >= deadline) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(static_cast<DWORD>(deadline - now), kPollSliceMs),
                              QS_POSTMESSAGE | QS_SENDMESSAGE);
  }
  for (size_t i = 0; i < count; ++i) {
    Link& link = *links[i];
    link.open = false;
    link.server = nullptr;
    link.partner_terminated = false;
    link.we_terminated = false;
    link.outstanding = 0;
  }
}

void DdeFeedLinks::PumpDde(Link& link) {
  MSG msg;
  while (link.window && PeekMessageW(&msg, link.window->hwnd(), WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
    DispatchMessageW(&msg);
  }
}

LRESULT DdeFeedLinks::HandleMessage(Link& link, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND sender = reinterpret_cast<HWND>(wparam);
  switch (message) {
    case WM_DDE_ACK:
      // Only the answer to the initiate is sent, and its lParam carries two plain atoms.
      if (link.initiating && InSendMessage()) {
        OnInitiateAck(link, hwnd, sender, lparam);
      } else {
        OnAck(link, sender, lparam);
      }
      return 0;
    case WM_DDE_DATA:
      OnData(link, hwnd, sender, lparam);
      return 0;
    case WM_DDE_TERMINATE:
      OnTerminate(link, hwnd, sender);
      return 0;
    default:
      return 0;
  }
}

void DdeFeedLinks::OnInitiateAck(Link& link, HWND hwnd, HWND sender, LPARAM lparam) {
  // The server made these atoms for us; they are ours to delete.
  const base::UniqueGlobalAtom service(LOWORD(lparam));
  const base::UniqueGlobalAtom topic(HIWORD(lparam));
  if (!link.server) {
    link.server = sender;
  } else if (sender != link.server) {
    // A second server for the same service and topic: end that conversation at once.
    PostMessageW(sender, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
  }
}

void DdeFeedLinks::OnAck(Link& link, HWND sender, LPARAM lparam) {
  UINT_PTR status = 0;
  UINT_PTR item_value = 0;
  UnpackDDElParam(WM_DDE_ACK, lparam, &status, &item_value);
  FreeDDElParam(WM_DDE_ACK, lparam);
  const auto item = static_cast<ATOM>(item_value);
  // A positive acknowledgement answers nothing here. Wine's DDEML server sends one after each
  // answer, carrying its own local atom: deleting that number as a global atom would drop
  // somebody else's atom, our items' included, so it is left alone.
  if (!link.open || sender != link.server || IsPositive(static_cast<WORD>(status))) return;
  // A negative one is the refusal of the oldest request still open: this conversation asks for
  // one item only, so it is ours whatever atom it carries (Wine's DDEML server again).
  if (item == link.item.get()) Release(item);
  if (link.outstanding <= 0) return;
  if (--link.outstanding == 0 && link.waiting) {
    link.answered = true;
    link.answer_ok = false;
    link.refused = true;
  }
}

void DdeFeedLinks::OnData(Link& link, HWND hwnd, HWND sender, LPARAM lparam) {
  UINT_PTR memory_value = 0;
  UINT_PTR item_value = 0;
  UnpackDDElParam(WM_DDE_DATA, lparam, &memory_value, &item_value);
  FreeDDElParam(WM_DDE_DATA, lparam);
  const auto memory = reinterpret_cast<HGLOBAL>(memory_value);
  const auto item = static_cast<ATOM>(item_value);

  bool ack_requested = false;
  bool release = false;
  if (memory) {
    base::GlobalLockGuard<DDEDATA> lock(memory);
    if (lock.get() && lock.size() >= kDdeDataHeader) {
      ack_requested = lock.get()->fAckReq != 0;
      release = lock.get()->fRelease != 0;
    }
  }

  // Answers arrive in the order the requests were posted; only the answer to the newest request
  // is the value asked for, older ones (after a time-out) are passed over.
  const bool ours = link.open && sender == link.server && item == link.item.get();
  if (ours && link.outstanding > 0 && --link.outstanding == 0 && link.waiting) {
    link.answered = true;
    link.answer_ok = memory && ReadCfText(memory, link.answer);
  }

  bool acked = false;
  if (ack_requested && IsWindow(sender)) {
    const LPARAM ack = PackDDElParam(WM_DDE_ACK, 0x8000, item);
    acked = PostMessageW(sender, WM_DDE_ACK, reinterpret_cast<WPARAM>(hwnd), ack) != FALSE;
    if (!acked) FreeDDElParam(WM_DDE_ACK, ack);
  }
  // The atom travels back with the acknowledgement; otherwise it is ours to delete, when it is
  // the item's global atom and not some number of the server's own.
  if (!acked && item && item == link.item.get()) Release(item);
  if (release && memory) GlobalFree(memory);
}

void DdeFeedLinks::OnTerminate(Link& link, HWND hwnd, HWND sender) {
  if (!link.open || sender != link.server) return;
  link.partner_terminated = true;
  if (!link.we_terminated) {
    link.we_terminated = true;
    PostMessageW(sender, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
  }
  if (link.waiting) {
    link.answered = true;
    link.answer_ok = false;
  }
}

}  // namespace zelmor::entry
