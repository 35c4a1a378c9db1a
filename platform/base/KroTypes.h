// Base types shared by the platform and the library: result codes, booleans, interface ids, attribute kinds.
#pragma once

#include "KroExport.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

using HRESULT = std::int32_t;
using ULONG = unsigned long;
using boolean = unsigned char;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// Platform failure codes, passed up unchanged by the library.
constexpr HRESULT KRO_E_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);   // document file missing or unreadable
constexpr HRESULT KRO_E_BAD_FORMAT = static_cast<HRESULT>(0x8007000Du);       // document text malformed
constexpr HRESULT KRO_E_NOT_REGULAR_FILE = static_cast<HRESULT>(0x800700DEu); // a FIFO, device or folder
constexpr HRESULT KRO_E_FILE_TOO_LARGE = static_cast<HRESULT>(0x800700DFu);   // over the size limit
constexpr HRESULT KRO_E_DISK_FULL = static_cast<HRESULT>(0x80070070u);        // no space left (or quota)
constexpr HRESULT KRO_E_WRITE_FAULT = static_cast<HRESULT>(0x8007001Du);      // a write, sync or rename failed
constexpr HRESULT KRO_E_UUID_NOT_BOUND = static_cast<HRESULT>(0x80040201u);   // no live object has this uuid
constexpr HRESULT KRO_E_UUID_INVALID = static_cast<HRESULT>(0x80040202u);     // empty uuid
constexpr HRESULT KRO_E_KIND_CONFLICT = static_cast<HRESULT>(0x80040203u);    // a save would give one name two kinds
// Dispatch results.
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<HRESULT>(0x80020001u);  // no dispatch table for that interface
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);    // no method of that id
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);      // an argument does not convert
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);       // no method of that name
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);         // the method raised an error
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);          // no type information of that index
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);     // wrong number of arguments

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Interface and class identifier.
struct KRO_PLATFORM_API GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];

  friend constexpr bool operator==(const GUID& a, const GUID& b) {
    if (std::is_constant_evaluated()) {
      if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
      for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
      return true;
    }
    // Interface queries compare ids on every call: two words at a time.
    std::uint64_t x[2], y[2];
    std::memcpy(x, &a, sizeof x);
    std::memcpy(y, &b, sizeof y);
    return ((x[0] ^ y[0]) | (x[1] ^ y[1])) == 0;
  }
};
using IID = GUID;
using CLSID = GUID;

// Identifiers are derived from the interface or class name, so that declaring a name is enough to give
// it a stable id (the same in every build and every process).
constexpr GUID KroMakeGUID(const char* name) {
  std::uint64_t h1 = 14695981039346656037ull, h2 = 1099511628211ull * 31;
  for (const char* p = name; *p; ++p) {
    h1 = (h1 ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    h2 = (h2 ^ static_cast<unsigned char>(*p)) * 0x100000001b3ull + 0x9e3779b97f4a7c15ull;
  }
  GUID g{};
  g.Data1 = static_cast<std::uint32_t>(h1 >> 32);
  g.Data2 = static_cast<std::uint16_t>(h1 >> 16);
  g.Data3 = static_cast<std::uint16_t>(h1);
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(h2 >> (8 * i));
  return g;
}

struct KRO_PLATFORM_API KroGUIDHash {
  std::size_t operator()(const GUID& g) const noexcept {
    std::uint64_t v = g.Data1;
    v = (v << 16) ^ g.Data2;
    v = (v << 16) ^ g.Data3;
    for (int i = 0; i < 8; ++i) v = v * 131 + g.Data4[i];
    return static_cast<std::size_t>(v);
  }
};

// The modeler's attribute kinds. A list attribute has kind tk_list and a second kind for its elements;
// (tk_list, tk_octet) is an octet sequence.
enum TCKind : int {
  tk_null = 0,
  tk_long = 3,
  tk_double = 7,
  tk_boolean = 8,
  tk_octet = 10,
  tk_specobject = 14,
  tk_string = 18,
  tk_list = 25,
};

// Kind of class recorded in a meta object.
enum ENUMTypeOfClass : int {
  KroTypeOfClass_Component = 0,
  KroTypeOfClass_Interface = 1,
  KroTypeOfClass_Extension = 2,
  KroTypeOfClass_Tie = 7,
};
