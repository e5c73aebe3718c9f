#pragma once

#include <windows.h>

// MAPI's error codes that only the session's objects answer.
namespace standin::mapi32 {

constexpr HRESULT MAPI_E_INTERFACE_NOT_SUPPORTED = E_NOINTERFACE;
constexpr HRESULT MAPI_E_NO_ACCESS = E_ACCESSDENIED;

}  // namespace standin::mapi32
