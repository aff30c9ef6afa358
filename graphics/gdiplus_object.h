// The ground every GDI+ wrapper stands on: starting and stopping the library, the status of the
// last call, optional arguments, the base class with its handle discipline, and GBK <-> UTF-16.
#pragma once

#include <cstdint>

#include "runtime/imports/declared_functions.h"
#include "runtime/owned_value.h"

// Status of the most recent GDI+ call made by any wrapper (0 is Ok). One GUI thread, no lock.
extern int32_t lastStatus;
// Token of the last StartGdiPlus; 0 when none is outstanding.
extern uintptr_t startedToken;

// An argument the caller may leave out: the value travels with a "given" flag. A value that is
// not given is never used in place of the default, whatever it holds.
template <class T>
struct OptionalArg {
  T value{};
  bool given = false;

  OptionalArg() = default;
  OptionalArg(T v) : value(v), given(true) {}  // NOLINT: a plain value is a given argument
  static OptionalArg NotGiven(T v) {
    OptionalArg a;
    a.value = v;
    return a;
  }
  T Or(T fallback) const { return given ? value : fallback; }
};

// Starts GDI+ with the given version (1 when not given); the token, also kept in startedToken.
// A failed start-up yields token 0.
uintptr_t StartGdiPlus(OptionalArg<uint32_t> version = {});
// Without a token, shuts down the one in startedToken and forgets it. With a token, shuts that
// one down, and forgets startedToken too when it is that token, so it cannot be shut down twice.
void ShutdownGdiPlus(OptionalArg<uintptr_t> token = {});

// GBK to UTF-16 through the program's code page (936, whatever the system's ANSI code page is):
// a block of 2n bytes, n counting the terminator. The empty text gives 2 zero bytes.
OwnedBytes ToWideText(TextValue text);
// UTF-16 (terminated) to GBK through the same code page; null or "" gives the empty text.
OwnedText FromWideText(const wchar_t* wide);
inline const wchar_t* WideChars(const OwnedBytes& wide) {
  return reinterpret_cast<const wchar_t*>(ByteBlockData(wide.get()));
}

// Calls declaration K and keeps its status in lastStatus; true when it is Ok.
template <int32_t K, class... A>
bool CallStatus(A... arguments) {
  lastStatus = DeclaredFunction<K>{}(arguments...);
  return lastStatus == Gdiplus::Ok;
}

// An argument check that fails before any GDI+ call: reported as GDI+ would.
inline bool RejectArguments() {
  lastStatus = Gdiplus::InvalidParameter;
  return false;
}

// The base of the wrappers. Each class keeps the native pointer in `handle` and in its own
// field(s); both are written only through SetHandle, so every copy is always the same pointer.
// Wrappers own their native object until Delete. They are neither copied nor moved: two wrappers
// of one native object would release it twice; use the clone functions for a second object.
class GdiPlusObject {
 public:
  GdiPlusObject() = default;
  GdiPlusObject(const GdiPlusObject&) = delete;
  GdiPlusObject& operator=(const GdiPlusObject&) = delete;
  virtual ~GdiPlusObject() = default;

  void* GetHandle() const { return handle_; }
  void SetHandle(void* h) {
    handle_ = h;
    OnHandleSet(h);
  }

  // Memory of GDI+'s own allocator.
  static void* Alloc(size_t size);
  static void Free(void* p);

 protected:
  // Stores h in the class's own field(s).
  virtual void OnHandleSet(void* h) = 0;

  // The wrapper's handle as GDI+ wants it for another wrapper passed as an argument.
  template <class N>
  static N* NativeOf(const GdiPlusObject& object) {
    return static_cast<N*>(object.GetHandle());
  }

  // Delete: false without any call when there is nothing to release; otherwise release through
  // declaration K, forget the handle and report whether the release succeeded.
  template <int32_t K, class N>
  bool ReleaseWith(N* own) {
    if (!own) return false;
    const bool ok = CallStatus<K>(own);
    SetHandle(nullptr);
    return ok;
  }

  // After a create call that wrote into the own field: every copy takes what is there now,
  // whether or not the call succeeded.
  template <class N>
  bool Adopt(N* own, bool ok) {
    SetHandle(own);
    return ok;
  }

 private:
  void* handle_ = nullptr;
};
