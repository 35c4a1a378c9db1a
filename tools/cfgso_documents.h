// The document commands of cfgso: showing a saved document, and saving what a command made.
#pragma once

#include <string>

#include "KroTypes.h"

// An attribute kind as the commands print it ("integer", "list string", "octets", ...).
std::string KindText(TCKind kind, TCKind element);

// cfgso show [--json] FILE: the document's objects with their startup and attributes, each object
// that another one refers to printed inside it, indented (in JSON: nested). Returns the exit status.
int ShowDocument(const char* path, bool json);

// Saves every spec object of the factory's container that no other one refers to, with all it
// reaches and the startups they need. Returns the exit status.
int SaveWhatWasMade(const char* path);
// --save writes every object made, which only the store mode keeps: a transient container (from
// KRO_CONTAINER_MODE) is switched to the store mode, with a note on standard error.
int KeepEverythingMade();
