#pragma once
// Programs started by a test: any child process, and the simulators of the two outside programs
// (tracker-sim.exe serves the tracking program's DDE items, logbook-sim.exe journals what the
// logging program is sent). Each is ended by its handle when its owner goes, whatever the test's
// outcome.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/handles_win.h"

namespace test_support {

// The folder that holds the running test program, Zelmor.exe and the simulators.
std::wstring BuildFolder();

class Child {
 public:
  Child() = default;
  ~Child() { Kill(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  // Starts `exe` in `folder` (empty: this process's folder). Unactivated, its windows come up
  // without taking the activation, so that an open pop-up menu elsewhere stays open. With
  // `keep_errors` what it writes to its standard error is kept for Errors().
  bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
             bool activated = true, bool keep_errors = false);
  bool WaitExit(DWORD ms);
  void Kill();
  bool Running() const;
  // For a failure message: "runs", "ended with exit code 3" or "was not started (error 267)".
  std::string State() const;
  // What it has written to its standard error so far, when kept.
  std::string Errors() const;
  DWORD pid() const { return info_.dwProcessId; }
  HANDLE process() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_{};
  DWORD start_error_ = 0;
  zelmor::base::UniqueHandle errors_;  // the reading end of its standard error
};

// A simulator started by its constructor, serving once ready(): its window exists and it waits
// for input (a DDEML server registers its service only after making its window). When it did not
// get there, ready() fails saying how the start went: its exit code and what it wrote on its
// standard error.
class SimulatorProcess {
 public:
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  ::testing::AssertionResult ready() const;
  HWND window() const { return window_; }
  bool Running() const { return process_.Running(); }
  DWORD pid() const { return process_.pid(); }
  HANDLE process() const { return process_.process(); }
  // Closes its window as its user would; true once the process has ended.
  bool Close(DWORD ms = 20000);
  void Kill() { process_.Kill(); }

 protected:
  SimulatorProcess(const wchar_t* exe, const wchar_t* window_class, const std::wstring& arguments,
                   const std::wstring& folder);

 private:
  Child process_;
  HWND window_ = nullptr;
  std::string failure_;
};

// tracker-sim.exe; its arguments are described in tools/tracker_sim/main.cpp. Standing in for
// another program (--program), its window has that program's class ("SatPC32Simulator").
class TrackerSim : public SimulatorProcess {
 public:
  explicit TrackerSim(const std::wstring& arguments, const std::wstring& folder = {},
                      const wchar_t* window_class = L"CSATmateSimulator")
      : SimulatorProcess(L"tracker-sim.exe", window_class, arguments, folder) {}
};

// logbook-sim.exe, whose window has the logging program's class "TThwin".
class LogbookSim : public SimulatorProcess {
 public:
  explicit LogbookSim(const std::wstring& arguments, const std::wstring& folder = {})
      : SimulatorProcess(L"logbook-sim.exe", L"TThwin", arguments, folder) {}
};

}  // namespace test_support
