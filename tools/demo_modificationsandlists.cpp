// cfgso demo: ModificationsAndLists.
#include "demo_modificationsandlists.h"

#include <cstdio>

#include "KroCfgModelBuilder.h"
#include "KroCfgSOFactory.h"
#include "KroCfgSOFilter.h"
#include "KroCfgSOServices.h"
#include "KroCfgUuid.h"
#include "cfgso_results.h"

namespace {

namespace B = KroCfgModelBuilder;

const char* Text(const KroUnicodeString& s) { return s.ConvertToChar(); }

int Modification() {
  KroICfgSOModification_var record;
  if (FAILED(KroCfgSOFactory::createModification(record))) return 1;
  // A group whose subscribers are the actions X and Y and one subscriber that is no action.
  KroICfgModification_var modification = B::Modification(
      "MOD-042", "2004-03-15", "Serial 120",
      B::GroupMod({B::ActionSubscriber("X"), B::PlainSubscriber(), B::ActionSubscriber("Y")}));
  HRESULT hr = record->setModification(modification);

  KroUnicodeString name, actions, effectivity;
  KroCfgUuid uuid;
  KroICfgModification_var bound;
  record->getName(name);
  record->getActionName(actions);
  record->getEffectivityString(effectivity);
  record->getUuid(uuid);
  HRESULT underAction = record->isUnderAction();
  record->getModification(bound);
  std::printf("Modification (setModification %s)\n", ResultText(hr).c_str());
  std::printf("  modName: %s\n  modUid: %s\n  modEffStr: %s\n  modUnderAct: %s\n  modActName: %s\n", Text(name),
              uuid.ToString().c_str(), Text(effectivity), underAction == S_OK ? "true" : "false", Text(actions));
  std::printf("  binds back to the live modification: %s\n", bound.ptr() == modification.ptr() ? "yes" : "no");
  return SUCCEEDED(hr) && bound.ptr() == modification.ptr() ? 0 : 1;
}

int Filter() {
  KroICfgSOFilter_var record;
  if (FAILED(KroCfgSOFactory::createFilter(record))) return 1;
  KroICfgFilter_var filter = B::Filter({"F-7", "Powertrain", B::Context("Plant A"), {}, 2, 1});
  HRESULT hr = record->setFilter(filter);
  KroICfgFilter_var bound;
  record->getFilter(bound);

  // The record's own attributes, under the class's names.
  KroISpecObject_var so = record;
  KroUnicodeString id, domain;
  int mode = 0;
  boolean mode150 = 0;
  SEQUENCE_octet uuid;
  KroCfgSOServices::GetStringValue(so, KroCfgSOFilter::s_st_NAME, id);
  KroCfgSOServices::GetStringValue(so, KroCfgSOFilter::s_st_DOMAIN, domain);
  KroCfgSOServices::GetByteArrayValue(so, KroCfgSOFilter::s_st_UID, uuid);
  KroCfgSOServices::GetIntegerValue(so, KroCfgSOFilter::s_st_MODE, mode);
  KroCfgSOServices::GetBooleanValue(so, KroCfgSOFilter::s_st_MODE_150, mode150);
  std::printf("Filter (setFilter %s)\n", ResultText(hr).c_str());
  std::printf("  name: %s\n  domain: %s\n  uid: %s\n  mode: %d\n  mode150: %s\n", Text(id), Text(domain),
              KroCfgUuid(uuid).ToString().c_str(), mode, mode150 ? "true" : "false");
  std::printf("  binds back to the live filter: %s\n", bound.ptr() == filter.ptr() ? "yes" : "no");
  return SUCCEEDED(hr) && bound.ptr() == filter.ptr() ? 0 : 1;
}

int VariabilitySpace() {
  KroICfgSOVariabilitySpace_var space;
  if (FAILED(KroCfgSOFactory::createVariabilitySpace(space))) return 1;
  HRESULT hr = S_OK;
  auto keep = [&hr](HRESULT r) { if (FAILED(r)) hr = r; };
  keep(space->setName("VS body variants"));
  keep(space->setUuid(KroCfgUuid::Generate().octets()));
  keep(space->setCOUuid(KroCfgUuid::Generate().octets()));
  keep(space->setCODesc("configured object: body in white"));
  keep(space->setCVUuid(KroCfgUuid::Generate().octets()));
  keep(space->setCVName("CV-2004"));
  keep(space->setCVInfo("released"));

  KroUnicodeString name, coDesc, cvName, cvInfo;
  SEQUENCE_octet uuid, coUuid, cvUuid;
  space->getName(name);
  space->getUuid(uuid);
  space->getCOUuid(coUuid);
  space->getCODesc(coDesc);
  space->getCVUuid(cvUuid);
  space->getCVName(cvName);
  space->getCVInfo(cvInfo);
  std::printf("Variability space\n");
  std::printf("  name: %s\n  uuid: %s\n  CO uuid: %s\n  CO description: %s\n", Text(name),
              KroCfgUuid(uuid).ToString().c_str(), KroCfgUuid(coUuid).ToString().c_str(), Text(coDesc));
  std::printf("  CV uuid: %s\n  CV name: %s\n  CV info: %s\n", KroCfgUuid(cvUuid).ToString().c_str(), Text(cvName),
              Text(cvInfo));
  return SUCCEEDED(hr) ? 0 : 1;
}

int UuidList() {
  KroICfgSOUuidList_var list;
  if (FAILED(KroCfgSOFactory::createUuidList(list))) return 1;
  int failures = 0;
  for (int i = 0; i < 3; ++i) failures += FAILED(list->Append(KroCfgUuid::Generate().octets()));
  std::printf("Uuid list (%d elements)\n", list->Size());
  for (long position = 1; position <= list->Size(); ++position) {
    SEQUENCE_octet uuid;
    failures += FAILED(list->ElementAt(position, uuid));
    std::printf("  %ld: %s\n", position, KroCfgUuid(uuid).ToString().c_str());
  }
  return failures ? 1 : 0;
}

}  // namespace

int DemoModificationsAndLists() {
  int failures = 0;
  for (int (*part)() : {Modification, Filter, VariabilitySpace, UuidList}) failures += part() != 0;
  if (failures) std::fprintf(stderr, "cfgso demo: %d part(s) of ModificationsAndLists failed\n", failures);
  return failures ? 1 : 0;
}
