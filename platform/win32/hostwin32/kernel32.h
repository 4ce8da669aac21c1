// kernel32 declarations for hosts without the SDK (types only; never defined here).
#pragma once

#include <cstdarg>

#include "platform/win32/hostwin32/types.h"

// Console.
BOOL WINAPI SetConsoleOutputCP(UINT codePage);
BOOL WINAPI SetConsoleCP(UINT codePage);

// Text conversion.
int WINAPI lstrlenA(LPCSTR text);
int WINAPI lstrlenW(LPCWSTR text);
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount,
                               LPWSTR wide, int wideCount);
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                               LPSTR multiByte, int multiByteCount, LPCSTR defaultChar,
                               LPBOOL usedDefaultChar);

// Processes, files, time and errors.
DWORD WINAPI FormatMessageW(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId,
                            LPWSTR buffer, DWORD size, va_list* arguments);
HLOCAL WINAPI LocalFree(HLOCAL memory);
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD errorCode);
DWORD WINAPI GetCurrentProcessId();
void WINAPI Sleep(DWORD milliseconds);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
DWORD WINAPI GetFileAttributesW(LPCWSTR fileName);
void WINAPI GetSystemTimeAsFileTime(LPFILETIME systemTime);
HANDLE WINAPI GetStdHandle(DWORD stdHandle);
BOOL WINAPI CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine,
                           LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                           DWORD creationFlags, LPVOID environment, LPCWSTR currentDirectory,
                           LPSTARTUPINFOW startupInfo, LPPROCESS_INFORMATION processInformation);
BOOL WINAPI CloseHandle(HANDLE object);
BOOL WINAPI MoveFileExW(LPCWSTR existingFileName, LPCWSTR newFileName, DWORD flags);
DWORD WINAPI SearchPathW(LPCWSTR path, LPCWSTR fileName, LPCWSTR extension, DWORD bufferLength,
                         LPWSTR buffer, LPWSTR* filePart);
DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI GetProcessTimes(HANDLE process, LPFILETIME creationTime, LPFILETIME exitTime,
                            LPFILETIME kernelTime, LPFILETIME userTime);

// Modules and versions (window host).
int WINAPI MulDiv(int number, int numerator, int denominator);
DWORD WINAPI GetCurrentThreadId();
HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);
struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
BOOL WINAPI GetVersionExW(OSVERSIONINFOW* versionInformation);

// The companion's own command line.
LPWSTR WINAPI GetCommandLineW();
