#include "win/com.h"

#include <iterator>
#include <vector>

#include "win/library.h"

namespace win {

const ComApi& Com() {
  static const Library ole(L"ole32.dll"), automation(L"oleaut32.dll");
  static const ComApi api = [] {
    ComApi a;
    a.ok = ole.Get(a.initialize, "CoInitializeEx") && ole.Get(a.clsidFromProgId, "CLSIDFromProgID") &&
           ole.Get(a.create, "CoCreateInstance") && automation.Get(a.allocString, "SysAllocString") &&
           automation.Get(a.variantClear, "VariantClear");
    if (a.ok) a.initialize(nullptr, COINIT_APARTMENTTHREADED);  // this thread, for the program's life
    return a;
  }();
  return api;
}

Variant Variant::Text(const std::wstring& s) {
  Variant v;
  if (!Com().ok) return v;
  v.v_.vt = VT_BSTR;
  v.v_.bstrVal = Com().allocString(s.c_str());
  return v;
}

Variant Variant::Number(LONG n) {
  Variant v;
  v.v_.vt = VT_I4;
  v.v_.lVal = n;
  return v;
}

HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD kind, std::initializer_list<VARIANT> args,
                   Variant* result) {
  if (!object) return E_POINTER;
  DISPID id = 0;
  LPOLESTR member = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(std::rbegin(args), std::rend(args));  // Invoke takes them last to first
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID named = DISPID_PROPERTYPUT;
  if (kind == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result ? result->get() : nullptr, nullptr,
                        nullptr);
}

}  // namespace win
