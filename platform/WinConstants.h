#pragma once
// The numeric codes of the operating system's message box, text drawing and keyboard services, as the
// program's callers pass and compare them. Values are the documented Windows ones.
#include <cstdint>

// Message box button sets (the low four bits of the style).
constexpr std::uint32_t MB_OK = 0x00000000;
constexpr std::uint32_t MB_OKCANCEL = 0x00000001;
constexpr std::uint32_t MB_ABORTRETRYIGNORE = 0x00000002;
constexpr std::uint32_t MB_YESNOCANCEL = 0x00000003;
constexpr std::uint32_t MB_YESNO = 0x00000004;
constexpr std::uint32_t MB_RETRYCANCEL = 0x00000005;
constexpr std::uint32_t MB_TYPEMASK = 0x0000000F;

// Message box icons (bits 4-7).
constexpr std::uint32_t MB_ICONERROR = 0x00000010;
constexpr std::uint32_t MB_ICONHAND = MB_ICONERROR;
constexpr std::uint32_t MB_ICONSTOP = MB_ICONERROR;
constexpr std::uint32_t MB_ICONQUESTION = 0x00000020;
constexpr std::uint32_t MB_ICONWARNING = 0x00000030;
constexpr std::uint32_t MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr std::uint32_t MB_ICONINFORMATION = 0x00000040;
constexpr std::uint32_t MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr std::uint32_t MB_ICONMASK = 0x000000F0;

// Which button is the default (bits 8-11).
constexpr std::uint32_t MB_DEFBUTTON1 = 0x00000000;
constexpr std::uint32_t MB_DEFBUTTON2 = 0x00000100;
constexpr std::uint32_t MB_DEFBUTTON3 = 0x00000200;
constexpr std::uint32_t MB_DEFMASK = 0x00000F00;

// Button identifiers returned by a message box and used as modal results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Text drawing formats.
constexpr std::uint32_t DT_LEFT = 0x00000000;
constexpr std::uint32_t DT_CENTER = 0x00000001;
constexpr std::uint32_t DT_RIGHT = 0x00000002;

// Virtual key codes.
constexpr int VK_DOWN = 0x28;
