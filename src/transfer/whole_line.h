#pragma once
// Sending one whole log line to the logging program: which value goes into which field, in which
// order. The sending itself is the field link's (one field after the other, each with its code).
//
// The mapping lives in "Zelmor.ini", section "HLfields" (settings::kFieldsSection), one key per
// field of the logging program:
//
//   [HLfields]
//   CALL=#CS          the call sign (the memo's first word, when it has a call sign's shape)
//   DATE=#DT          the date as yy/MM/dd, whatever the short-date picture of the line
//   TIME=#TM#ZN       hh:mm and the zone letter that follows the time in the line ("J")
//   HisRST=#RS        the report sent (the memo word after the call sign)
//   MyRST=#RR         the report received (the word after that)
//   FREQ=#LF          the LOG frequency "145/435", formed from the uplink and downlink when the
//                     line has none
//   MODE=#MD          the mode as logged
//   REM1=#SN          the satellite name
//   REM2=#RM          the remaining memo words, the grid included
//
// A value is text with tokens in it, as in the log-line template: "#SN #RV" sends the satellite
// name, a space and the Rev. The tokens are the template's nine, with the values read back from the
// line ("#DT" and "#TM" in the forms above, "#MM" the whole memo, "#TX" and "#RX" the frequencies as
// written), and six of the memo and the line: "#CS" call sign, "#RS" report sent, "#RR" report
// received, "#GL" grid locator, "#RM" remarks with the grid, "#ZN" zone letter. Anything else in the
// value is sent as it stands. A key that is missing keeps the field's default above; a key that is
// present but empty sends nothing to that field. A field whose text comes out empty (or only
// spaces) is not sent.
//
// The fields always go in the order of the keys above: the logging program starts a new entry
// from a call sign.

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <optional>
#include <vector>

#include "base/clock.h"
#include "base/main_state.h"
#include "contact/contact.h"
#include "entry/locale.h"
#include "settings/profile.h"
#include "transfer/field_transfer.h"

namespace zelmor::transfer {

struct WholeLineField {
  const wchar_t* key;          // the key in section "HLfields"
  transfer::FieldCode code;    // the logging program's field
  const wchar_t* default_value;
};

inline constexpr size_t kWholeLineFieldCount = 9;

// The fields in sending order.
inline constexpr std::array<WholeLineField, kWholeLineFieldCount> kWholeLineFields = {{
    {L"CALL", 1, L"#CS"},
    {L"DATE", 2, L"#DT"},
    {L"TIME", 3, L"#TM#ZN"},
    {L"HisRST", 4, L"#RS"},
    {L"MyRST", 5, L"#RR"},
    {L"FREQ", 6, L"#LF"},
    {L"MODE", 7, L"#MD"},
    {L"REM1", 13, L"#SN"},
    {L"REM2", 14, L"#RM"},
}};

// The value text of each field, in the order of kWholeLineFields.
struct FieldMapping {
  std::array<std::wstring, kWholeLineFieldCount> values;
};

FieldMapping DefaultFieldMapping();

// The mapping from the keys present in section "HLfields" (key, value); keys are matched without
// regard to case, unknown keys are ignored, a later key of the same name wins.
FieldMapping ParseFieldMapping(const std::vector<std::pair<std::wstring, std::wstring>>& entries);

struct PlannedField {
  transfer::FieldCode code;
  std::wstring text;

  bool operator==(const PlannedField& o) const { return code == o.code && text == o.text; }
};

// The mapping as section "HLfields" of the settings holds it; a key that is not there keeps its
// default.
FieldMapping ReadFieldMapping(settings::Profile& profile);

// What the whole-contact item sends for a clipboard text: the fields of its first readable line,
// or nothing when no line of it reads as a log line. `now` is the local clock's reading, for
// dates written without their year.
std::optional<std::vector<PlannedField>> PlanClipboardContact(const std::wstring& clipboard_text,
                                                               const std::wstring& template_text,
                                                               const contact::LineFormats& formats,
                                                               const LocalTime& now, const FieldMapping& mapping);

// What the whole-contact item sends for a clipboard text, worked out when it is needed.
class ContactPlanner {
 public:
  virtual ~ContactPlanner() = default;
  // The fields of the first readable log line in `clipboard_text`, or nothing when no line of it
  // reads as a log line.
  virtual std::optional<std::vector<PlannedField>> Plan(const std::wstring& clipboard_text) = 0;
};

// The plan made with the template of the moment, the user's locale, the clock (a date written without
// its year is read as the latest year not in the future) and section "HLfields" as they stand when
// it is asked for.
class WholeLinePlanner final : public ContactPlanner {
 public:
  WholeLinePlanner(const MainState& state, settings::Profile& profile, entry::Locale& locale, Clock& clock)
      : state_(state), profile_(profile), locale_(locale), clock_(clock) {}
  std::optional<std::vector<PlannedField>> Plan(const std::wstring& clipboard_text) override;

 private:
  const MainState& state_;
  settings::Profile& profile_;
  entry::Locale& locale_;
  Clock& clock_;
};

// The fields to send for `contact`, in order, without the empty ones.
std::vector<PlannedField> PlanWholeLine(const contact::Contact& contact, const FieldMapping& mapping);

// The value of one mapping text for `contact` (the tokens above replaced, spaces around removed).
std::wstring ExpandField(const std::wstring& value, const contact::Contact& contact);

}  // namespace zelmor::transfer
