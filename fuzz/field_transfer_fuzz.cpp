// The transfer to the logging program: the field-code rule, the text each field receives, the
// trimming of the clipboard text and the WM_COPYDATA record's layout.
//
// Fields: the field code as decimal text (any 32-bit value; beyond it wraps), the clipboard text,
// and a switch byte ('m': the logging program is not running).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry/log_line.h"
#include "fuzz_input.h"
#include "base/text.h"
#include "transfer/field_transfer.h"
#include "transfer/logging_link.h"

namespace zelmor::fuzz {
namespace {

class RecordingProgram : public transfer::LoggingProgram {
 public:
  explicit RecordingProgram(bool running) : running_(running) {}
  int32_t FindLoggingProgram() override {
    ++lookups;
    return running_ ? transfer::kLoggingProgramFound : transfer::kLoggingProgramMissing;
  }
  bool Send(uint32_t dwData, const std::wstring& text) override {
    FUZZ_CHECK(lookups == 1, "sent without a lookup right before");
    sent.push_back({dwData, text});
    return true;
  }
  int lookups = 0;
  struct Sent {
    uint32_t dwData;
    std::wstring text;
  };
  std::vector<Sent> sent;

 private:
  bool running_;
};

class RecordingBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title, MessageButtons buttons,
                     MessageIcon icon) override {
    FUZZ_CHECK(!text.empty() && title.has_value() && buttons == MessageButtons::Ok && icon == MessageIcon::Stop,
               "the not-running message is not an error box with a title and OK");
    ++shown;
    return MessageAnswer::Ok;
  }
  int shown = 0;
};

// The codes that go out with the bit 0x20000, straight from the table of fields.
bool Flagged(int32_t code) {
  for (int32_t flagged : {1, 2, 3, 6, 7, 8, 13, 14}) {
    if (code == flagged) return true;
  }
  return false;
}

void CheckTrim(const std::wstring& text) {
  const std::wstring trimmed = TrimSpaces(text);
  FUZZ_CHECK(TrimSpaces(trimmed) == trimmed, "trimming twice changes " + Show(text));
  if (trimmed.empty()) {
    FUZZ_CHECK(text.find_first_not_of(L' ') == std::wstring::npos, Show(text) + " trimmed to nothing");
    return;
  }
  const size_t lead = text.find_first_not_of(L' ');
  FUZZ_CHECK(trimmed.front() != L' ' && trimmed.back() != L' ' && text.compare(lead, trimmed.size(), trimmed) == 0 &&
                 text.find_first_not_of(L' ', lead + trimmed.size()) == std::wstring::npos,
             Show(text) + " trimmed to " + Show(trimmed));
}

void CheckField(int32_t code, const std::wstring& clipboard, bool running) {
  const uint32_t wire = transfer::WireFieldCode(code);
  const uint32_t expected_wire = static_cast<uint32_t>(code) | (Flagged(code) ? transfer::kFieldCodeFlag : 0u);
  FUZZ_CHECK(wire == expected_wire, "code " + std::to_string(code) + " goes out as " + std::to_string(wire));

  // Code 2 receives the last 8 characters, every other code the whole text.
  const std::wstring field = transfer::FieldText(code, clipboard);
  if (code == 2 && clipboard.size() > 8) {
    FUZZ_CHECK(field.size() == 8 && clipboard.compare(clipboard.size() - 8, 8, field) == 0,
               "date field of " + Show(clipboard) + " is " + Show(field));
  } else {
    FUZZ_CHECK(field == clipboard, "field " + std::to_string(code) + " of " + Show(clipboard) + " is " + Show(field));
  }

  // A menu item: one lookup first; not running, one message and nothing sent; running, the
  // trimmed text sent once unless it is empty.
  RecordingProgram program(running);
  RecordingBoxes boxes;
  transfer::SendClipboardTextToField(code, clipboard, program, boxes);
  const std::wstring trimmed = TrimSpaces(clipboard);
  FUZZ_CHECK(program.lookups == 1, "looked up " + std::to_string(program.lookups) + " times");
  FUZZ_CHECK(boxes.shown == (running ? 0 : 1), "message shown " + std::to_string(boxes.shown) + " times");
  if (!running || trimmed.empty()) {
    FUZZ_CHECK(program.sent.empty(), "something was sent");
  } else {
    FUZZ_CHECK(program.sent.size() == 1 && program.sent[0].dwData == wire &&
                   program.sent[0].text == transfer::FieldText(code, trimmed),
               "sent other than the trimmed field text for " + Show(clipboard));
  }
}

// The record: dwData as given, cbData the text's bytes without the NUL, and the bytes followed
// by exactly one NUL.
void CheckRecord(uint32_t dwData, std::string_view ansi) {
  const transfer::WireRecord record = transfer::BuildWireRecord(dwData, ansi);
  FUZZ_CHECK(record.dwData == dwData, "dwData changed");
  FUZZ_CHECK(record.cbData == ansi.size(), "cbData " + std::to_string(record.cbData) + " for " +
                                                 std::to_string(ansi.size()) + " bytes");
  FUZZ_CHECK(record.bytes.size() == ansi.size() + 1 && record.bytes.back() == '\0' &&
                 std::string_view(record.bytes).substr(0, ansi.size()) == ansi,
             "the record's bytes are not the text and one NUL");
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const Input in(data, size);
  const auto code = static_cast<int32_t>(TimeFrom(in.Text(0), zelmor::LocalTime{1}).year);
  const std::wstring clipboard = in.Text(1);
  const bool running = in.Byte(2) != 'm';
  CheckTrim(clipboard);
  CheckField(code, clipboard, running);
  CheckRecord(zelmor::transfer::WireFieldCode(code), in.Bytes(1));
  return 0;
}
