// Document files on disk: the checks made before a file is read, reading it in pieces, and replacing
// a file so that a crash, a kill or a full disk never leaves it damaged.
#pragma once

#include "KroExport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "KroDocumentFormat.h"
#include "KroDocumentReader.h"
#include "KroTypes.h"

namespace KroDoc {

// The largest file that reading accepts: 1 GiB unless set otherwise.
constexpr std::uint64_t kDefaultMaxFileSize = std::uint64_t{1} << 30;
std::uint64_t MaxFileSize();
void SetMaxFileSize(std::uint64_t bytes);

// Feeds the file to the reader in pieces and finishes it. Before reading a byte it refuses what is not
// a regular file (a FIFO or a device would block or never end, a folder has no text), a file over
// MaxFileSize(), and an empty file (what a truncation leaves). Results: S_OK, KRO_E_FILE_NOT_FOUND
// (missing or unreadable: "file: cannot read the file"), KRO_E_NOT_REGULAR_FILE, KRO_E_FILE_TOO_LARGE,
// KRO_E_BAD_FORMAT; err says why.
HRESULT ReadFile(const std::string& path, Reader& reader, ParseError& err);
// A whole document from a file, with the checks of ReadFile; on failure `out` is left untouched.
bool ParseFile(const std::string& path, Document& out, ParseError& err);

// Makes `text` the content of the file at `path` so that the file holds either its previous content or
// all of the new one, whatever happens meanwhile. The text goes to a temporary file in the same
// folder; every write and the close are checked, the temporary file is synced to disk, renamed over
// the target, and the folder is synced so that the rename itself is durable. After the rename, temporary
// files of earlier saves of the same document that a killed process left (unchanged for a minute) are
// removed. On any failure before
// the rename the temporary file is removed and the target is untouched. A symbolic link is followed:
// the file it names is replaced. The replaced file keeps its permission bits; a new one gets 0666
// less the umask. Results: S_OK only once the bytes and the rename are on disk; E_INVALIDARG (no
// path), KRO_E_FILE_NOT_FOUND (the folder does not exist), KRO_E_NOT_REGULAR_FILE (the target is a
// folder or another non-regular file), KRO_E_DISK_FULL, KRO_E_FILE_TOO_LARGE (over the process's
// file-size limit), KRO_E_WRITE_FAULT (any other failure). A failure to sync the folder comes after
// the rename: the new content is in place but reported as not known to be durable (KRO_E_WRITE_FAULT);
// a file system that cannot sync folders at all (EINVAL) is not counted as a failure.
HRESULT WriteFileAtomically(const std::string& path, std::string_view text, std::string& error);
// The same for a text in pieces, written one after the other.
HRESULT WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces, std::string& error);
// The same for a text made while it is written, so that it need not be held whole: `produce` hands each
// piece in order to the writer it is given, which returns false once a write has failed. When `produce`
// returns false of its own (no write failed), the temporary file is removed, the target is untouched,
// and the result is E_FAIL with `error` empty: the producer says why.
using PieceWriter = std::function<bool(std::string_view)>;
HRESULT WriteFileAtomically(const std::string& path, const std::function<bool(const PieceWriter&)>& produce,
                            std::string& error);

// Fault injection for tests: the hook is called before each step of WriteFileAtomically with the
// number of bytes written so far; a nonzero result makes that step fail with that errno value.
enum class SaveStep { CreateTemporary, Write, SyncFile, Close, Rename, SyncFolder };
using SaveFaultHook = int (*)(SaveStep step, std::uint64_t bytesWritten);
void SetSaveFaultHook(SaveFaultHook hook);

}  // namespace KroDoc
