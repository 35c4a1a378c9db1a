// The configuration server's connection over omniORB: the provider that the platform loads from
// libKroCfgServerConnection.so when a process connects. It turns the platform's plain records into the
// server's model records and back, and every failure into the client's HRESULT and message.
#pragma once

#include <memory>

#include "CfgServerClient.h"
#include "KroCfgServerProvider.h"

class KroCfgServerOmniProvider final : public KroCfgServerProvider {
 public:
  explicit KroCfgServerOmniProvider(std::unique_ptr<CfgServerClient> client) : m_client(std::move(client)) {}

  HRESULT Ping(std::string& error) override;
  HRESULT Create(const std::vector<KroCfgServerObject>& objects, std::string& error) override;
  HRESULT ReadLinked(const KroCfgServerObject::Uuid& uuid, std::vector<KroCfgServerObject>& out,
                     std::string& error) override;

  static void ToRecord(const KroCfgServerObject& from, CfgServer::Record& to);
  // False, with the reason in error, for a record that is not a live model object.
  static bool FromRecord(const CfgServer::Record& from, KroCfgServerObject& to, std::string& error);

 private:
  std::unique_ptr<CfgServerClient> m_client;
};
