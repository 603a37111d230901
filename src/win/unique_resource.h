#pragma once
// One owner type for every platform handle: Traits names the handle type, its empty value
// and how it is released.
#include <utility>

namespace win {

template <class Traits>
class unique_resource {
 public:
  using handle_type = typename Traits::handle_type;

  unique_resource() noexcept = default;
  explicit unique_resource(handle_type h) noexcept : h_(h) {}
  unique_resource(const unique_resource&) = delete;
  unique_resource& operator=(const unique_resource&) = delete;
  unique_resource(unique_resource&& o) noexcept : h_(o.release()) {}
  unique_resource& operator=(unique_resource&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~unique_resource() { reset(); }

  handle_type get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return !Traits::is_empty(h_); }
  handle_type release() noexcept { return std::exchange(h_, Traits::empty()); }
  void reset(handle_type h = Traits::empty()) noexcept {
    const handle_type old = std::exchange(h_, h);
    if (!Traits::is_empty(old)) Traits::close(old);
  }
  // For out-parameters of creating calls: releases what is held and gives its address.
  handle_type* put() noexcept {
    reset();
    return &h_;
  }

 private:
  handle_type h_ = Traits::empty();
};

// Traits for handles whose empty value is a null pointer or zero.
template <class H, auto Close>
struct null_traits {
  using handle_type = H;
  static constexpr H empty() noexcept { return H{}; }
  static bool is_empty(H h) noexcept { return h == H{}; }
  static void close(H h) noexcept { Close(h); }
};

}  // namespace win
