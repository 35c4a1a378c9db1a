// What the platform asks of a configuration server connection. The connection is a library of its own
// (libKroCfgServerConnection.so, with its transport's dependencies), loaded by KroCfgServerConnection
// only when a process connects; the platform links nothing of it. The library exports one C function,
// KRO_CFG_SERVER_PROVIDER_ENTRY, that opens a provider. Everything crosses as plain standard-library
// values, so the library needs no symbol of the platform; it is built with the platform, by the same
// compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KroTypes.h"

// A live model object as the server keeps it: its uuid, its values, and the uuids of the objects it
// refers to (16 octets each; an empty one refers to nothing).
struct KroCfgServerObject {
  using Uuid = std::vector<unsigned char>;
  enum Kind { Category, Specification, Subscriber, Group, Modification, Context, Filter };

  // A normal value of a filter. Dates are seconds since 1970 (UTC); an end of 0 is no end for a date,
  // a negative one for a rank.
  struct NormalValue {
    bool hasDate = false;
    std::int64_t dateStart = 0, dateEnd = 0;
    bool hasRange = false;
    int rangeStart = 0, rangeEnd = -1;
    std::string conditionName;
    Uuid condition, modification;
    std::string startMilestone, endMilestone;
  };

  Kind kind = Category;
  Uuid uuid;
  // Category: name, description. Specification: name, description, alias, condition, ref (category).
  // Subscriber: name, flag (an action). Group: refs (subscribers, in order). Modification: name,
  // first, second, flag (under action), ref (group). Context: name. Filter: name (its id), domain,
  // ref (context), mode, flag (150% mode), values.
  std::string name, description, alias, condition, first, second, domain;
  bool flag = false;
  int mode = 0;
  Uuid ref;
  std::vector<Uuid> refs;
  std::vector<NormalValue> values;
};

class KroCfgServerProvider {
 public:
  virtual ~KroCfgServerProvider() = default;
  // Each returns S_OK or a failure code with a message naming the address in error: the server
  // is unreachable, timed out, refused the request, or knows no such uuid (KRO_E_UUID_NOT_BOUND).
  // Whether a server answers at the address.
  virtual HRESULT Ping(std::string& error) = 0;
  // Stores the objects with their uuids, all or none, in one request.
  virtual HRESULT Create(const std::vector<KroCfgServerObject>& objects, std::string& error) = 0;
  // The object and every object it refers to, transitively, the object first, in one request.
  virtual HRESULT ReadLinked(const KroCfgServerObject::Uuid& uuid, std::vector<KroCfgServerObject>& out,
                             std::string& error) = 0;
};

// Raised whenever the structures above change, so that a stale library is refused rather than misread.
constexpr int KRO_CFG_SERVER_PROVIDER_VERSION = 1;
#define KRO_CFG_SERVER_PROVIDER_ENTRY "KroCfgServerProviderOpen"
// KroCfgServerProvider* KroCfgServerProviderOpen(int version, const char* address, unsigned timeoutMs,
//                                                std::string* error): null with a message in error when the
// version differs or the address is not one. Sends nothing.
using KroCfgServerProviderOpenFn = KroCfgServerProvider* (*)(int version, const char* address, unsigned timeoutMs,
                                                             std::string* error);
