// Starting a child process from a Windows test and waiting for its exit code.
#pragma once

#include <windows.h>

#include <string>

// The child's exit code, or 0xDEAD when it could not start or report one in time.
inline DWORD RunProgram(std::string commandLine, DWORD timeoutMs = 60000) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 0xDEAD;
  }
  DWORD code = 0xDEAD;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
