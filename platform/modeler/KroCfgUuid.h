// Uuids of live objects. Every live object that carries a uuid registers it for as long as it lives,
// so that a stored uuid can be bound back to the object.
#pragma once

#include "KroExport.h"

#include <string>

#include "KroDispatch.h"
#include "KroDmxTrace.h"
#include "KroModelerInterfaces.h"

class KRO_PLATFORM_API KroCfgUuid {
 public:
  KroCfgUuid() = default;
  KroCfgUuid(const SEQUENCE_octet& octets) : m_octets(octets) {}
  // The uuid of a live object. Empty when the handle is null or the object's GetUuid fails; getUuid
  // then gives that failure.
  KroCfgUuid(const KroILinkableObject_var& object);
  KroCfgUuid& operator=(const SEQUENCE_octet& octets) {
    m_octets = octets;
    m_status = S_OK;
    return *this;
  }

  // Copies the octets out. The result is the object's own GetUuid result for a uuid built from an
  // object (E_NOINTERFACE for a null handle), S_OK otherwise.
  HRESULT getUuid(SEQUENCE_octet& out) const {
    out = m_octets;
    return m_status;
  }
  const SEQUENCE_octet& octets() const { return m_octets; }
  // The live object with this uuid. KRO_E_UUID_INVALID for an empty uuid, KRO_E_UUID_NOT_BOUND when
  // no live object has it; out is left as it was on failure.
  HRESULT bindObject(KroILinkableObject_var& out) const;
  // Canonical 8-4-4-4-12 hexadecimal form for 16 octets, plain hexadecimal otherwise.
  std::string ToString() const;

  // A new random (version 4) uuid.
  static KroCfgUuid Generate();
  // Registration of live objects; the object is not referenced, only found.
  static void Register(const SEQUENCE_octet& uuid, KroILinkableObject* object);
  static void Unregister(const SEQUENCE_octet& uuid, KroILinkableObject* object);
  static long RegisteredCount();
  // Asked by bindObject for a uuid that no live object of the process has; it binds out or fails with
  // its own code. Null (the default) leaves KRO_E_UUID_NOT_BOUND. The configuration server's
  // connection installs one.
  using Resolver = HRESULT (*)(const SEQUENCE_octet& uuid, KroILinkableObject_var& out);
  static void SetResolver(Resolver resolver);

  friend bool operator==(const KroCfgUuid& a, const KroCfgUuid& b) { return a.m_octets == b.m_octets; }

 private:
  SEQUENCE_octet m_octets;
  HRESULT m_status = S_OK;
};

// A uuid travels through dispatch as its octets.
template <>
struct KRO_PLATFORM_API KroDispatchValue<KroCfgUuid> : KroDispatchPlain<KroCfgUuid> {
  static constexpr KroVarType type = KroVT_OCTETS;
  static std::string TypeName() { return "KroCfgUuid"; }
  static bool Read(const KroVariant& v, Storage& out) {
    if (const SEQUENCE_octet* o = v.IfOctets()) return out = *o, true;
    return false;
  }
  static KroVariant Write(const Storage& uuid) { return KroVariant::Octets(uuid.octets()); }
};

// Written to a trace in its canonical form.
KRO_PLATFORM_API KroDmxTrace& operator<<(KroDmxTrace& trace, const KroCfgUuid& uuid);

// Gives a live object a fresh uuid and keeps it registered while the object lives. A member of the
// object, built after the parts that QueryInterface needs.
class KRO_PLATFORM_API KroUuidRegistration {
 public:
  explicit KroUuidRegistration(KroILinkableObject* object);
  ~KroUuidRegistration();
  KroUuidRegistration(const KroUuidRegistration&) = delete;
  KroUuidRegistration& operator=(const KroUuidRegistration&) = delete;
  const SEQUENCE_octet& uuid() const { return m_uuid; }
  // Takes the given uuid instead: an object rebuilt from the one a server keeps.
  void Assign(const SEQUENCE_octet& uuid);

 private:
  KroILinkableObject* m_object;
  SEQUENCE_octet m_uuid;
};
