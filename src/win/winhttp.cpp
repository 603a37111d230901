#include "win/winhttp.h"

#include "win/library.h"

const win::HttpApi& win::Http() {
  static const Library winhttp(L"winhttp.dll");
  static const HttpApi api = [] {
    HttpApi a;
    a.module = winhttp.get();
    a.ok = winhttp.Get(a.open, "WinHttpOpen") && winhttp.Get(a.crackUrl, "WinHttpCrackUrl") &&
           winhttp.Get(a.connect, "WinHttpConnect") && winhttp.Get(a.openRequest, "WinHttpOpenRequest") &&
           winhttp.Get(a.addHeaders, "WinHttpAddRequestHeaders") && winhttp.Get(a.send, "WinHttpSendRequest") &&
           winhttp.Get(a.receive, "WinHttpReceiveResponse") && winhttp.Get(a.queryHeaders, "WinHttpQueryHeaders") &&
           winhttp.Get(a.available, "WinHttpQueryDataAvailable") && winhttp.Get(a.read, "WinHttpReadData") &&
           winhttp.Get(a.close, "WinHttpCloseHandle") && winhttp.Get(a.setOption, "WinHttpSetOption");
    return a;
  }();
  return api;
}
