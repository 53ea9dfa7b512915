#include "transfer/logging_link.h"

#include <gtest/gtest.h>

#include "memory_profile_store.h"

#include <string>
#include <vector>

namespace zelmor::transfer {
namespace {

class FakeLoggingProgram : public LoggingProgram {
 public:
  struct Sent {
    uint32_t dwData;
    std::wstring text;
  };
  explicit FakeLoggingProgram(bool running) : running_(running) {}
  int32_t FindLoggingProgram() override {
    ++lookups;
    return running_ ? kLoggingProgramFound : kLoggingProgramMissing;
  }
  bool Send(uint32_t dwData, const std::wstring& text) override {
    sent.push_back({dwData, text});
    return !hung;
  }
  bool hung = false;

  int lookups = 0;
  std::vector<Sent> sent;

 private:
  bool running_;
};

class RecordingBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::wstring text;
    std::optional<std::wstring> title;
    MessageButtons buttons;
    MessageIcon icon;
  };
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                     MessageButtons buttons, MessageIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return MessageAnswer::Ok;
  }
  std::vector<Shown> shown;
};

void ExpectNotRunningMessage(const RecordingBoxes& boxes) {
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"Turbo HAMLOG/Winが起動していません。");
  EXPECT_EQ(boxes.shown[0].title, std::optional<std::wstring>(L"Zelmor"));
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Stop);
}

TEST(SendFieldToLoggingProgramTest, RunningProgramGetsTheFieldAfterTheCodeRule) {
  struct Row {
    FieldCode code;
    std::wstring text;
    uint32_t dwData;
    std::wstring sent;
    const char* why;
  };
  const Row rows[] = {
      {1, L"ABC123", 0x20001, L"ABC123", "call sign with the flag"},
      {2, L"2024/01/02", 0x20002, L"24/01/02", "date cut to its tail"},
      {2, L"01/02", 0x20002, L"01/02", "short date whole"},
      {4, L"599", 4, L"599", "HisRST bare"},
      {11, L"山田", 11, L"山田", "NAME bare"},
      {15, L"x", 15, L"x", "out-of-range code unchanged"},
      {1, L" ", 0x20001, L" ", "a lone space is a text (the menu trims before)"},
  };
  for (const auto& row : rows) {
    FakeLoggingProgram program(true);
    RecordingBoxes boxes;
    SendFieldToLoggingProgram(row.code, row.text, program, boxes);
    EXPECT_EQ(program.lookups, 1) << row.why;
    ASSERT_EQ(program.sent.size(), 1u) << row.why;
    EXPECT_EQ(program.sent[0].dwData, row.dwData) << row.why;
    EXPECT_EQ(program.sent[0].text, row.sent) << row.why;
    EXPECT_TRUE(boxes.shown.empty()) << row.why;
  }
}

TEST(SendFieldToLoggingProgramTest, EmptyTextWithProgramRunningDoesNothing) {
  FakeLoggingProgram program(true);
  RecordingBoxes boxes;
  SendFieldToLoggingProgram(1, L"", program, boxes);
  EXPECT_EQ(program.lookups, 1) << "the lookup still comes first";
  EXPECT_TRUE(program.sent.empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(SendFieldToLoggingProgramTest, MissingProgramIsReportedAndNothingSent) {
  for (const std::wstring text : {L"ABC123", L""}) {
    FakeLoggingProgram program(false);
    RecordingBoxes boxes;
    SendFieldToLoggingProgram(1, text, program, boxes);
    EXPECT_EQ(program.lookups, 1);
    EXPECT_TRUE(program.sent.empty());
    ExpectNotRunningMessage(boxes);
  }
}

TEST(SendClipboardTextToFieldTest, SendsTheClipboardTextWithoutItsSurroundingSpaces) {
  FakeLoggingProgram program(true);
  RecordingBoxes boxes;
  SendClipboardTextToField(1, L"  ABC123\r\n  ", program, boxes);
  SendClipboardTextToField(1, L"   ", program, boxes);  // nothing left to send
  ASSERT_EQ(program.sent.size(), 1u);
  EXPECT_EQ(program.sent[0].text, L"ABC123\r\n");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(SendFieldsToLoggingProgramTest, OneLookupForTheWholeContactAndNothingAfterAFieldThatWasNotHandled) {
  const std::vector<PlannedField> fields = {{1, L"JA1ABC"}, {2, L"26/12/07"}, {4, L"59"}, {14, L"PM95 tnx"}};
  {
    FakeLoggingProgram program(true);
    RecordingBoxes boxes;
    SendFieldsToLoggingProgram(fields, program, boxes);
    EXPECT_EQ(program.lookups, 1);
    ASSERT_EQ(program.sent.size(), 4u);
    EXPECT_EQ(program.sent[0].dwData, 0x20001u);
    EXPECT_EQ(program.sent[1].dwData, 0x20002u);
    EXPECT_EQ(program.sent[2].dwData, 4u);
    EXPECT_EQ(program.sent[3].text, L"PM95 tnx");
    EXPECT_TRUE(boxes.shown.empty());
  }
  {
    FakeLoggingProgram program(false);
    RecordingBoxes boxes;
    SendFieldsToLoggingProgram(fields, program, boxes);
    EXPECT_TRUE(program.sent.empty());
    ExpectNotRunningMessage(boxes);  // once, not once per field
  }
  {
    // A hung program costs the one send that timed out, not one per field.
    FakeLoggingProgram program(true);
    program.hung = true;
    RecordingBoxes boxes;
    SendFieldsToLoggingProgram(fields, program, boxes);
    EXPECT_EQ(program.sent.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
  }
}

TEST(ReadFieldMappingTest, KeysOfTheSettingsReplaceTheirDefaultsOnly) {
  settings::MemoryProfileStore store;
  settings::Profile profile(store);
  store.Put(L"HLfields", L"REM1", L"#SN #RV");
  store.Put(L"HLfields", L"REM2", L"");
  store.Put(L"HLfields", L"MODE", L"HLfields");  // a new section: its own name is text like any other
  const FieldMapping mapping = ReadFieldMapping(profile);
  FieldMapping expected = DefaultFieldMapping();
  expected.values[6] = L"HLfields";
  expected.values[7] = L"#SN #RV";
  expected.values[8] = L"";
  EXPECT_EQ(mapping.values, expected.values);
}

}  // namespace
}  // namespace zelmor::transfer
