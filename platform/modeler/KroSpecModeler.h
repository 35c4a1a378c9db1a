// The spec-object modeler's own classes, for the platform, the library's sources, tools and tests:
// spec objects with shared layouts and slot storage, keys, containers with their collector. Not
// installed; clients reach the modeler through KroModelerInterfaces.h and KroStartUps.h.
#pragma once

#include "KroExport.h"

#include "KroContainer.h"
#include "KroSlot.h"
#include "KroSpecAttrRef.h"
#include "KroSpecLayout.h"
#include "KroSpecObject.h"
#include "KroStartUps.h"

