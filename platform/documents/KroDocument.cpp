#include "KroDocument.h"

#include <cstdio>
#include <memory>
#include <unordered_map>
#include <utility>

#include "KroDocumentBuilder.h"
#include "KroDocumentFile.h"
#include "KroDocumentReader.h"
#include "KroDocumentWriter.h"
#include "KroSpecModeler.h"

namespace {

// Set once the table of open documents is destroyed at exit. A plain flag outlives every static, so a
// client's destructor that runs later (a container closing at exit) can still ask.
bool s_documentsGone = false;

struct OpenDocumentTable {
  std::unordered_map<KroDocument*, std::unique_ptr<KroDocument>> documents;
  ~OpenDocumentTable() {
    s_documentsGone = true;
    // Closing a document may run client code that opens another: it finds the table gone.
    auto closing = std::move(documents);
    closing.clear();
  }
};

std::unordered_map<KroDocument*, std::unique_ptr<KroDocument>>& OpenDocuments() {
  static OpenDocumentTable table;
  return table.documents;
}

std::string& LastErrorText() {
  static std::string text;
  return text;
}

bool s_quiet = false;

HRESULT Fail(HRESULT code, std::string message) {
  if (!s_quiet) std::fprintf(stderr, "%s\n", message.c_str());
  LastErrorText() = std::move(message);
  return code;
}


HRESULT Write(KroDocumentWriter& writer, const char* path) {
  if (!writer.Prepare()) return Fail(writer.code(), writer.error());
  std::string error;
  HRESULT hr = KroDoc::WriteFileAtomically(
      path ? path : "", [&](const KroDoc::PieceWriter& put) { return writer.Emit(put); }, error);
  // A walk that fails while its lines go out leaves the file untouched and says why itself.
  if (FAILED(hr) && error.empty() && !writer.error().empty()) return Fail(writer.code(), writer.error());
  return FAILED(hr) ? Fail(hr, "KroDocumentServices::Save: " + error) : S_OK;
}

}  // namespace

KroDocument::KroDocument(std::string path, KroContainer* container, KroListValKroISpecObject_var roots)
    : m_path(std::move(path)), m_container(container), m_roots(std::move(roots)) {}

KroDocument::~KroDocument() {
  m_roots.RemoveAll();
  m_container->Release();
}

KroIContainer* KroDocument::GetDocumentContainer(const char* interfaceName) {
  if (!interfaceName || std::string_view(interfaceName) != "KroIContainer") return nullptr;
  m_container->AddRef();
  return m_container;
}

HRESULT KroDocument::GetRoots(KroListValKroISpecObject_var& roots) const {
  roots = m_roots;
  return S_OK;
}

const std::string& KroDocumentServices::LastError() { return LastErrorText(); }

bool KroDocumentServices::SetQuiet(bool quiet) { return std::exchange(s_quiet, quiet); }

void KroDocumentServices::ClearLastError() { LastErrorText().clear(); }

HRESULT KroDocumentServices::Open(const char* path, KroDocument*& document, int) {
  const std::string file = path ? path : "";
  if (s_documentsGone) {
    // The last-error text may be gone too: only standard error is left to say it.
    if (!s_quiet) std::fprintf(stderr, "KroDocumentServices::Open: %s: the process is ending; no document opens\n", file.c_str());
    return E_FAIL;
  }
  auto* container = new KroContainer(file);
  KroDocumentBuilder builder(container);
  KroDoc::ParseError err;
  KroDoc::Reader reader(file, builder, err);
  HRESULT hr = KroDoc::ReadFile(file, reader, err);
  if (SUCCEEDED(hr) && !builder.Finish(err)) {
    err.file = file;
    hr = KRO_E_BAD_FORMAT;
  }
  if (FAILED(hr)) {
    container->Release();
    return Fail(hr, err.what());
  }
  KroListValKroISpecObject_var roots = reader.Roots().empty() ? container->ListObjects() : builder.Roots(reader.Roots());
  auto owned = std::make_unique<KroDocument>(file, container, std::move(roots));
  document = owned.get();
  OpenDocuments().emplace(document, std::move(owned));
  return S_OK;
}

HRESULT KroDocumentServices::Save(const KroIContainer_var& container, const char* path) {
  if (!container) return Fail(E_INVALIDARG, "KroDocumentServices::Save: no container");
  KroDocumentWriter writer(true);
  KroListValKroISpecObject_var startUps = container->ListStartUps();
  for (int i = 1; i <= startUps.Size(); ++i)
    if (!writer.AddStartUp(startUps[i])) return Fail(writer.code(), writer.error());
  if (const KroContainer* modeler = container->GetModelerContainer()) {
    writer.AddListed(*modeler);
  } else {
    KroListValKroISpecObject_var objects = container->ListObjects();
    for (int i = 1; i <= objects.Size(); ++i) writer.AddListed(objects[i]);
  }
  return Write(writer, path);
}

HRESULT KroDocumentServices::Save(const KroListValKroISpecObject_var& roots, const char* path) {
  KroDocumentWriter writer(false);
  std::vector<KroDoc::Ref> ids;
  for (int i = 1; i <= roots.Size(); ++i) {
    if (!roots[i] || roots[i]->IsStartUp())
      return Fail(E_INVALIDARG, "KroDocumentServices::Save: root " + std::to_string(i) +
                                    (roots[i] ? " is a startup" : " is null"));
    ids.push_back(KroDoc::Ref{writer.Add(roots[i])});
  }
  writer.SetRoots(std::move(ids));
  return Write(writer, path);
}

void KroDocumentServices::Close(KroDocument* document) {
  if (!s_documentsGone) OpenDocuments().erase(document);
}
