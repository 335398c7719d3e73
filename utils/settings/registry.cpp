// Registry exports. Names and strings are Windows-1251 and go to the registry
// through the wide API, so Russian values read back the same on a Windows of
// any system language. Each call opens the key for its one operation.
#include <windows.h>

#include <vector>

#include "guard.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace {

const DWORD kValueBuffer = 65534;  // bytes

HKEY Root(uint32_t root) { return (HKEY)(uintptr_t)root; }

bool OpenForRead(uint32_t root, const char* subKey, sv::RegKey* key) {
  return RegOpenKeyExW(Root(root), sv::Wide(sv::Text(subKey)).c_str(), 0, KEY_QUERY_VALUE, key->Out()) ==
         ERROR_SUCCESS;
}

bool OpenOrCreateForWrite(uint32_t root, const char* subKey, sv::RegKey* key) {
  std::wstring path = sv::Wide(sv::Text(subKey));
  if (RegOpenKeyExW(Root(root), path.c_str(), 0, KEY_WRITE, key->Out()) == ERROR_SUCCESS) return true;
  return RegCreateKeyExW(Root(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                         key->Out(), nullptr) == ERROR_SUCCESS;
}

std::string ReadString(uint32_t root, const char* subKey, const char* name, const char* def) {
  sv::RegKey key;
  if (!OpenForRead(root, subKey, &key)) return std::string(sv::Text(def));
  std::vector<wchar_t> buf(kValueBuffer / sizeof(wchar_t) + 1);
  DWORD bytes = kValueBuffer, type = 0;
  if (RegQueryValueExW(key.Get(), sv::Wide(sv::Text(name)).c_str(), nullptr, &type, (BYTE*)buf.data(), &bytes) !=
      ERROR_SUCCESS)
    return std::string(sv::Text(def));
  size_t chars = bytes / sizeof(wchar_t);
  // The stored terminating zero is not part of the text.
  if (chars && buf[chars - 1] == 0) --chars;
  return sv::Narrow(std::wstring_view(buf.data(), chars));
}

int32_t ReadInt(uint32_t root, const char* subKey, const char* name, int32_t def) {
  sv::RegKey key;
  if (!OpenForRead(root, subKey, &key)) return def;
  DWORD value = 0, bytes = sizeof(value), type = 0;
  if (RegQueryValueExW(key.Get(), sv::Wide(sv::Text(name)).c_str(), nullptr, &type, (BYTE*)&value, &bytes) !=
      ERROR_SUCCESS)
    return def;
  return (int32_t)value;
}

bool WriteValue(uint32_t root, const char* subKey, const char* name, DWORD type, const void* data, DWORD bytes) {
  sv::RegKey key;
  if (!OpenOrCreateForWrite(root, subKey, &key)) return false;
  return RegSetValueExW(key.Get(), sv::Wide(sv::Text(name)).c_str(), 0, type, (const BYTE*)data, bytes) ==
         ERROR_SUCCESS;
}

}  // namespace

SVU_API void SVAPI GetRegistryString(SvStr* out, uint32_t root, const char* subKey, const char* name,
                                       const char* def) {
  sv::GuardVoid([&] { sv::PutStr(out, ReadString(root, subKey, name, def)); });
}

SVU_API SvBool SVAPI SetRegistryString(uint32_t root, const char* subKey, const char* name, const char* value) {
  return sv::Guard<SvBool>(0, [&] {
    std::wstring text = sv::Wide(sv::Text(value));
    return (SvBool)WriteValue(root, subKey, name, REG_SZ, text.c_str(), (DWORD)((text.size() + 1) * sizeof(wchar_t)));
  });
}

SVU_API int32_t SVAPI GetRegistryInt(uint32_t root, const char* subKey, const char* name, int32_t def) {
  return sv::Guard<int32_t>(def, [&] { return ReadInt(root, subKey, name, def); });
}

SVU_API SvBool SVAPI SetRegistryInt(uint32_t root, const char* subKey, const char* name, int32_t value) {
  return sv::Guard<SvBool>(0, [&] {
    DWORD v = (DWORD)value;
    return (SvBool)WriteValue(root, subKey, name, REG_DWORD, &v, sizeof(v));
  });
}

SVU_API SvBool SVAPI DeleteRegistryValue(uint32_t root, const char* subKey, const char* name) {
  return sv::Guard<SvBool>(0, [&] {
    sv::RegKey key;
    if (RegOpenKeyExW(Root(root), sv::Wide(sv::Text(subKey)).c_str(), 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS)
      return (SvBool)0;
    LONG rc = RegDeleteValueW(key.Get(), sv::Wide(sv::Text(name)).c_str());
    return (SvBool)(rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND);
  });
}
