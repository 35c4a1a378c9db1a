// The configuration manager of a connected process: the built-in manager, whose specifications,
// action subscribers, group modifications, modifications and filters are also stored on the
// configuration server, and which rebuilds from the server the live objects of uuids that the process
// has not seen. Every object it stored or rebuilt is kept for the rest of the process, so that a uuid
// costs at most one request. Internal to the platform: made by KroCfgServerConnection.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "DMXSession.h"
#include "KroCfgModel.h"
#include "KroCfgServerProvider.h"

class KroCfgServerManager final : public KroIDmxFactoryManager, public KroCfgManager {
 public:
  explicit KroCfgServerManager(KroCfgServerProvider* provider) : m_provider(provider) {}

  HRESULT QueryInterface(const IID& iid, void** out) override {
    return KroQueryInterfaces<KroIDmxFactoryManager, KroICfgManager>(this, iid, out);
  }
  KroUnicodeString GetSessionName() const override { return "server"; }

  // The built-in manager's objects, stored on the server before they are handed out; the server's
  // failure code (out untouched) when it cannot store them.
  HRESULT createSpecification(const KroUnicodeString& name, const KroUnicodeString& description,
                              const KroUnicodeString& alias, const KroUnicodeString& condition,
                              const KroUnicodeString& categoryName, const KroUnicodeString& categoryDescription,
                              KroICfgSimpleSpecification_var& out) override;
  HRESULT createActionSubscriber(const KroUnicodeString& name, QuorISubScribeGroupMod_var& out) override;
  HRESULT createGroupMod(const KroListValQuorISubScribeGroupMod_var& subscribers, KroICfgGroupMod_var& out) override;
  HRESULT createModification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                             const KroUnicodeString& secondEffectivity, const KroICfgGroupMod_var& group,
                             KroICfgModification_var& out) override;
  HRESULT createFilter(const KroUnicodeString& id, const KroUnicodeString& domain, const KroICfgContext_var& context,
                       const KroListValKroICfgNormalValue_var& values, int mode, boolean mode150,
                       KroICfgFilter_var& out) override;

  // Stores the object, and what it refers to that the server does not have yet, in one request.
  HRESULT Publish(KroBaseUnknown* object);
  // The live object of a uuid that no live object of the process has: one request for it and what it
  // refers to.
  HRESULT Bind(const SEQUENCE_octet& uuid, KroILinkableObject_var& out);

  long Requests() const { return m_requests; }
  const std::string& LastError() const { return m_lastError; }
  KroCfgServerProvider* Provider() const { return m_provider; }
  // Releases the kept objects (at the end of the process, before the transport goes).
  void Forget() { m_kept.clear(); }

 private:
  using Key = std::string;
  struct Batch;
  HRESULT Collect(KroBaseUnknown* object, Batch& batch);
  HRESULT Build(const Key& key, const std::unordered_map<Key, const KroCfgServerObject*>& records,
                KroILinkableObject_var& out);
  HRESULT Failed(HRESULT code, const std::string& message);

  KroCfgServerProvider* m_provider;  // owned by the connection
  std::unordered_map<Key, KroILinkableObject_var> m_kept;
  long m_requests = 0;
  std::string m_lastError;
};
