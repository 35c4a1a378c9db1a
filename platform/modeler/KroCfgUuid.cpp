#include "KroCfgUuid.h"

#include <sys/random.h>

#include <cerrno>
#include <random>
#include <unordered_map>

namespace {

struct OctetsHash {
  std::size_t operator()(const std::vector<unsigned char>& v) const noexcept {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(v.data()), v.size()));
  }
};

std::unordered_map<std::vector<unsigned char>, KroILinkableObject*, OctetsHash>& Registry() {
  static auto* registry = new std::unordered_map<std::vector<unsigned char>, KroILinkableObject*, OctetsHash>();
  return *registry;
}

KroCfgUuid::Resolver s_resolver = nullptr;

}  // namespace

KroCfgUuid::KroCfgUuid(const KroILinkableObject_var& object)
    : m_status(object ? object->GetUuid(m_octets) : E_NOINTERFACE) {
  if (FAILED(m_status)) m_octets.length(0);
}

HRESULT KroCfgUuid::bindObject(KroILinkableObject_var& out) const {
  if (m_octets.length() == 0) return KRO_E_UUID_INVALID;
  auto it = Registry().find(m_octets.bytes());
  if (it == Registry().end()) return s_resolver ? s_resolver(m_octets, out) : KRO_E_UUID_NOT_BOUND;
  KroILinkableObject_var found = it->second;
  if (!found) return E_NOINTERFACE;
  out = found;
  return S_OK;
}

std::string KroCfgUuid::ToString() const {
  std::string hex = m_octets.ToHex();
  if (hex.size() != 32) return hex;
  return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) + "-" +
         hex.substr(20);
}

KroCfgUuid KroCfgUuid::Generate() {
  // Fresh entropy from the kernel for every uuid: a seeded generator would repeat itself in forked
  // processes and collide between processes that drew the same seed, and uuids are persisted.
  std::vector<unsigned char> bytes(16);
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const ssize_t n = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
    if (n > 0) {
      filled += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      // No getrandom (very old kernel): the standard library's device source, read afresh.
      std::random_device device;
      while (filled < bytes.size()) {
        const unsigned int r = device();
        for (std::size_t j = 0; j < 4 && filled < bytes.size(); ++j)
          bytes[filled++] = static_cast<unsigned char>(r >> (8 * j));
      }
    }
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
  return KroCfgUuid(SEQUENCE_octet(std::move(bytes)));
}

void KroCfgUuid::Register(const SEQUENCE_octet& uuid, KroILinkableObject* object) {
  if (uuid.length() && object) Registry()[uuid.bytes()] = object;
}

void KroCfgUuid::Unregister(const SEQUENCE_octet& uuid, KroILinkableObject* object) {
  auto it = Registry().find(uuid.bytes());
  if (it != Registry().end() && it->second == object) Registry().erase(it);
}

void KroCfgUuid::SetResolver(Resolver resolver) { s_resolver = resolver; }

long KroCfgUuid::RegisteredCount() { return static_cast<long>(Registry().size()); }

KroDmxTrace& operator<<(KroDmxTrace& trace, const KroCfgUuid& uuid) {
  if (trace.IsActive()) trace << uuid.ToString();
  return trace;
}

KroUuidRegistration::KroUuidRegistration(KroILinkableObject* object)
    : m_object(object), m_uuid(KroCfgUuid::Generate().octets()) {
  KroCfgUuid::Register(m_uuid, m_object);
}

KroUuidRegistration::~KroUuidRegistration() { KroCfgUuid::Unregister(m_uuid, m_object); }

void KroUuidRegistration::Assign(const SEQUENCE_octet& uuid) {
  KroCfgUuid::Unregister(m_uuid, m_object);
  m_uuid = uuid;
  KroCfgUuid::Register(m_uuid, m_object);
}
