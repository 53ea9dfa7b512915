// End-to-end tests: real Zelmor.exe, real simulators, driven from outside.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

// A run that dies leaves a log that says where: the name of the test it died in, and every line
// written before it (the log is a file, so stdout is otherwise held back in blocks).
LONG WINAPI TellCrash(EXCEPTION_POINTERS* e) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::fflush(stdout);
  std::fprintf(stderr, "crashed with exception 0x%08lx in %s.%s\n", e->ExceptionRecord->ExceptionCode,
               test ? test->test_suite_name() : "(no test)", test ? test->name() : "");
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

class FlushEachTest : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { std::fflush(stdout); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The driver measures Zelmor, which is DPI aware, in real pixels at every scaling: left
  // unaware, it would be shown scaled coordinates.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
  }
  ::testing::InitGoogleTest(&argc, argv);
  SetUnhandledExceptionFilter(TellCrash);
  ::testing::UnitTest::GetInstance()->listeners().Append(new FlushEachTest);
  return RUN_ALL_TESTS();
}
