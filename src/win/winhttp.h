#pragma once
// WinHTTP, loaded on first use (only an upload needs it), and the owner of its handles.
#include <windows.h>
#include <winhttp.h>

#include "win/unique_resource.h"

namespace win {

struct HttpApi {
  decltype(&::WinHttpOpen) open = nullptr;
  decltype(&::WinHttpCrackUrl) crackUrl = nullptr;
  decltype(&::WinHttpConnect) connect = nullptr;
  decltype(&::WinHttpOpenRequest) openRequest = nullptr;
  decltype(&::WinHttpAddRequestHeaders) addHeaders = nullptr;
  decltype(&::WinHttpSendRequest) send = nullptr;
  decltype(&::WinHttpReceiveResponse) receive = nullptr;
  decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
  decltype(&::WinHttpQueryDataAvailable) available = nullptr;
  decltype(&::WinHttpReadData) read = nullptr;
  decltype(&::WinHttpCloseHandle) close = nullptr;
  decltype(&::WinHttpSetOption) setOption = nullptr;
  HMODULE module = nullptr;  // for the texts of its error numbers
  bool ok = false;
};
const HttpApi& Http();

inline void CloseInternetHandle(HINTERNET h) noexcept { Http().close(h); }
using unique_hinternet = unique_resource<null_traits<HINTERNET, CloseInternetHandle>>;

}  // namespace win
