// Settings values: whatever "Zelmor.ini" holds, start-up restores the geometry and the template
// from it, the close writes a geometry that the next start reads back unchanged, the template
// window stores the template trimmed, and the crash mark decides whether the safety copy is
// offered back.
//
// Fields: switches (byte 1: which of ELTop, ELLeft, ELWidth, ELHeight, LOGdat, Running are stored,
// one bit each; byte 2: which of them are stored under upper-case section and key names; byte 3:
// the feed link that fails to open, '1'..'5'; byte 4: 'y' answers the recovery question Yes), the
// stored ELTop, ELLeft, ELWidth, ELHeight, LOGdat and Running, the template window's box text and
// the safety copy's text.

#include <cmath>
#include <cstdint>
#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/lifecycle.h"
#include "fuzz_input.h"
#include "fakes.h"
#include "logfiles/log_text.h"
#include "logfiles/safety_copy.h"
#include "memory_profile_store.h"
#include "entry/log_format.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "settings/window_geometry.h"
#include "template_window/template_editor.h"
#include "upload_fakes.h"
#include "window/placement.h"

namespace zelmor::fuzz {
namespace {

class RecordingView : public app::MainView {
 public:
  void HideEditModeMenus() override { calls += "hide "; }
  void SetCaption(const std::wstring& text) override {
    calls += "caption ";
    caption = text;
  }
  window::TwipsRect Placement() override { return {geometry[1], geometry[0], geometry[2], geometry[3]}; }
  void Place(const window::TwipsRect& placement) override {
    calls += "place ";
    geometry[0] = placement.top;
    geometry[1] = placement.left;
    geometry[2] = placement.width;
    geometry[3] = placement.height;
  }
  void Show() override { calls += "show "; }
  void FocusEntryBox() override { calls += "focus "; }
  void EndEditModeWatch() override { calls += "end-watch "; }
  void CloseTemplateWindow() override { calls += "close-template "; }

  std::string calls;
  std::wstring caption;
  // Top, left, width, height: the window's own before start-up applies anything.
  float geometry[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
};

class ScriptedLinks : public entry::FeedLinks {
 public:
  explicit ScriptedLinks(int failing) : failing_(failing) {}
  bool Open(int label, const std::wstring&, const std::wstring&, const std::wstring&) override {
    calls += "open" + std::to_string(label + 1) + " ";
    return label != failing_;
  }
  bool Request(int, std::wstring&) override { return false; }
  void Close(int label) override { calls += "close" + std::to_string(label + 1) + " "; }

  std::string calls;

 private:
  int failing_;
};

std::wstring Upper(const std::wstring& name) {
  std::wstring out = name;
  for (auto& c : out) c = static_cast<wchar_t>(std::towupper(c));
  return out;
}

struct Key {
  const wchar_t* section;
  const wchar_t* key;
};
const Key kKeys[] = {
    {settings::kPositionSection, settings::kTopKey},   {settings::kPositionSection, settings::kLeftKey},
    {settings::kPositionSection, settings::kWidthKey}, {settings::kPositionSection, settings::kHeightKey},
    {settings::kMainSection, settings::kTemplateKey},  {settings::kMainSection, settings::kRunningKey},
};
const float kDefaults[4] = {settings::kDefaultWindowPlacement.top, settings::kDefaultWindowPlacement.left,
                            settings::kDefaultWindowPlacement.width, settings::kDefaultWindowPlacement.height};

struct StartResult {
  std::string view_calls, feed_calls;
  float geometry[4];
  std::wstring template_text;
  int boxes = 0;
};

StartResult Start(settings::MemoryProfileStore& store, int failing_link) {
  settings::Profile profile(store);
  MainState state;
  state.log_unsaved = true;
  state.edit_mode = true;
  RecordingView view;
  ScriptedLinks links(failing_link);
  entry::Feed feed(links);
  fakes::FakeMessages boxes;
  fakes::FakePane pane;
  fakes::FakeFiles files;
  fakes::FixedClock clock;
  logfiles::SafetyCopy safety_copy(files, profile, clock, L"C:\\Z");
  const fakes::FakeTqsl no_upload;
  app::Lifecycle controller(
      {state, profile, view, feed, pane, boxes, safety_copy, files, no_upload, L"C:\\Z\\Zelmor.ini"});
  controller.Start(app::Version{1, 0, 0});
  FUZZ_CHECK(!state.log_unsaved && !state.edit_mode, "start-up left a flag set");
  FUZZ_CHECK(view.caption.size() >= 4 && view.caption.compare(view.caption.size() - 4, 4, L"1.00") == 0,
             "caption " + Show(view.caption));
  StartResult result{{}, {}, {}, state.template_text, static_cast<int>(boxes.shown.size())};
  for (int i = 0; i < 4; ++i) result.geometry[i] = view.geometry[i];

  // The close writes the geometry as the window holds it.
  controller.Close();
  result.view_calls = view.calls;
  result.feed_calls = links.calls;
  return result;
}

void CheckStartUp(const Input& in) {
  const std::string_view switches = in.Bytes(0);
  auto bit = [&](size_t byte, int index) {
    return byte < switches.size() && ((static_cast<unsigned char>(switches[byte]) >> index) & 1) != 0;
  };
  const unsigned char failing_byte = switches.size() > 2 ? static_cast<unsigned char>(switches[2]) : '0';
  const int failing_link = failing_byte >= '1' && failing_byte <= '5' ? failing_byte - '1' : -1;
  const bool answer_yes = switches.size() > 3 && switches[3] == 'y';

  settings::MemoryProfileStore store;
  std::optional<std::wstring> stored[6];
  for (int i = 0; i < 6; ++i) {
    if (!bit(0, i)) continue;
    stored[i] = in.Text(static_cast<size_t>(1 + i));
    const bool upper = bit(1, i);
    store.Put(upper ? Upper(kKeys[i].section) : kKeys[i].section, upper ? Upper(kKeys[i].key) : kKeys[i].key,
              *stored[i]);
  }

  const StartResult first = Start(store, failing_link);
  FUZZ_CHECK(first.view_calls ==
                 "hide caption place show focus end-watch close-template ",
             "window steps: " + first.view_calls);
  FUZZ_CHECK(first.boxes == 0, "start-up showed a message");

  // Each geometry key: missing, or holding the section's own name, gives the default; a value
  // that reads as a whole number of twips is applied; any other value counts as missing.
  for (int i = 0; i < 4; ++i) {
    float expected = kDefaults[i];
    if (stored[i] && *stored[i] != settings::kPositionSection) {
      if (const auto twips = settings::ParseTwips(*stored[i])) expected = static_cast<float>(*twips);
    }
    FUZZ_CHECK(first.geometry[i] == expected,
               "key " + Show(kKeys[i].key) + " holding " + (stored[i] ? Show(*stored[i]) : std::string("nothing")) +
                   " applied as " + std::to_string(first.geometry[i]));
  }

  // The template: missing or "Zelmor" gives the default; anything else, empty included, as stored.
  const std::wstring expected_template =
      stored[4] && *stored[4] != settings::kMainSection ? *stored[4] : std::wstring(entry::kDefaultTemplate);
  FUZZ_CHECK(first.template_text == expected_template, "template " + Show(first.template_text));

  // The feed links open in order; one that fails closes all five.
  std::string links;
  for (int label = 0; label < 5; ++label) {
    links += "open" + std::to_string(label + 1) + " ";
    if (label == failing_link) {
      links += "close1 close2 close3 close4 close5 ";
      break;
    }
  }
  links += "close1 close2 close3 close4 close5 ";  // the unload
  FUZZ_CHECK(first.feed_calls == links, "feed steps: " + first.feed_calls);

  // The geometry written at the close reads back unchanged at the next start, as long as the
  // window's numbers fit the 32-bit whole numbers that start-up reads.
  const StartResult second = Start(store, -1);
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(first.geometry[i]) >= 2147483648.0f) continue;
    FUZZ_CHECK(second.geometry[i] == first.geometry[i],
               "key " + Show(kKeys[i].key) + ": " + std::to_string(first.geometry[i]) + " written as " +
                   Show(store.Get(kKeys[i].section, kKeys[i].key, L"(missing)")) + " came back as " +
                   std::to_string(second.geometry[i]));
  }
  FUZZ_CHECK(second.template_text == first.template_text, "the close changed the template");

  // The template window: every change drives the template, trimmed of spaces only; every close
  // stores it trimmed, and the next start reads that back.
  const std::wstring box = in.Text(7, L"  #DT #TMJ #MM ");
  settings::Profile profile(store);
  MainState state;
  template_window::TemplateEditor editor(state, profile);
  editor.OnTextChanged(box);
  const std::wstring& trimmed = state.template_text;
  const size_t lead = box.find_first_not_of(L' ');
  FUZZ_CHECK(trimmed.empty() ? lead == std::wstring::npos
                             : box.compare(lead, trimmed.size(), trimmed) == 0 && trimmed.front() != L' ' &&
                                   trimmed.back() != L' ' &&
                                   box.find_first_not_of(L' ', lead + trimmed.size()) == std::wstring::npos,
             "box " + Show(box) + " trimmed to " + Show(trimmed));
  editor.OnClose(box);
  FUZZ_CHECK(store.Get(settings::kMainSection, settings::kTemplateKey, L"(missing)") == trimmed,
             "the close did not store the trimmed template");
  const StartResult third = Start(store, -1);
  FUZZ_CHECK(third.template_text == (trimmed == settings::kMainSection ? entry::kDefaultTemplate : trimmed),
             "stored template " + Show(trimmed) + " read back as " + Show(third.template_text));

  // The crash mark: only "1" means the last run did not close; then a safety copy with text is
  // offered, and either loaded (unsaved) or kept aside. This run is marked running either way.
  // Start-up and close above rewrote the mark; the recovery starts from the stored one.
  settings::MemoryProfileStore marks;
  if (stored[5]) {
    marks.Put(bit(1, 5) ? Upper(kKeys[5].section) : kKeys[5].section, bit(1, 5) ? Upper(kKeys[5].key) : kKeys[5].key,
              *stored[5]);
  }
  settings::Profile marks_profile(marks);
  fakes::FakeFiles files;
  const std::wstring copy = in.Text(8, L"L1\r\nL2\r\n\r\n");
  files.disk[L"C:\\Z\\Zelmor_temp.txt"] = copy;
  fakes::FakePane pane;
  fakes::FakeMessages boxes;
  boxes.answer = answer_yes ? MessageAnswer::Yes : MessageAnswer::No;
  fakes::FixedClock clock;
  MainState recovered;
  logfiles::SafetyCopy safety_copy(files, marks_profile, clock, L"C:\\Z");
  safety_copy.OfferEarlierCopy(boxes, pane, recovered);
  const bool offered = stored[5] && *stored[5] == L"1" && !copy.empty();
  FUZZ_CHECK(boxes.shown.size() == (offered ? 1u : 0u),
             "recovery question shown " + std::to_string(boxes.shown.size()) + " times");
  FUZZ_CHECK(pane.text == (offered && answer_yes ? logfiles::PaneTextFromFile(copy) : std::wstring()),
             "recovered pane " + Show(pane.text));
  FUZZ_CHECK(recovered.log_unsaved == (offered && answer_yes), "recovered log not marked unsaved");
  FUZZ_CHECK(files.disk.count(L"C:\\Z\\Zelmor_temp.bak") == (offered && !answer_yes ? 1u : 0u),
             "safety copy not kept aside");
  FUZZ_CHECK(marks.Get(settings::kMainSection, settings::kRunningKey, L"") == L"1", "this run is not marked running");
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelmor::fuzz::CheckStartUp(zelmor::fuzz::Input(data, size));
  return 0;
}
