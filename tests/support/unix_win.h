#pragma once
// The Unix side of the Wine machine, for what Windows cannot do to a process or a disk: a real
// SIGKILL or SIGSTOP, a small file system of our own, X events and screenshots. Wine starts a
// non-Windows program as a plain Unix process whose handle cannot be waited on, so commands report
// back through a file.

#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// The Unix path of a Windows path; empty when not running under Wine.
std::string UnixName(const std::wstring& path);

// Runs `script` with /bin/sh and waits for it: its exit status, or -1 when it could not be
// started or did not end within `ms`.
int RunUnix(const std::string& script, DWORD ms = 30000);

// Starts a Unix program (by its Z: path, with its arguments) without waiting for it: callers
// watch for its effect instead.
bool StartUnix(const std::wstring& command_line);

// Sends `signal` ("KILL", "STOP", "CONT") to every Unix process whose command line names `exe`
// and, when given, holds `fragment` too (a test folder's unique name). How many were signalled,
// or -1 when the command could not run.
int SignalProcesses(const std::wstring& exe, const std::wstring& fragment, const char* signal);

// The Unix process ids of the processes SignalProcesses would signal, found with one grep over
// /proc (a shell loop over every process takes seconds on a busy machine).
std::vector<int> UnixProcessIds(const std::wstring& exe, const std::wstring& fragment);

// Sends `signal` to these Unix processes; true when every one was signalled.
bool SignalUnixProcesses(const std::vector<int>& pids, const char* signal);

// The last part of a path: a test folder's unique name.
std::wstring LeafName(const std::wstring& path);

}  // namespace test_support
