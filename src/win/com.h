#pragma once
// COM and Automation, loaded on first use (most runs never send a mail), and the owners of
// what they hand out: interface pointers and VARIANTs.
#include <windows.h>
#include <oaidl.h>
#include <objbase.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

namespace win {

struct ComApi {
  decltype(&::CoInitializeEx) initialize = nullptr;
  decltype(&::CLSIDFromProgID) clsidFromProgId = nullptr;
  decltype(&::CoCreateInstance) create = nullptr;
  decltype(&::SysAllocString) allocString = nullptr;
  decltype(&::VariantClear) variantClear = nullptr;
  bool ok = false;
};
// The functions, with COM initialised on this thread (apartment threaded, for the program's
// life) at the first call.
const ComApi& Com();

// An interface pointer, released with its owner.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      if (p_) p_->Release();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** put() {
    if (p_) p_->Release();
    p_ = nullptr;
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// A VARIANT, cleared with its owner.
class Variant {
 public:
  Variant() { Empty(v_); }
  ~Variant() { Clear(); }
  Variant(Variant&& o) noexcept : v_(o.v_) { Empty(o.v_); }
  Variant& operator=(Variant&&) = delete;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  static Variant Text(const std::wstring& s);
  static Variant Number(LONG n);
  VARIANT* get() { return &v_; }
  const VARIANT& operator*() const { return v_; }
  // The object it holds, or nullptr.
  IDispatch* Object() const { return v_.vt == VT_DISPATCH ? v_.pdispVal : nullptr; }
  void Clear() {
    if (Com().ok) Com().variantClear(&v_);
  }

 private:
  static void Empty(VARIANT& v) {
    std::memset(&v, 0, sizeof v);
    v.vt = VT_EMPTY;
  }
  VARIANT v_;
};

// Calls a member of an Automation object by name (late bound): a method, or a property to
// get or put. The arguments, first to last, stay their owners'.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD kind, std::initializer_list<VARIANT> args,
                   Variant* result);

}  // namespace win
