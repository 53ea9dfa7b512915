// End-to-end tests: real Zelmor.exe, real simulators, driven from outside.

#include <gtest/gtest.h>

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  // The driver measures Zelmor, which is DPI aware, in real pixels at every scaling: left
  // unaware, it would be shown scaled coordinates.
  using SetContext = BOOL(WINAPI*)(HANDLE);
  if (auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
