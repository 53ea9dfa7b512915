#include "lotw/lotw_fetch.h"

#include <utility>

#include "base/paths.h"
#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "settings/keys.h"
#include "worked/worked_source.h"

namespace zelmor::lotw {
namespace {

std::wstring Lines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  return text;
}

std::wstring Count(size_t n) { return std::to_wstring(n); }

// The failure's own words: the first line says what happened, the rest what to do.
std::wstring FaultText(const FetchResult& r) {
  switch (r.fault) {
    case FetchFault::kAddressRefused:
      return FillText(LoadText(IDS_FETCH_ADDRESS_REFUSED), {r.detail});
    case FetchFault::kKeptUnreadable:
      return FillText(LoadText(IDS_FETCH_KEPT_UNREADABLE), {r.detail});
    case FetchFault::kNoConnection:
      return FillText(LoadText(IDS_FETCH_NO_CONNECTION), {r.detail});
    case FetchFault::kTimedOut:
      return LoadText(IDS_FETCH_TIMED_OUT);
    case FetchFault::kServerError:
      return FillText(LoadText(IDS_FETCH_SERVER_ERROR), {std::to_wstring(r.http_status)});
    case FetchFault::kWrongPassword:
      return LoadText(IDS_FETCH_WRONG_PASSWORD);
    case FetchFault::kCutOff:
      return LoadText(IDS_FETCH_CUT_OFF);
    case FetchFault::kNotLotw:
      return LoadText(IDS_FETCH_NOT_LOTW);
    case FetchFault::kWriteFailed:
      return FillText(LoadText(IDS_FETCH_WRITE_FAILED), {r.detail});
    case FetchFault::kNone:
      break;
  }
  return std::wstring();
}

}  // namespace

FetchFault FaultOf(const ReportAnswer& answer, const confirmations::ReportReading& reading) {
  switch (answer.fault) {
    case ReportAnswer::Fault::kNoConnection:
      return FetchFault::kNoConnection;
    case ReportAnswer::Fault::kTimedOut:
      return FetchFault::kTimedOut;
    case ReportAnswer::Fault::kBroken:
      // What came may even look whole; a connection that broke says otherwise.
      return answer.status == 200 ? FetchFault::kCutOff : FetchFault::kNoConnection;
    case ReportAnswer::Fault::kNone:
      break;
  }
  if (answer.status != 200) return FetchFault::kServerError;
  switch (reading.fault) {
    case confirmations::ReportFault::kNone:
      return FetchFault::kNone;
    case confirmations::ReportFault::kWrongPassword:
      return FetchFault::kWrongPassword;
    case confirmations::ReportFault::kCutOff:
      return FetchFault::kCutOff;
    case confirmations::ReportFault::kNotAdif:
      return FetchFault::kNotLotw;
  }
  return FetchFault::kNotLotw;
}

std::wstring FetchReport(const std::optional<FetchResult>& result) {
  if (!result) return LoadText(IDS_FETCH_RUNNING);
  const FetchResult& r = *result;
  std::vector<std::wstring> lines;
  if (r.fault != FetchFault::kNone) {
    lines.push_back(FaultText(r));
    // A refused address is found before anything is read or asked for.
    if (r.fault != FetchFault::kAddressRefused) {
      lines.push_back(std::wstring());
      lines.push_back(FillText(LoadText(IDS_FETCH_KEPT_UNCHANGED), {r.kept_path}));
    }
  } else {
    lines.push_back(LoadText(r.records ? IDS_FETCH_DONE : IDS_FETCH_NOTHING_NEW));
    lines.push_back(std::wstring());
    lines.push_back(FillText(LoadText(IDS_FETCH_RECEIVED), {Count(r.records), Count(r.satellite)}));
    lines.push_back(FillText(LoadText(IDS_FETCH_ADDED), {Count(r.added)}));
    lines.push_back(FillText(LoadText(IDS_FETCH_MATCHED), {Count(r.matched)}));
    lines.push_back(FillText(LoadText(IDS_FETCH_KEPT), {r.kept_path}));
  }
  if (r.password_saved) lines.push_back(LoadText(IDS_FETCH_PASSWORD_SAVED));
  if (r.password_not_saved) lines.push_back(LoadText(IDS_FETCH_PASSWORD_NOT_SAVED));
  return Lines(lines);
}

void LotwFetch::Fetch() {
  logfiles::LeaveEditModeIfOn(c_);
  if (s_.transport.Running()) {
    c_.messages.Show(LoadText(IDS_FETCH_BUSY), std::nullopt, MessageButtons::Ok, MessageIcon::None);
    return;
  }

  FetchResult refused;
  const std::wstring url =
      c_.profile.ProfileRead(settings::kLotwSection, settings::kReportUrlKey).value_or(kLotwReportUrl);
  const std::optional<ReportAddress> address = ReadReportAddress(url);
  if (!address) {
    refused.fault = FetchFault::kAddressRefused;
    refused.detail = url;
    return Show(refused);
  }

  kept_path_ = base::JoinPath(logfiles::LogFolder(c_), confirmations::kKeptFileName);
  refused.kept_path = kept_path_;
  std::string kept;
  if (!s_.kept.Read(kept_path_, kept)) {
    refused.fault = FetchFault::kKeptUnreadable;
    refused.detail = kept_path_;
    return Show(refused);
  }
  std::string since = confirmations::ReadKept(kept).last_qsl;
  if (since.empty()) since = kFirstSince;

  std::wstring login = TrimSpaces(c_.profile.ProfileRead(settings::kLotwSection, settings::kLotwLoginKey).value_or(L""));
  if (login.empty() && s_.station.Get()) login = worked::BaseCall(worked::NormalizedCall(s_.station.Get()->call_sign));
  const std::optional<Secret> saved = login.empty() ? std::nullopt : s_.vault.Read(login);
  std::optional<LoginAnswer> answer = s_.views.AskLogin(login, saved ? &*saved : nullptr);
  if (!answer) return;
  answer->login = AsciiUpper(TrimSpaces(answer->login));
  if (!answer->save) s_.vault.Delete(answer->login);
  c_.profile.ProfileWrite(settings::kLotwSection, settings::kLotwLoginKey, answer->login);

  switch (s_.transport.Begin(*address, ReportQuery(answer->login, answer->password, since))) {
    case ReportTransport::Start::Started:
      login_ = answer->login;
      password_.emplace(std::move(answer->password));
      save_ = answer->save;
      s_.views.ShowReport(FetchReport(std::nullopt));
      return;
    case ReportTransport::Start::Busy:
      c_.messages.Show(LoadText(IDS_FETCH_BUSY), std::nullopt, MessageButtons::Ok, MessageIcon::None);
      return;
    case ReportTransport::Start::Failed:
      c_.messages.Show(FillText(LoadText(IDS_FETCH_START_FAILED), {s_.transport.FailureText()}), std::nullopt,
                       MessageButtons::Ok, MessageIcon::None);
      return;
  }
}

FetchResult LotwFetch::Take(const ReportAnswer& answer) {
  FetchResult result;
  result.kept_path = kept_path_;
  const confirmations::ReportReading reading = confirmations::ReadReport(answer.body);
  result.fault = FaultOf(answer, reading);
  result.http_status = answer.status;
  result.detail = answer.detail;
  if (result.fault != FetchFault::kNone) return result;

  // Read again: the file may have changed while the request ran (another Zelmor, the operator).
  std::string kept;
  if (!s_.kept.Read(kept_path_, kept)) {
    result.fault = FetchFault::kKeptUnreadable;
    result.detail = kept_path_;
    return result;
  }
  const confirmations::Merged merged = confirmations::Merge(kept, reading);
  if (!s_.kept.Replace(kept_path_, merged.text)) {
    result.fault = FetchFault::kWriteFailed;
    result.detail = kept_path_;
    return result;
  }
  result.records = reading.records;
  result.satellite = reading.satellite.size();
  result.added = merged.added;
  if (merged.added) s_.worked.ConfirmationsChanged();
  result.matched = s_.worked.MatchingContacts(reading.satellite);
  return result;
}

void LotwFetch::OnFetched() {
  const std::optional<ReportAnswer> answer = s_.transport.Finish();
  if (!answer) return;
  FetchResult result = Take(*answer);
  if (password_) {
    if (result.fault == FetchFault::kWrongPassword) {
      // Offered again next time, it would only be refused again.
      s_.vault.Delete(login_);
    } else if (save_) {
      result.password_saved = s_.vault.Write(login_, *password_);
      result.password_not_saved = !result.password_saved;
    }
  }
  password_.reset();
  Show(result);
}

}  // namespace zelmor::lotw
