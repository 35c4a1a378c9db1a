// Documents: a feature catalog or a saved container, read from and written to the platform's text
// format (docs/catalog-format.md).
#pragma once

#include "KroExport.h"

#include <string>

#include "KroModelerInterfaces.h"

class KroContainer;

class KRO_PLATFORM_API KroDocument {
 public:
  KroDocument(std::string path, KroContainer* container);
  ~KroDocument();
  KroDocument(const KroDocument&) = delete;
  KroDocument& operator=(const KroDocument&) = delete;

  // The document's container, carrying one reference, when asked for "KroIContainer"; null otherwise.
  KroIContainer* GetDocumentContainer(const char* interfaceName);
  const std::string& GetPath() const { return m_path; }

 private:
  std::string m_path;
  KroContainer* m_container;  // one reference
};

class KRO_PLATFORM_API KroDocumentServices {
 public:
  // Reads the file into a new document, which the services own until Close (or the end of the
  // process). KRO_E_FILE_NOT_FOUND when the file cannot be read, KRO_E_BAD_FORMAT when its text is
  // malformed; the message, naming the file and line, goes to standard error and to LastError().
  static HRESULT Open(const char* path, KroDocument*& document, int flags = 0);
  // Writes a container with every startup, object, attribute value and reference between its objects.
  // E_INVALIDARG for a null container, E_FAIL when a value refers to a spec object outside the
  // container, KRO_E_FILE_NOT_FOUND when the file cannot be written.
  static HRESULT Save(const KroIContainer_var& container, const char* path);
  static void Close(KroDocument* document);
  static const std::string& LastError();
};
