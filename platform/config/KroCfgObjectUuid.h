// The uuid of a live model object, registered for as long as the object lives. A new object draws a
// fresh one; an object rebuilt from the configuration server is given the server's before it is
// built, so that no uuid is drawn only to be replaced.
#pragma once

#include "KroCfgUuid.h"

class KroCfgObjectUuid {
 public:
  // A member of the object, built after the parts that QueryInterface needs.
  explicit KroCfgObjectUuid(KroILinkableObject* object);
  ~KroCfgObjectUuid();
  KroCfgObjectUuid(const KroCfgObjectUuid&) = delete;
  KroCfgObjectUuid& operator=(const KroCfgObjectUuid&) = delete;

  const SEQUENCE_octet& uuid() const { return m_uuid; }

  // While one lives, the next model object built on this thread takes uuid instead of a fresh one.
  class Given {
   public:
    explicit Given(const SEQUENCE_octet& uuid);
    ~Given();
    Given(const Given&) = delete;
    Given& operator=(const Given&) = delete;
  };

 private:
  KroILinkableObject* m_object;
  SEQUENCE_octet m_uuid;
};
