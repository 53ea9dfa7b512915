// The simulator's two DDE servers: one on the raw window messages, one built with DDEML.

#include "tracker_sim.h"

#include <exception>
#include <utility>

#include "base/handles_win.h"

namespace tracker_sim {
namespace {

using zelmor::base::UniqueGlobalAtom;

constexpr wchar_t kConversationClass[] = L"TrackerSimConversation";
constexpr UINT kAckTimeoutMs = 2000;

bool SameName(ATOM atom, const wchar_t* name) {
  if (!atom) return true;  // a wildcard in an initiate
  wchar_t text[256] = {};
  return GlobalGetAtomNameW(atom, text, 256) > 0 && _wcsicmp(text, name) == 0;
}

std::wstring AtomName(ATOM atom) {
  wchar_t text[256] = {};
  return GlobalGetAtomNameW(atom, text, 256) > 0 ? std::wstring(text) : std::wstring();
}

// The item's atom goes back with the refusal; when the refusal cannot be posted it is ours to delete.
void PostNegativeAck(HWND to, HWND from, UniqueGlobalAtom item) {
  const LPARAM ack = PackDDElParam(WM_DDE_ACK, 0, item.get());
  if (PostMessageW(to, WM_DDE_ACK, reinterpret_cast<WPARAM>(from), ack)) {
    item.release();
  } else {
    FreeDDElParam(WM_DDE_ACK, ack);
  }
}

// The item atom of a message the server takes no further: deleted as it goes.
void DropItem(UINT message, LPARAM lparam) {
  UINT_PTR low = 0;
  UINT_PTR high = 0;
  UnpackDDElParam(message, lparam, &low, &high);
  FreeDDElParam(message, lparam);
  UniqueGlobalAtom dropped(static_cast<ATOM>(high));
}

DdemlServer* g_ddeml_server = nullptr;  // DDEML's callback carries no context of its own

}  // namespace

// One conversation's window. It lives exactly as long as its window: whoever destroys the window
// (a terminate from either side, or the server closing) ends the object with it.
class RawServer::Conversation : public zelmor::window::Window {
 public:
  explicit Conversation(RawServer& server) : server_(server) {}
  HWND Create() {
    return CreateOwnedWindow(0, kConversationClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr));
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message < WM_DDE_FIRST || message > WM_DDE_LAST) return Default(message, wparam, lparam);
    return server_.OnConversationMessage(hwnd(), message, wparam, lparam);
  }
  void OnWindowGone() override { delete this; }

 private:
  RawServer& server_;
};

RawServer::RawServer(Tracker& tracker, HWND main_window) : tracker_(tracker), main_window_(main_window) {
  WNDCLASSEXW wc{};
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kConversationClass;
  zelmor::window::RegisterWindowClass(wc);
}

RawServer::~RawServer() { TerminateAll(); }

void RawServer::OnInitiate(HWND client, LPARAM lparam) {
  const ProgramNames& names = NamesOf(tracker_.options().program);
  if (client == main_window_ || !SameName(LOWORD(lparam), names.service) || !SameName(HIWORD(lparam), names.topic)) {
    return;
  }
  auto* owner = new Conversation(*this);
  HWND conversation = owner->Create();
  if (!conversation) {
    delete owner;
    return;
  }
  conversations_[conversation] = client;
  // The answer to an initiate carries new atoms, which the client deletes.
  UniqueGlobalAtom service(GlobalAddAtomW(names.service));
  UniqueGlobalAtom topic(GlobalAddAtomW(names.topic));
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(conversation),
                          MAKELPARAM(service.get(), topic.get()), SMTO_ABORTIFHUNG | SMTO_NORMAL, kAckTimeoutMs,
                          &ignored)) {
    service.release();
    topic.release();
  } else {
    conversations_.erase(conversation);
    DestroyWindow(conversation);
  }
}

void RawServer::TerminateAll() {
  const auto conversations = conversations_;
  conversations_.clear();
  for (const auto& [ours, client] : conversations) {
    PostMessageW(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(ours), 0);
    DestroyWindow(ours);
  }
}

LRESULT RawServer::OnConversationMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto found = conversations_.find(hwnd);
  const HWND sender = reinterpret_cast<HWND>(wparam);
  const bool from_client = found != conversations_.end() && found->second == sender;
  switch (message) {
    case WM_DDE_REQUEST:
      if (from_client) {
        OnRequest(hwnd, sender, lparam);
      } else {
        DropItem(message, lparam);
      }
      return 0;
    case WM_DDE_ACK:  // the client's acknowledgement of our data
      DropItem(message, lparam);
      return 0;
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_POKE:
      // Only cold links are served: refuse, and the sender keeps its data.
      if (from_client) {
        UINT_PTR low = 0;
        UINT_PTR high = 0;
        UnpackDDElParam(message, lparam, &low, &high);
        FreeDDElParam(message, lparam);
        PostNegativeAck(sender, hwnd, UniqueGlobalAtom(static_cast<ATOM>(high)));
      } else {
        DropItem(message, lparam);
      }
      return 0;
    case WM_DDE_TERMINATE:
      if (from_client) {
        PostMessageW(sender, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd), 0);
        conversations_.erase(found);
        DestroyWindow(hwnd);
      }
      return 0;
    default:
      return 0;
  }
}

void RawServer::OnRequest(HWND conversation, HWND client, LPARAM lparam) {
  UINT_PTR format = 0;
  UINT_PTR item_value = 0;
  UnpackDDElParam(WM_DDE_REQUEST, lparam, &format, &item_value);
  FreeDDElParam(WM_DDE_REQUEST, lparam);
  UniqueGlobalAtom item(static_cast<ATOM>(item_value));

  tracker_.HangIfAsked();
  std::string text;
  if (format != CF_TEXT || !tracker_.Answer(AtomName(item.get()), text)) {
    PostNegativeAck(client, conversation, std::move(item));
    return;
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, sizeof(DDEDATA) + text.size());
  auto* data = memory ? static_cast<DDEDATA*>(GlobalLock(memory)) : nullptr;
  if (!data) {
    if (memory) GlobalFree(memory);
    PostNegativeAck(client, conversation, std::move(item));
    return;
  }
  data->fResponse = 1;
  data->fRelease = 1;
  data->fAckReq = tracker_.options().ack_request ? 1 : 0;
  data->cfFormat = CF_TEXT;
  CopyMemory(data->Value, text.data(), text.size());
  GlobalUnlock(memory);
  // The item's atom goes back with the data; the client deletes it.
  const LPARAM message = PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(memory), item.get());
  if (PostMessageW(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(conversation), message)) {
    item.release();
  } else {
    FreeDDElParam(WM_DDE_DATA, message);
    GlobalFree(memory);
  }
}

DdemlServer::DdemlServer(Tracker& tracker) : tracker_(tracker) {
  g_ddeml_server = this;
  const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_EXECUTES |
                      CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS;
  if (const UINT failed = DdeInitializeW(&instance_, &DdemlServer::Callback, flags, 0); failed != DMLERR_NO_ERROR) {
    ReportFailure("DdeInitialize (a DMLERR_ code)", failed);
    return;
  }
  const ProgramNames& names = NamesOf(tracker.options().program);
  topic_ = DdeCreateStringHandleW(instance_, names.topic, CP_WINUNICODE);
  HSZ service = DdeCreateStringHandleW(instance_, names.service, CP_WINUNICODE);
  if (service && DdeNameService(instance_, service, nullptr, DNS_REGISTER)) {
    service_ = service;
    return;
  }
  ReportFailure(service ? "DdeNameService (a DMLERR_ code)" : "DdeCreateStringHandle (a DMLERR_ code)",
                DdeGetLastError(instance_));
  if (service) DdeFreeStringHandle(instance_, service);
}

DdemlServer::~DdemlServer() {
  if (instance_) {
    if (service_) {
      DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
      DdeFreeStringHandle(instance_, service_);
    }
    if (topic_) DdeFreeStringHandle(instance_, topic_);
    DdeUninitialize(instance_);
  }
  g_ddeml_server = nullptr;
}

HDDEDATA CALLBACK DdemlServer::Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA,
                                        ULONG_PTR, ULONG_PTR) {
  DdemlServer* server = g_ddeml_server;
  if (!server) return nullptr;
  try {
    switch (type) {
      case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(
            static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, server->topic_) == 0));
      case XTYP_REQUEST: {
        server->tracker_.HangIfAsked();
        wchar_t name[256] = {};
        DdeQueryStringW(server->instance_, item, name, 256, CP_WINUNICODE);
        std::string text;
        if (format != CF_TEXT || !server->tracker_.Answer(name, text)) return nullptr;
        return DdeCreateDataHandle(server->instance_, reinterpret_cast<BYTE*>(text.data()),
                                   static_cast<DWORD>(text.size()), 0, item, CF_TEXT, 0);
      }
      default:
        return nullptr;
    }
  } catch (const std::exception& failure) {
    // DDEML's callback must not unwind; the client sees a refused request, the log says why.
    OutputDebugStringA(failure.what());
    return nullptr;
  }
}

}  // namespace tracker_sim
