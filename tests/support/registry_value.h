// A value under HKEY_CURRENT_USER (or another root) set for the life of the object; the old
// value (or its absence) comes back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class RegistryValue {
 public:
  RegistryValue(const char* key, const char* name, const std::string& value, HKEY root = HKEY_CURRENT_USER)
      : name_(name) {
    RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key_, nullptr);
    char old[512];
    DWORD size = sizeof old;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS)
      old_ = std::string(old, size ? size - 1 : 0);
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  ~RegistryValue() {
    if (old_)
      RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()),
                     static_cast<DWORD>(old_->size() + 1));
    else
      RegDeleteValueA(key_, name_);
    RegCloseKey(key_);
  }
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;

 private:
  HKEY key_ = nullptr;
  const char* name_;
  std::optional<std::string> old_;
};
