// Documents: a feature catalog or a saved container, read from and written to the platform's text
// format (docs/catalog-format.md).
#pragma once

#include "KroExport.h"

#include <string>

#include "KroModelerInterfaces.h"

class KroContainer;

class KRO_PLATFORM_API KroDocument {
 public:
  KroDocument(std::string path, KroContainer* container, KroListValKroISpecObject_var roots);
  ~KroDocument();
  KroDocument(const KroDocument&) = delete;
  KroDocument& operator=(const KroDocument&) = delete;

  // The document's container, carrying one reference, when asked for "KroIContainer"; null otherwise.
  KroIContainer* GetDocumentContainer(const char* interfaceName);
  const std::string& GetPath() const { return m_path; }
  // The roots a document was saved with, in the order given to Save (repeats included). A document
  // saved from a whole container, or written by hand, has its objects, in file order, as roots.
  HRESULT GetRoots(KroListValKroISpecObject_var& roots) const;

 private:
  std::string m_path;
  KroContainer* m_container;  // one reference
  KroListValKroISpecObject_var m_roots;
};

class KRO_PLATFORM_API KroDocumentServices {
 public:
  // Reads the file into a new document, which the services own until Close (or the end of the
  // process). KRO_E_FILE_NOT_FOUND when the file cannot be read, KRO_E_NOT_REGULAR_FILE for a FIFO,
  // device or folder, KRO_E_FILE_TOO_LARGE over KroDoc::MaxFileSize() (1 GiB unless set),
  // KRO_E_BAD_FORMAT when its text is malformed, truncated or altered (a written document carries
  // its object count and a checksum); the message, naming the file and line, goes to standard error
  // and to LastError(). An object whose startup the file does not define gets an empty startup of
  // that name in the container, so that saving it again keeps its startup.
  static HRESULT Open(const char* path, KroDocument*& document, int flags = 0);
  // Writes a container: its startups, every object with its attribute values and the references
  // between its objects, and the startup of each object that is not one of the container's.
  // E_INVALIDARG for a null container, E_FAIL when a value refers to a spec object outside the
  // container or to a startup. Writing is crash-safe (see KroDoc::WriteFileAtomically): on any
  // failure the previous file is left as it was, and S_OK means the bytes are on disk; the file
  // codes are KRO_E_FILE_NOT_FOUND (no such folder), KRO_E_NOT_REGULAR_FILE (the path is a folder),
  // KRO_E_DISK_FULL, KRO_E_FILE_TOO_LARGE and KRO_E_WRITE_FAULT.
  static HRESULT Save(const KroIContainer_var& container, const char* path);
  // Writes the roots, every spec object they reach through spec-object-valued attributes, and the
  // startups of all of these, wherever they live. Reopening gives the roots back in order: they are
  // the document's first objects (ids 1, 2, ... in the order given, a repeated root written once),
  // the header line names them ("document version 1 roots [@1, @2]"), and GetRoots returns them.
  // E_INVALIDARG for a null root or a startup given as a root, E_FAIL when a value refers to a
  // startup; file codes and crash-safety as for a container.
  static HRESULT Save(const KroListValKroISpecObject_var& roots, const char* path);
  static void Close(KroDocument* document);
  static const std::string& LastError();
  // For clients that report failures their own way (the scripting statics): while quiet, messages go
  // to LastError() only, not to standard error. Returns the previous setting.
  static bool SetQuiet(bool quiet);
  static void ClearLastError();
};
