#pragma once
// The link to the logging program Turbo HAMLOG/Win: look its window up and send it one field.
// No connection is held; every send looks the window up again, so the logging program may be
// started or restarted at any time.

#include <cstdint>
#include <string>
#include <vector>

#include "base/message_boxes.h"
#include "transfer/field_transfer.h"
#include "transfer/whole_line.h"

namespace zelmor::transfer {

// Results of FindLoggingProgram; no other value ever comes back.
inline constexpr int32_t kLoggingProgramFound = 5;
inline constexpr int32_t kLoggingProgramMissing = 0;

class LoggingProgram {
 public:
  virtual ~LoggingProgram() = default;
  // Looks the logging program's window up and keeps it for the next Send: kLoggingProgramFound
  // or kLoggingProgramMissing.
  virtual int32_t FindLoggingProgram() = 0;
  // Sends `text` as one field with `dwData` to the window of the last lookup and waits for it to be
  // handled (or given up on). False when it was not handled: the program hung or went away. What
  // the logging program answers is not looked at.
  virtual bool Send(uint32_t dwData, const std::wstring& text) = 0;
};

// Looks the logging program up and sends it `text` tagged with `code` (after the field-code rule).
// When the logging program is not running the operator is told so, also for an empty text; an
// empty text with the logging program running does nothing.
void SendFieldToLoggingProgram(FieldCode code, const std::wstring& text, LoggingProgram& program,
                               MessageBoxes& boxes);

// The fields of one whole contact, in order, after one lookup: a logging program that is not
// running is reported once and gets nothing; one that stops handling a field (hung or gone) gets
// none of the fields after it, so that a hung program costs one send time-out, not one per field.
void SendFieldsToLoggingProgram(const std::vector<PlannedField>& fields, LoggingProgram& program,
                                MessageBoxes& boxes);

// A transfer-menu item was chosen: the clipboard's text, as read now, goes to the item's field with
// its surrounding spaces removed.
void SendClipboardTextToField(FieldCode code, const std::wstring& clipboard_text,
                              LoggingProgram& program, MessageBoxes& boxes);

}  // namespace zelmor::transfer
