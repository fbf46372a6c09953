// The Win32 vocabulary the portable code speaks. On Windows this is <windows.h>
// itself; elsewhere it is our own small implementation of exactly the subset the
// program uses, with the same names, values and semantics.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else

#include <cstdint>

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef int32_t HRESULT;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// A window handle off Windows is a pointer to a message target (message_target.h).
class CMessageTarget;
typedef CMessageTarget* HWND;

#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD)(b)) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)(((DWORD)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAXDWORD 0xffffffffu

// Messages
#define WM_NULL 0x0000
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_TIMER 0x0113
#define WM_USER 0x0400
#define WM_APP 0x8000

// GetAncestor
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

// Message boxes
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

// Error codes the program meets
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BROKEN_PIPE 109L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_OPERATION_ABORTED 995L
#define ERROR_IO_INCOMPLETE 996L
#define ERROR_IO_PENDING 997L
#define ERROR_NOACCESS 998L
#define ERROR_CANCELLED 1223L
#define ERROR_TIMEOUT 1460L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_DIRECTORY 267L
#define ERROR_BAD_FORMAT 11L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_UNSUPPORTED_TYPE 1630L

#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOTIMPL ((HRESULT)0x80004001)

// The thread's last error (thread-local).
DWORD GetLastError();
void SetLastError(DWORD code);

// Milliseconds since an arbitrary start; follows the virtual clock when one is in use.
DWORD GetTickCount();
// Always real time, also under the virtual clock: code that waits in loop time uses
// timers or MessageLoop::RunUntil.
void Sleep(DWORD milliseconds);

// Windows and messages (message_target.h says what a window is here).
// SendMessageW calls the target's WindowProc directly on the calling thread; a window
// that is not (or no longer) registered gets nothing: 0, ERROR_INVALID_WINDOW_HANDLE.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Thread-safe; the message is delivered by the process's message loop (message_loop.h).
// Posting to a destroyed window fails with ERROR_INVALID_WINDOW_HANDLE, and messages
// already queued for a window are dropped when it is destroyed. A null window posts
// to the loop itself: only WM_QUIT means something there.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetParent(HWND window);
HWND GetAncestor(HWND window, UINT flags);
HWND GetDlgItem(HWND window, int controlId);
BOOL IsWindow(HWND window);

// Timers: WM_TIMER with the identifier in wParam is delivered by the message loop.
// As on Windows: one timer per (window, id), SetTimer with the same id replaces it,
// the period is clamped to USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM and the timer fires
// again after each period until killed. A window is required; timerProc must be null.
#define USER_TIMER_MINIMUM 0x0000000Au
#define USER_TIMER_MAXIMUM 0x7FFFFFFFu
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void* timerProc);
BOOL KillTimer(HWND window, UINT_PTR id);

void PostQuitMessage(int exitCode);

#endif  // !_WIN32
