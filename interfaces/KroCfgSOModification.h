// Keeps a configuration modification in a "CfgSOModification" spec object: name, uuid, effectivity
// text, under-action flag and the names of the actions of its group modification. Attributes are
// reached through five class-wide keys, looked up once per process.
#pragma once

#include "KroCfgSOExport.h"

#include "KroCfgModel.h"
#include "KroCfgSOFramework.h"

class KRO_CFGSO_API KroCfgSOModification : public KroBaseUnknown {
  KRO_DECLARE_EXTENSION_CLASS(KroCfgSOModification)
 public:
  HRESULT getName(KroUnicodeString& name);
  HRESULT getUuid(KroCfgUuid& uuid);
  HRESULT getActionName(KroUnicodeString& actionName);
  HRESULT getEffectivityString(KroUnicodeString& effectivity);
  HRESULT isUnderAction();
  HRESULT setModification(const KroICfgModification_var& modification);
  HRESULT getModification(KroICfgModification_var& modification);

  // Empties the five attributes. Raises the null-handle error when the spec object has no attribute access.
  void clear();
  // Fills the five keys from this spec object unless they are already set. Raises the null-handle
  // error, storing nothing, when the spec object has no attribute access or lacks one of the attributes.
  static void initKeys(const KroISpecObject_var& specObject);

 private:
  // Null at load, filled by the first initKeys, released at unload.
  static int m_sp_ModName_Key_counter;
  static int m_sp_ModUid_Key_counter;
  static int m_sp_ActName_Key_counter;
  static int m_sp_EffStr_Key_counter;
  static int m_sp_UnderAct_Key_counter;
  static KroLibraryStatic<KroISpecAttrKey_var> m_sp_ModName_Key;
  static KroLibraryStatic<KroISpecAttrKey_var> m_sp_ModUid_Key;
  static KroLibraryStatic<KroISpecAttrKey_var> m_sp_ActName_Key;
  static KroLibraryStatic<KroISpecAttrKey_var> m_sp_EffStr_Key;
  static KroLibraryStatic<KroISpecAttrKey_var> m_sp_UnderAct_Key;
};
