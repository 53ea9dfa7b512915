#pragma once
// The File menu command "LoTW確認の取得(&Q)": the confirmations LoTW received since the last
// fetch, asked for with the LoTW website's login and password (not TQSL's passphrase), kept
// beside the logs in "Zelmor-lotw-qsl.adi" and told to worked-before. The request runs off the
// window's thread: the operator goes on logging while it runs, and reads how it went in a report
// that never takes the keyboard from the entry box. Nothing half-written is kept: on any fault the
// kept file stays as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "confirmations/confirmation.h"
#include "confirmations/lotw_report.h"
#include "logfiles/file_command.h"
#include "lotw/report_request.h"
#include "lotw/tqsl_job.h"
#include "station/station_store.h"

namespace zelmor::lotw {

// What came back of one request, as the HTTP client saw it.
struct ReportAnswer {
  enum class Fault {
    kNone,
    kNoConnection,  // no network, the host not found or not answering, no secure connection
    kTimedOut,      // connected, but the answer did not come in time
    kBroken,        // the connection broke while the body came: `body` holds what came before
  };
  Fault fault = Fault::kNone;
  int status = 0;      // the HTTP status, once one came
  std::string body;    // the answer's bytes
  std::wstring detail;  // the system's words for a fault
};

// The request, one at a time. Its end comes later, as a message to the main window, which hands it
// to LotwFetch::OnFetched.
class ReportTransport {
 public:
  enum class Start { Started, Busy, Failed };
  virtual ~ReportTransport() = default;
  // GET of `address` with `query`, which holds the password and is wiped once sent.
  virtual Start Begin(const ReportAddress& address, Secret query) = 0;
  // From Begin until Finish has taken the answer.
  virtual bool Running() const = 0;
  // The answer once the request has ended; nothing while it runs or when none waits.
  virtual std::optional<ReportAnswer> Finish() = 0;
  // Why the last Begin failed, in the system's words.
  virtual std::wstring FailureText() const = 0;
};

// The LoTW website's password kept for a login, when the operator asked for that: in Windows'
// Credential Manager, never in a file of Zelmor's.
class PasswordVault {
 public:
  virtual ~PasswordVault() = default;
  virtual std::optional<Secret> Read(const std::wstring& login) = 0;
  virtual bool Write(const std::wstring& login, const Secret& password) = 0;
  // Nothing kept for the login afterwards (also when nothing was).
  virtual void Delete(const std::wstring& login) = 0;
};

// What the operator typed into the password box.
struct LoginAnswer {
  std::wstring login;
  Secret password;
  bool save = false;  // "保存する" ticked
};

// What the fetch shows beyond message boxes.
class FetchViews {
 public:
  virtual ~FetchViews() = default;
  // The password box with `login` filled in, and `saved` (with "保存する" ticked) when a password
  // is kept for it. Nothing when cancelled.
  virtual std::optional<LoginAnswer> AskLogin(const std::wstring& login, const Secret* saved) = 0;
  // The fetch's report, replacing the one shown before; it does not take the keyboard.
  virtual void ShowReport(const std::wstring& text) = 0;
};

// The kept file's bytes as they are (UTF-8 ADIF).
class KeptFiles {
 public:
  virtual ~KeptFiles() = default;
  // False when the file is there but could not be read; a missing file reads as empty.
  virtual bool Read(const std::wstring& path, std::string& bytes) = 0;
  // Replaces the whole file in one step: a crash leaves the old or the new file whole.
  virtual bool Replace(const std::wstring& path, const std::string& bytes) = 0;
};

// Worked-before, as the fetch needs it.
class ConfirmedContacts {
 public:
  virtual ~ConfirmedContacts() = default;
  // The kept file has changed: read it again.
  virtual void ConfirmationsChanged() = 0;
  // How many of `confirmations` match a contact of the logs.
  virtual size_t MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) = 0;
};

enum class FetchFault {
  kNone,
  kAddressRefused,  // [LoTW] ReportURL is not an address the password may go to
  kKeptUnreadable,  // the kept file is there but could not be read
  kNoConnection,
  kTimedOut,
  kServerError,     // an HTTP status other than 200
  kWrongPassword,
  kCutOff,          // the answer ended before APP_LoTW_EOF
  kNotLotw,         // an answer that is not LoTW's report
  kWriteFailed,     // the kept file could not be written
};

// How one fetch went.
struct FetchResult {
  FetchFault fault = FetchFault::kNone;
  int http_status = 0;  // kServerError
  std::wstring detail;  // the address refused, the system's words, or the file
  size_t records = 0;    // in LoTW's answer
  size_t satellite = 0;  // of them, satellite contacts
  size_t added = 0;      // new to the kept file
  size_t matched = 0;    // of the satellite ones, matching a contact of the logs
  std::wstring kept_path;
  bool password_saved = false;
  bool password_not_saved = false;  // asked for, but the Credential Manager refused it
};

// The fault an answer shows, with what LoTW's report says when it came whole (`reading`, read from
// the answer's body with confirmations::ReadReport).
FetchFault FaultOf(const ReportAnswer& answer, const confirmations::ReportReading& reading);

// The report: the fetch under way when `result` is nothing; otherwise how it went, in Japanese
// from the program's texts, a failure in its own words with the kept file said to be unchanged.
std::wstring FetchReport(const std::optional<FetchResult>& result);

class LotwFetch {
 public:
  struct Services {
    station::CurrentStation& station;
    ReportTransport& transport;
    PasswordVault& vault;
    FetchViews& views;
    KeptFiles& kept;
    ConfirmedContacts& worked;
  };
  LotwFetch(logfiles::FileCommandContext& context, Services services) : c_(context), s_(services) {}

  // Leaves edit mode; refuses a second fetch while one runs; checks [LoTW] ReportURL; reads the
  // kept file's APP_LoTW_LASTQSL; asks for the login (the one used last, or the station's call
  // without its suffix) and the password (the kept one filled in); forgets a kept password when
  // "保存する" is not ticked; starts the request and shows the report of a fetch under way.
  void Fetch();

  // The request has ended: the answer merged into the kept file and told to worked-before, or the
  // fault reported. The password is kept when the operator asked for it and LoTW did not refuse
  // it, and forgotten when LoTW refused a kept one. A stale notice does nothing.
  void OnFetched();

  bool Running() const { return s_.transport.Running(); }

 private:
  void Show(const FetchResult& result) { s_.views.ShowReport(FetchReport(result)); }
  FetchResult Take(const ReportAnswer& answer);

  logfiles::FileCommandContext& c_;
  Services s_;
  // The fetch under way.
  std::wstring login_;
  std::optional<Secret> password_;
  bool save_ = false;
  std::wstring kept_path_;
};

}  // namespace zelmor::lotw
