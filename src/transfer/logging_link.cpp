#include "transfer/logging_link.h"

#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"

namespace zelmor::transfer {

void SendFieldToLoggingProgram(FieldCode code, const std::wstring& text, LoggingProgram& program,
                               MessageBoxes& boxes) {
  // The lookup comes first, even for an empty text: a missing logging program is always reported.
  const int32_t status = program.FindLoggingProgram();
  if (status != kLoggingProgramFound) {
    boxes.Show(LoadText(IDS_HAMLOG_NOT_RUNNING), LoadText(IDS_APP_TITLE), MessageButtons::Ok, MessageIcon::Stop);
    return;
  }
  if (text.empty()) return;
  program.Send(WireFieldCode(code), FieldText(code, text));
}

void SendFieldsToLoggingProgram(const std::vector<PlannedField>& fields, LoggingProgram& program,
                                MessageBoxes& boxes) {
  if (program.FindLoggingProgram() != kLoggingProgramFound) {
    boxes.Show(LoadText(IDS_HAMLOG_NOT_RUNNING), LoadText(IDS_APP_TITLE), MessageButtons::Ok, MessageIcon::Stop);
    return;
  }
  for (const PlannedField& field : fields) {
    if (field.text.empty()) continue;
    if (!program.Send(WireFieldCode(field.code), FieldText(field.code, field.text))) return;
  }
}

void SendClipboardTextToField(FieldCode code, const std::wstring& clipboard_text,
                              LoggingProgram& program, MessageBoxes& boxes) {
  SendFieldToLoggingProgram(code, TrimSpaces(clipboard_text), program, boxes);
}

}  // namespace zelmor::transfer
