// The document commands of cfgso: showing a saved document, and saving what a command made.
#pragma once

// cfgso show [--json] FILE: the document's objects with their startup and attributes, each object
// that another one refers to printed inside it, indented (in JSON: nested). Returns the exit status.
int ShowDocument(const char* path, bool json);

// Saves every spec object of the factory's container that no other one refers to, with all it
// reaches and the startups they need. Returns the exit status.
int SaveWhatWasMade(const char* path);
