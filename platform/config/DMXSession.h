// The client session and its factory manager: the entry point through which live objects are made.
#pragma once

#include "KroExport.h"

#include "KroModelerInterfaces.h"

KRO_DECLARE_INTERFACE(KroIDmxFactoryManager);
KRO_DECLARE_INTERFACE(KroIDmxFactoryObject);

// A live object made by the session's factory manager.
class KRO_PLATFORM_API KroIDmxFactoryObject : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroIDmxFactoryObject)
};

// Makes the session's live objects. Other roles (the configuration manager) are further interfaces of
// the same object.
class KRO_PLATFORM_API KroIDmxFactoryManager : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroIDmxFactoryManager)
  virtual KroUnicodeString GetSessionName() const = 0;
};

class KRO_PLATFORM_API DMXSession {
 public:
  // The process's session, opened on first call; null when sessions are switched off.
  static DMXSession* OpenSession();
  // Fills out with the session's factory manager.
  HRESULT GetDMXObjectFactory(KroIDmxFactoryManager_var& out);

  // Replaces the factory manager handed out (null restores the built-in one). The session keeps one
  // reference on it until it is replaced or the process ends.
  static void SetFactoryManager(KroIDmxFactoryManager* manager);
  // Makes OpenSession answer null, as when no session can be opened. For tests.
  static void SetAvailable(bool available);
  // Whether the built-in factory manager was handed out already (a connection to the configuration
  // server must come before).
  static bool ManagerMade();
};
