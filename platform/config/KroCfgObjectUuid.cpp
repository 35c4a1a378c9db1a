#include "KroCfgObjectUuid.h"

namespace {

thread_local const SEQUENCE_octet* t_given = nullptr;

}  // namespace

KroCfgObjectUuid::KroCfgObjectUuid(KroILinkableObject* object) : m_object(object) {
  if (t_given) {
    m_uuid = *t_given;
    t_given = nullptr;  // one object takes it; the objects it is built from were built before
  } else {
    m_uuid = KroCfgUuid::Generate().octets();
  }
  KroCfgUuid::Register(m_uuid, m_object);
}

KroCfgObjectUuid::~KroCfgObjectUuid() { KroCfgUuid::Unregister(m_uuid, m_object); }

KroCfgObjectUuid::Given::Given(const SEQUENCE_octet& uuid) { t_given = &uuid; }

KroCfgObjectUuid::Given::~Given() { t_given = nullptr; }
