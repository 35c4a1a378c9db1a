#include "KroDocumentFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace KroDoc {

namespace {

std::uint64_t g_maxFileSize = kDefaultMaxFileSize;
SaveFaultHook g_faultHook = nullptr;

const char* FileKind(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

HRESULT CodeOf(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
      return KRO_E_DISK_FULL;
    case EFBIG:
      return KRO_E_FILE_TOO_LARGE;
    case ENOENT:
    case ENOTDIR:
      return KRO_E_FILE_NOT_FOUND;
    case EISDIR:
      return KRO_E_NOT_REGULAR_FILE;
    default:
      return KRO_E_WRITE_FAULT;
  }
}

// Runs one step of a save unless the test hook fails it first; -1 with errno set on failure.
template <class F>
long Step(SaveStep step, std::uint64_t written, F&& call) {
  if (g_faultHook)
    if (const int injected = g_faultHook(step, written)) {
      errno = injected;
      return -1;
    }
  return static_cast<long>(call());
}

}  // namespace

std::uint64_t MaxFileSize() { return g_maxFileSize; }
void SetMaxFileSize(std::uint64_t bytes) { g_maxFileSize = bytes; }
void SetSaveFaultHook(SaveFaultHook hook) { g_faultHook = hook; }

HRESULT ReadFile(const std::string& path, Reader& reader, ParseError& err) {
  auto unreadable = [&] {
    err = ParseError{path, 0, "cannot read the file"};
    return KRO_E_FILE_NOT_FOUND;
  };
  // Non-blocking, so that opening a FIFO without a writer returns at once; fstat then refuses it.
  const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return unreadable();
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};

  struct stat st {};
  if (::fstat(fd, &st) != 0) return unreadable();
  if (!S_ISREG(st.st_mode)) {
    err = ParseError{path, 0, std::string("not a regular file (") + FileKind(st.st_mode) + "); documents are read only from files"};
    return KRO_E_NOT_REGULAR_FILE;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  auto tooLarge = [&](std::uint64_t bytes) {
    err = ParseError{path, 0, "the file has " + std::to_string(bytes) + " bytes, over the size limit of " +
                                  std::to_string(g_maxFileSize) + " bytes"};
    return KRO_E_FILE_TOO_LARGE;
  };
  if (size > g_maxFileSize) return tooLarge(size);
  if (size == 0) {
    err = ParseError{path, 1, "the file is empty"};
    return KRO_E_BAD_FORMAT;
  }

  // The whole file in one buffer, fed at once: lines are parsed where they lie, none is copied. A
  // file that grows while it is read is read on, up to the limit.
  std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(size) + 1]);
  std::uint64_t capacity = size + 1, total = 0;
  for (;;) {
    if (total == capacity) {
      if (total > g_maxFileSize) return tooLarge(total);
      const std::uint64_t grown = std::min<std::uint64_t>(capacity * 2, g_maxFileSize + 1);
      std::unique_ptr<char[]> larger(new char[static_cast<std::size_t>(grown)]);
      std::memcpy(larger.get(), buffer.get(), static_cast<std::size_t>(total));
      buffer = std::move(larger);
      capacity = grown;
    }
    const ssize_t n = ::read(fd, buffer.get() + total, static_cast<std::size_t>(capacity - total));
    if (n < 0) {
      if (errno == EINTR) continue;
      return unreadable();
    }
    if (n == 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > g_maxFileSize) return tooLarge(total);  // it grew while being read
  }
  if (!reader.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(total)))) return KRO_E_BAD_FORMAT;
  return reader.Finish() ? S_OK : KRO_E_BAD_FORMAT;
}

bool ParseFile(const std::string& path, Document& out, ParseError& err) {
  Document doc;
  Collector collector(doc);
  Reader reader(path, collector, err);
  if (FAILED(ReadFile(path, reader, err))) return false;
  doc.version = reader.Version();
  doc.roots = reader.Roots();
  out = std::move(doc);
  return true;
}

// Temporary files of earlier saves of the same document that a killed process left behind. One that
// changed within the last minute may belong to a save still under way in another process, and stays.
static void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
  const std::string prefix = "." + base + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) continue;
    const std::string path = (folder == "/" ? "" : folder) + "/" + std::string(name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < now - 60) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

HRESULT WriteFileAtomically(const std::string& path, std::string_view text, std::string& error) {
  return WriteFileAtomically(path, std::vector<std::string_view>{text}, error);
}

HRESULT WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces, std::string& error) {
  return WriteFileAtomically(
      path,
      [&](const PieceWriter& put) {
        for (const std::string_view text : pieces)
          if (!put(text)) return false;
        return true;
      },
      error);
}

HRESULT WriteFileAtomically(const std::string& path, const std::function<bool(const PieceWriter&)>& produce,
                            std::string& error) {
  if (path.empty()) {
    error = "no file name given";
    return E_INVALIDARG;
  }
  auto fail = [&](const std::string& what, int err) {
    error = path + ": " + what + ": " + std::strerror(err);
    return CodeOf(err);
  };

  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  mode_t mode = 0;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      error = path + ": not a regular file (" + FileKind(st.st_mode) + "); the save would replace it";
      return KRO_E_NOT_REGULAR_FILE;
    }
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return fail("cannot look at the target", errno);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = (folder == "/" ? "" : folder) + "/." + base + ".tmp-XXXXXX";

  const int fd = static_cast<int>(Step(SaveStep::CreateTemporary, 0, [&] { return ::mkostemp(temp.data(), O_CLOEXEC); }));
  if (fd < 0) {
    const int err = errno;
    return fail(err == ENOENT ? "the folder does not exist" : "cannot create a temporary file beside it", err);
  }
  bool open = true;
  auto abandon = [&](const std::string& what, int err) {
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    return fail(what, err);
  };

  ::fchmod(fd, mode);  // best effort: the content matters, not the bits
  std::uint64_t written = 0;
  int writeError = 0;
  const PieceWriter put = [&](std::string_view text) {
    for (std::size_t done = 0; done < text.size();) {
      const std::size_t chunk = std::min<std::size_t>(text.size() - done, std::size_t{1} << 20);
      const long n = Step(SaveStep::Write, written, [&] { return ::write(fd, text.data() + done, chunk); });
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        writeError = n < 0 ? errno : EIO;
        return false;
      }
      done += static_cast<std::size_t>(n);
      written += static_cast<std::uint64_t>(n);
    }
    return true;
  };
  const bool made = produce(put);
  if (writeError) return abandon("cannot write", writeError);
  if (!made) {
    ::close(fd);
    ::unlink(temp.c_str());
    error.clear();
    return E_FAIL;
  }
  if (Step(SaveStep::SyncFile, written, [&] { return ::fsync(fd); }) != 0) return abandon("cannot sync to disk", errno);
  open = false;
  // The descriptor is released whatever close returns; a failed close may mean lost data.
  int closeError = g_faultHook ? g_faultHook(SaveStep::Close, written) : 0;
  if (::close(fd) != 0 && !closeError) closeError = errno;
  if (closeError) {
    ::unlink(temp.c_str());
    return fail("cannot close", closeError);
  }
  if (Step(SaveStep::Rename, written, [&] { return ::rename(temp.c_str(), target.c_str()); }) != 0)
    return abandon("cannot replace the file", errno);
  RemoveStaleTemporaries(folder, base);

  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  long synced = -1;
  int err = errno;
  if (dir >= 0) {
    synced = Step(SaveStep::SyncFolder, written, [&] { return ::fsync(dir); });
    err = errno;
    ::close(dir);
  }
  if (synced != 0 && err != EINVAL)
    return fail("the new content replaced the old but the folder could not be synced", err);
  return S_OK;
}

}  // namespace KroDoc
