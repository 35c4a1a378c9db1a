// Document text from the fuzzer (either format version): parsed, opened as a file, saved and reopened.
// A valid document must write back to text that reads the same, open, save, open, save must give the
// same file twice, and a saved file must be what the writer of parsed documents writes for it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "KroDocument.h"
#include "KroDocumentFormat.h"
#include "KroSpecModeler.h"

namespace {

std::string g_dir;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "DocumentFuzz: %s\n", what);
    std::abort();
  }
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Opens the file, saves it (a whole container, or the document's roots) and returns the saved text.
std::string OpenAndSave(const std::string& from, const std::string& to, bool byRoots) {
  KroDocument* document = nullptr;
  if (FAILED(KroDocumentServices::Open(from.c_str(), document, 0))) return {};
  HRESULT hr;
  if (byRoots) {
    KroListValKroISpecObject_var roots;
    document->GetRoots(roots);
    hr = KroDocumentServices::Save(roots, to.c_str());
  } else {
    KroIContainer_var container = KroIContainer_var::Adopt(document->GetDocumentContainer("KroIContainer"));
    hr = KroDocumentServices::Save(container, to.c_str());
  }
  KroDocumentServices::Close(document);
  Check(hr == S_OK, "a document that opened could not be saved");
  return Slurp(to);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Saves sync to disk: a memory file system keeps that cheap.
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  g_dir = std::string(base) + "/kro-document-fuzz-" + std::to_string(getpid());
  std::string command = "mkdir -p '" + g_dir + "'";
  Check(std::system(command.c_str()) == 0, "cannot make the work folder");
  std::atexit([] { std::system(("rm -rf '" + g_dir + "'").c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const long live = KroBaseUnknown::LiveObjects();

  KroDoc::Document doc;
  KroDoc::ParseError err;
  if (KroDoc::Parse(text, "fuzz.kro", doc, err)) {
    const std::string written = KroDoc::Write(doc);
    KroDoc::Document again;
    Check(KroDoc::Parse(written, "again.kro", again, err), "written text does not parse");
    Check(KroDoc::Write(again) == written, "written text does not read back the same");
  } else {
    Check(!err.message.empty() && err.line >= 0, "a failure without a message");
  }

  const std::string input = g_dir + "/input.kro";
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  for (bool byRoots : {false, true}) {
    const std::string first = OpenAndSave(input, g_dir + "/first.kro", byRoots);
    if (first.empty()) break;
    const std::string second = OpenAndSave(g_dir + "/first.kro", g_dir + "/second.kro", byRoots);
    Check(!second.empty(), "a saved document does not open");
    Check(first == second, "open, save, open, save wrote two different files");
    // A save writes the modeler's objects from their slots; the writer of parsed documents must write
    // the same text for what it reads back.
    KroDoc::Document saved;
    Check(KroDoc::Parse(first, "first.kro", saved, err), "a saved document does not parse");
    Check(KroDoc::Write(saved) == first, "the container's writer and the document writer disagree");
  }
  Check(KroBaseUnknown::LiveObjects() == live, "components leaked");
  return 0;
}
