// The configuration model: live configuration objects (intervals, milestones, specifications,
// expressions, effectivities, modifications, filters, normal values) and the manager that makes new
// ones. Every operation returns HRESULT except getType and getSign; out-parameters come last, and an
// operation that fails leaves them as they were.
#pragma once

#include "KroExport.h"

#include <string>
#include <utility>
#include <vector>

#include "KroCfgUuid.h"
#include "KroTime.h"

KRO_DECLARE_INTERFACE(KroICfgManager);
KRO_DECLARE_INTERFACE(KroICfgInterval);
KRO_DECLARE_INTERFACE(KroICfgValue);
KRO_DECLARE_INTERFACE(KroICfgMileStone);
KRO_DECLARE_INTERFACE(KroICfgSpecCategory);
KRO_DECLARE_INTERFACE(KroICfgSimpleSpecification);
KRO_DECLARE_INTERFACE(KroICfgSignedSpec);
KRO_DECLARE_INTERFACE(KroICfgSpecANDExpression);
KRO_DECLARE_INTERFACE(KroICfgBasicEffectivity);
KRO_DECLARE_INTERFACE(KroICfgEffectivity);
KRO_DECLARE_INTERFACE(KroICfgXEff);
KRO_DECLARE_INTERFACE(KroICfgModification);
KRO_DECLARE_INTERFACE(KroICfgGroupMod);
KRO_DECLARE_INTERFACE(QuorISubScribeGroupMod);
KRO_DECLARE_INTERFACE(KroIDmxAFLAction);
KRO_DECLARE_INTERFACE(QuorINamedObject);
KRO_DECLARE_INTERFACE(KroICfgContext);
KRO_DECLARE_INTERFACE(KroICfgNormalValue);
KRO_DECLARE_INTERFACE(KroICfgFilter);

using KroListValKroICfgInterval_var = KroList<KroICfgInterval_var>;
using KroListValKroICfgSimpleSpecification_var = KroList<KroICfgSimpleSpecification_var>;
using KroListValKroICfgSignedSpec_var = KroList<KroICfgSignedSpec_var>;
using KroListValKroICfgBasicEffectivity_var = KroList<KroICfgBasicEffectivity_var>;
using KroListValQuorISubScribeGroupMod_var = KroList<QuorISubScribeGroupMod_var>;
using KroListValKroICfgNormalValue_var = KroList<KroICfgNormalValue_var>;

// Makes new, empty model objects, and collects the errors reported to the client.
class KRO_PLATFORM_API KroICfgManager : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgManager)
  // An end of 0 or less reads back as infinite.
  virtual HRESULT createDateInterval(const KroTime& start, const KroTime& end, KroICfgInterval_var& out) = 0;
  virtual HRESULT createInfiniteDateInterval(const KroTime& start, KroICfgInterval_var& out) = 0;
  // A negative end (conventionally -1) is infinite.
  virtual HRESULT createRangeInterval(int start, int end, KroICfgInterval_var& out) = 0;
  virtual HRESULT createSpecANDExpression(KroICfgSpecANDExpression_var& out) = 0;
  virtual HRESULT createSignedSpec(KroICfgSignedSpec_var& out) = 0;
  virtual HRESULT createBasicEffectivity(KroICfgBasicEffectivity_var& out) = 0;
  virtual HRESULT createEffectivity(KroICfgEffectivity_var& out) = 0;
  virtual HRESULT createXEff(const KroUnicodeString& domain, KroICfgXEff_var& out) = 0;
  virtual HRESULT setError(int code, int flag) = 0;
  // Adds a parameter (one-based position) to the error last set.
  virtual HRESULT addErrorParameter(const KroUnicodeString& text, int position) = 0;
};

// A span on the date axis or on the rank axis.
class KRO_PLATFORM_API KroICfgInterval : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgInterval)
  enum Kind { Date = 1, Range = 2 };
  virtual int getType() = 0;
  // Date intervals only (E_FAIL otherwise); end is the time value 0 when infinite.
  virtual HRESULT getDateBounds(KroTime& start, KroTime& end) = 0;
  // Range intervals only (E_FAIL otherwise); end is negative when infinite.
  virtual HRESULT getRangeBounds(int& start, int& end) = 0;
};

// The value of a milestone: a date or a rank.
class KRO_PLATFORM_API KroICfgValue : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgValue)
  enum Kind { Date = 1, Range = 2 };
  virtual int getType() = 0;
  // Each fails (E_FAIL) on a value of the other kind.
  virtual HRESULT getDateValue(KroTime& value) = 0;
  virtual HRESULT getRangeValue(int& value) = 0;
};

class KRO_PLATFORM_API KroICfgMileStone : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgMileStone)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getValue(KroICfgValue_var& value) = 0;
};

class KRO_PLATFORM_API KroICfgSpecCategory : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSpecCategory)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getDescription(KroUnicodeString& description) = 0;
};

class KRO_PLATFORM_API KroICfgSimpleSpecification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSimpleSpecification)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getDescription(KroUnicodeString& description) = 0;
  virtual HRESULT getAlias(KroUnicodeString& alias) = 0;
  virtual HRESULT getConditionString(KroUnicodeString& condition) = 0;
  // Null (S_OK) for a specification without category.
  virtual HRESULT getCategory(KroICfgSpecCategory_var& category) = 0;
};

// One term of an AND-expression: a specification and its sign. Any integer is kept as the sign.
class KRO_PLATFORM_API KroICfgSignedSpec : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSignedSpec)
  enum Sign { Negative = -1, Positive = 1 };
  virtual int getSign() = 0;
  virtual HRESULT setSign(int sign) = 0;
  virtual HRESULT getSpecification(KroICfgSimpleSpecification_var& specification) = 0;
  virtual HRESULT setSpecification(const KroICfgSimpleSpecification_var& specification) = 0;
};

class KRO_PLATFORM_API KroICfgSpecANDExpression : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSpecANDExpression)
  // Replaces the list's content by the terms, in order.
  virtual HRESULT getSignedSpecs(KroListValKroICfgSignedSpec_var& terms) = 0;
  // Appends; E_INVALIDARG for a null term.
  virtual HRESULT addSignedSpec(const KroICfgSignedSpec_var& term) = 0;
};

// Intervals (at most one per axis in practice) plus an optional AND-expression.
class KRO_PLATFORM_API KroICfgBasicEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgBasicEffectivity)
  virtual HRESULT getIntervals(KroListValKroICfgInterval_var& intervals) = 0;
  // Null (S_OK) when there is none.
  virtual HRESULT getSpecExpression(KroICfgSpecANDExpression_var& expression) = 0;
  // Appends to the intervals; E_INVALIDARG for null.
  virtual HRESULT setInterval(const KroICfgInterval_var& interval) = 0;
  // Null removes the expression.
  virtual HRESULT setSpecExpression(const KroICfgSpecANDExpression_var& expression) = 0;
};

class KRO_PLATFORM_API KroICfgEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgEffectivity)
  // Appends; E_INVALIDARG for null.
  virtual HRESULT addBasicEffectivity(const KroICfgBasicEffectivity_var& basic) = 0;
};

// An effectivity within a domain.
class KRO_PLATFORM_API KroICfgXEff : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgXEff)
  enum SetMode { Add = 0, Replace = 1 };
  virtual HRESULT getDomain(KroUnicodeString& domain) = 0;
  virtual HRESULT getBasicEffectivities(KroListValKroICfgBasicEffectivity_var& basics) = 0;
  // Replace (1) takes the effectivity's basic effectivities in place of the held ones, Add (0) appends
  // them. E_INVALIDARG for a null effectivity or another mode.
  virtual HRESULT setEffectivity(const KroICfgEffectivity_var& effectivity, int mode) = 0;
};

class KRO_PLATFORM_API KroICfgModification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgModification)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
  virtual HRESULT getEffectivityString(KroUnicodeString& first, KroUnicodeString& second) = 0;
  // Null (S_OK) when the modification is in no group.
  virtual HRESULT getGroupMod(KroICfgGroupMod_var& group) = 0;
};

class KRO_PLATFORM_API KroICfgGroupMod : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgGroupMod)
  virtual HRESULT getSubscribers(KroListValQuorISubScribeGroupMod_var& subscribers) = 0;
};

// A subscriber of a group modification. Actions among them also answer KroIDmxAFLAction and
// QuorINamedObject.
class KRO_PLATFORM_API QuorISubScribeGroupMod : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorISubScribeGroupMod)
};

class KRO_PLATFORM_API KroIDmxAFLAction : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroIDmxAFLAction)
};

class KRO_PLATFORM_API QuorINamedObject : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorINamedObject)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
};

// The configuration context a filter belongs to.
class KRO_PLATFORM_API KroICfgContext : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgContext)
  virtual HRESULT getName(KroUnicodeString& name) = 0;
};

class KRO_PLATFORM_API KroICfgNormalValue : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgNormalValue)
  // Both intervals are never null (an absent one has a kind that is neither Date nor Range); the
  // condition and the modification may be.
  virtual HRESULT getValues(KroICfgInterval_var& dateInterval, KroICfgInterval_var& rangeInterval,
                            KroICfgSimpleSpecification_var& condition, KroICfgModification_var& modification) = 0;
  virtual HRESULT getStartMilestoneName(KroUnicodeString& name) = 0;
  virtual HRESULT getEndMilestoneName(KroUnicodeString& name) = 0;
};

class KRO_PLATFORM_API KroICfgFilter : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgFilter)
  virtual HRESULT getId(KroUnicodeString& id) = 0;
  virtual HRESULT getDomainAndContext(KroICfgContext_var& context, KroUnicodeString& domain,
                                      KroListValKroICfgNormalValue_var& values) = 0;
  virtual HRESULT getMode(int& mode) = 0;
  virtual HRESULT getMode150(boolean& mode150) = 0;
};

// Entry point of the model: the session's factory manager, as a configuration manager. Null only when
// a replacement factory manager without that role was installed in the session.
class KRO_PLATFORM_API KroICfgInit {
 public:
  static KroICfgManager_var GetCfgManager();
};

// One setError call on the manager, with the parameters added after it.
struct KRO_PLATFORM_API KroCfgManagerError {
  int code = 0;
  int flag = 0;
  std::vector<std::pair<KroUnicodeString, int>> parameters;  // text, position
  friend bool operator==(const KroCfgManagerError&, const KroCfgManagerError&) = default;
};

// The manager's implementation; the session's factory manager derives from it.
class KRO_PLATFORM_API KroCfgManager : public KroICfgManager {
 public:
  HRESULT QueryInterface(const IID& iid, void** out) override;
  HRESULT createDateInterval(const KroTime& start, const KroTime& end, KroICfgInterval_var& out) override;
  HRESULT createInfiniteDateInterval(const KroTime& start, KroICfgInterval_var& out) override;
  HRESULT createRangeInterval(int start, int end, KroICfgInterval_var& out) override;
  HRESULT createSpecANDExpression(KroICfgSpecANDExpression_var& out) override;
  HRESULT createSignedSpec(KroICfgSignedSpec_var& out) override;
  HRESULT createBasicEffectivity(KroICfgBasicEffectivity_var& out) override;
  HRESULT createEffectivity(KroICfgEffectivity_var& out) override;
  HRESULT createXEff(const KroUnicodeString& domain, KroICfgXEff_var& out) override;
  HRESULT setError(int code, int flag) override;
  HRESULT addErrorParameter(const KroUnicodeString& text, int position) override;

  // Errors reported to any manager of the process, oldest first. A parameter added before any error
  // was set opens an error of code 0 and flag 0.
  static const std::vector<KroCfgManagerError>& Errors();
  static void ClearErrors();
};

// Fault injection: makes one model operation, named "Interface::operation" (for example
// "KroICfgInterval::getDateBounds"), return a chosen code until cleared. The first `passFirst` calls
// after Set still run normally. A failing operation leaves its out-parameters untouched. getType and
// getSign, which return no code, return the chosen value instead. Uuids are faulted under
// "KroILinkableObject::GetUuid".
class KRO_PLATFORM_API KroCfgFaults {
 public:
  // Throws std::invalid_argument for a name that is no model operation.
  static void Set(const std::string& operation, HRESULT code, int passFirst = 0);
  static void Clear();
  static void Clear(const std::string& operation);
  // The names that Set accepts.
  static const std::vector<std::string>& Operations();

  // True (with the code) when the operation is to fail now. One test while no fault is set.
  static bool Fails(const char* operation, HRESULT& code) { return s_active != 0 && Lookup(operation, code); }

 private:
  static bool Lookup(const char* operation, HRESULT& code);
  static int s_active;
};
