#pragma once
// Fakes of the station and LoTW upload ports, shared by the unit tests of the commands and of the
// close question.

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "lotw/lotw_upload.h"
#include "lotw/tqsl_job.h"
#include "station/station_command.h"

namespace zelmor::fakes {

// The system as the TQSL finder sees it: these files exist, and these folders are listed.
struct FakeTqslPlaces : lotw::TqslPlaces {
  std::set<std::wstring> files;
  std::vector<std::wstring> install, path, asked;
  bool FileExists(const std::wstring& p) override {
    asked.push_back(p);
    return files.count(p) > 0;
  }
  std::vector<std::wstring> InstallFolders() override { return install; }
  std::vector<std::wstring> PathFolders() override { return path; }
};

// TQSL that starts as `start` says and ends, when the test says so, as the next of `outcomes`.
struct FakeTqsl : lotw::TqslProcess {
  struct Run {
    lotw::TqslJob job;
    std::optional<std::wstring> passphrase;
  };
  Journal* journal = nullptr;
  Start start = Start::Started;
  bool running = false;
  bool ended = false;
  std::deque<lotw::TqslOutcome> outcomes;
  std::vector<Run> runs;

  Start Begin(const lotw::TqslJob& job, const lotw::Secret* passphrase) override {
    if (journal) journal->push_back(L"tqsl");
    if (running) return Start::Busy;
    if (start != Start::Started) return start;
    runs.push_back({job, passphrase ? std::optional<std::wstring>(passphrase->text()) : std::nullopt});
    running = true;
    ended = false;
    return Start::Started;
  }
  bool Running() const override { return running; }
  std::optional<lotw::TqslOutcome> Finish() override {
    if (!running || !ended || outcomes.empty()) return std::nullopt;
    running = false;
    lotw::TqslOutcome outcome = outcomes.front();
    outcomes.pop_front();
    outcome.with_passphrase = runs.back().passphrase.has_value();
    return outcome;
  }
  std::wstring FailureText() const override { return L"access denied (5)"; }
};

// The passphrase box answers with `passphrase` (nothing: cancelled); reports are kept in order.
struct FakeUploadViews : lotw::UploadViews {
  Journal* journal = nullptr;
  std::optional<std::wstring> passphrase;
  int asked = 0;
  std::vector<std::wstring> reports;
  std::optional<lotw::Secret> AskPassphrase() override {
    ++asked;
    if (journal) journal->push_back(L"passphrase box");
    if (!passphrase) return std::nullopt;
    return lotw::Secret(*passphrase);
  }
  void ShowReport(const std::wstring& text) override {
    if (journal) journal->push_back(L"report");
    reports.push_back(text);
  }
};

// The operator in the station dialog: confirms `answer`, or cancels when it holds nothing.
struct FakeStationDialog : station::StationDialog {
  Journal* journal = nullptr;
  std::optional<station::Station> answer;
  std::optional<std::optional<station::Station>> shown;  // the station the dialog was filled with
  std::optional<station::Station> Ask(const std::optional<station::Station>& current) override {
    if (journal) journal->push_back(L"station dialog");
    shown = current;
    return answer;
  }
};

}  // namespace zelmor::fakes
