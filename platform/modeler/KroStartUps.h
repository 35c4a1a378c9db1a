// Finding and creating the startups of a container.
#pragma once

#include "KroExport.h"

#include "KroModelerInterfaces.h"

// The startup of that name (and of that type, unless type is empty) in the container, carrying one
// reference; null when there is none. The interface name says how the caller means to use it.
KRO_PLATFORM_API KroBaseUnknown* FindStartUp(const char* interfaceName, const KroUnicodeString& name, const KroUnicodeString& type,
                            const KroIContainer_var& container);
// A new startup in the container, inheriting the attributes of base when given; null when the
// container is null, the name empty or already a startup of that container.
KRO_PLATFORM_API KroISpecObject* CreateStartUp(const KroUnicodeString& name, const KroUnicodeString& type,
                              const char* interfaceClassName, const KroIContainer_var& container,
                              const KroUnicodeString& text, const KroISpecObject_var& base);

// The container mode that KRO_CONTAINER_MODE asks for ("store" or "transient"): true for transient. An
// unknown value is reported on standard error once, and the store mode stays.
KRO_PLATFORM_API bool KroContainerTransientFromEnvironment();
