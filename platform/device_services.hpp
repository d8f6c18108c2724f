// Where the Windows device services come from. On Windows they are the toolchain's own;
// elsewhere they are our POSIX stand-in, declared with the platform's names and only as
// far as this program uses them. Nothing else in the program knows which build it is in.
#pragma once

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#else

#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using HANDLE = void*;
struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(std::intptr_t{-1});

constexpr DWORD GENERIC_READ = 0x80000000U;
constexpr DWORD GENERIC_WRITE = 0x40000000U;
constexpr DWORD FILE_SHARE_READ = 0x1U;
constexpr DWORD FILE_SHARE_WRITE = 0x2U;
constexpr DWORD OPEN_EXISTING = 3U;

HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                   SECURITY_ATTRIBUTES* security_attributes, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file);

BOOL DeviceIoControl(HANDLE device, DWORD control_code, void* in_buffer, DWORD in_buffer_size,
                     void* out_buffer, DWORD out_buffer_size, DWORD* bytes_returned,
                     OVERLAPPED* overlapped);

#endif
