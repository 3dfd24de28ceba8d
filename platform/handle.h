// One owner per handle: a move-only template whose traits say which value
// means "no handle" and how a handle is released, so that every key, file,
// search, process, window and GDI object the program opens is released
// exactly once.
#pragma once

namespace plat {

template <typename Traits>
class Owned {
 public:
  typedef typename Traits::Handle Handle;

  Owned() : handle_(Traits::None()) {}
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { Reset(); }
  Owned(Owned&& other) : handle_(other.Release()) {}
  Owned& operator=(Owned&& other) {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::None();
    return handle;
  }
  void Reset(Handle handle = Traits::None()) {
    if (handle_ != Traits::None() && handle_ != handle) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_;
};

}  // namespace plat
