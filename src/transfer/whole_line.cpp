#include "transfer/whole_line.h"

#include "base/text.h"
#include "entry/log_format.h"
#include "settings/keys.h"

namespace zelmor::transfer {

using contact::Contact;
using contact::WordKind;
namespace {

// yy: the last two digits, as the default template's date writes them (month and day alike).
std::wstring LastTwoDigits(int value) { return entry::TwoDigitsOrMore(value % 100); }

std::wstring LogFrequencyText(const Contact& c) {
  if (c.log_frequency) return c.log_frequency->text;
  if (c.uplink && c.downlink) {
    // Whole megahertz truncated toward zero, as the template's own "#LF" is formed.
    return entry::FormatLogFrequency(c.uplink->kilohertz / 1000, c.downlink->kilohertz / 1000);
  }
  return std::wstring();
}

std::wstring TokenValue(const std::wstring& token, const Contact& c) {
  if (token == L"#DT") {
    return LastTwoDigits(c.date.year) + L"/" + LastTwoDigits(c.date.month) + L"/" + LastTwoDigits(c.date.day);
  }
  if (token == L"#TM") return entry::FormatTime(c.hour, c.minute, L":");
  if (token == L"#ZN") return c.zone;
  if (token == L"#SN") return c.satellite_name.value_or(L"");
  if (token == L"#RV") return c.rev.value_or(L"");
  if (token == L"#MM") return c.memo.value_or(L"");
  if (token == L"#LF") return LogFrequencyText(c);
  if (token == L"#TX") return c.uplink ? c.uplink->text : L"";
  if (token == L"#RX") return c.downlink ? c.downlink->text : L"";
  if (token == L"#MD") return c.mode.value_or(L"");
  if (token == L"#CS") return c.words.Find(WordKind::Call);
  if (token == L"#RS") return c.words.Find(WordKind::ReportSent);
  if (token == L"#RR") return c.words.Find(WordKind::ReportReceived);
  if (token == L"#GL") return c.words.Find(WordKind::Grid);
  if (token == L"#RM") return c.words.Remarks(true);
  return token;
}

bool IsToken(const std::wstring& text, size_t i) {
  static const wchar_t* const kNames[] = {L"#DT", L"#TM", L"#ZN", L"#SN", L"#RV", L"#MM", L"#LF", L"#TX",
                                          L"#RX", L"#MD", L"#CS", L"#RS", L"#RR", L"#GL", L"#RM"};
  for (const wchar_t* name : kNames) {
    if (text.compare(i, 3, name) == 0) return true;
  }
  return false;
}

}  // namespace

FieldMapping DefaultFieldMapping() {
  FieldMapping mapping;
  for (size_t i = 0; i < kWholeLineFieldCount; ++i) mapping.values[i] = kWholeLineFields[i].default_value;
  return mapping;
}

FieldMapping ParseFieldMapping(const std::vector<std::pair<std::wstring, std::wstring>>& entries) {
  FieldMapping mapping = DefaultFieldMapping();
  for (const auto& [key, value] : entries) {
    for (size_t i = 0; i < kWholeLineFieldCount; ++i) {
      if (SameAsciiCaseless(TrimSpaces(key), kWholeLineFields[i].key)) mapping.values[i] = value;
    }
  }
  return mapping;
}

// One pass from left to right: a value put in is not searched again, so a memo holding "#SN"
// is sent as typed.
std::wstring ExpandField(const std::wstring& value, const contact::Contact& contact) {
  std::wstring out;
  for (size_t i = 0; i < value.size();) {
    if (IsToken(value, i)) {
      out += TokenValue(value.substr(i, 3), contact);
      i += 3;
    } else {
      out += value[i++];
    }
  }
  return TrimSpaces(out);
}

FieldMapping ReadFieldMapping(settings::Profile& profile) {
  std::vector<std::pair<std::wstring, std::wstring>> entries;
  for (const WholeLineField& field : kWholeLineFields) {
    if (auto value = profile.ProfileRead(settings::kFieldsSection, field.key)) entries.emplace_back(field.key, *value);
  }
  return ParseFieldMapping(entries);
}

std::optional<std::vector<PlannedField>> PlanClipboardContact(const std::wstring& clipboard_text,
                                                               const std::wstring& template_text,
                                                               const contact::LineFormats& formats,
                                                               const LocalTime& now, const FieldMapping& mapping) {
  const std::optional<contact::Contact> contact =
      contact::FirstReadableLine(clipboard_text, template_text, formats, now);
  if (!contact) return std::nullopt;
  return PlanWholeLine(*contact, mapping);
}

std::optional<std::vector<PlannedField>> WholeLinePlanner::Plan(const std::wstring& clipboard_text) {
  return PlanClipboardContact(clipboard_text, state_.template_text, locale_.Formats(), clock_.Now(),
                              ReadFieldMapping(profile_));
}

std::vector<PlannedField> PlanWholeLine(const contact::Contact& contact, const FieldMapping& mapping) {
  std::vector<PlannedField> plan;
  for (size_t i = 0; i < kWholeLineFieldCount; ++i) {
    std::wstring text = ExpandField(mapping.values[i], contact);
    if (!text.empty()) plan.push_back({kWholeLineFields[i].code, std::move(text)});
  }
  return plan;
}

}  // namespace zelmor::transfer
