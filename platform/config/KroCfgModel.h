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
#include "KroDispatch.h"
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

// Makes new model objects, empty or with the given values, and collects the errors reported to the client.
#define KroICfgManager_METHODS(M)                                                                                       \
  M(HRESULT, createDateInterval, , ((const KroTime&, start), (const KroTime&, end), (KroICfgInterval_var&, out)),       \
    KroDispatchDoc("An end of 0 or less reads back as infinite."))                                                      \
  M(HRESULT, createInfiniteDateInterval, , ((const KroTime&, start), (KroICfgInterval_var&, out)))                      \
  M(HRESULT, createRangeInterval, , ((int, start), (int, end), (KroICfgInterval_var&, out)),                            \
    KroDispatchDoc("A negative end (conventionally -1) is infinite."))                                                  \
  M(HRESULT, createSpecANDExpression, , ((KroICfgSpecANDExpression_var&, out)))                                         \
  M(HRESULT, createSignedSpec, , ((KroICfgSignedSpec_var&, out)))                                                       \
  M(HRESULT, createBasicEffectivity, , ((KroICfgBasicEffectivity_var&, out)))                                           \
  M(HRESULT, createEffectivity, , ((KroICfgEffectivity_var&, out)))                                                     \
  M(HRESULT, createXEff, , ((const KroUnicodeString&, domain), (KroICfgXEff_var&, out)))                                \
  M(HRESULT, setError, , ((int, code), (int, flag)))                                                                    \
  M(HRESULT, addErrorParameter, , ((const KroUnicodeString&, text), (int, position)),                                   \
    KroDispatchDoc("Adds a parameter (one-based position) to the error last set."))                                     \
  M(HRESULT, createSpecification, ,                                                                                     \
    ((const KroUnicodeString&, name), (const KroUnicodeString&, description), (const KroUnicodeString&, alias),         \
     (const KroUnicodeString&, condition), (const KroUnicodeString&, categoryName),                                     \
     (const KroUnicodeString&, categoryDescription), (KroICfgSimpleSpecification_var&, out)),                           \
    KroDispatchDoc("Empty category name and description give a specification without category."))                       \
  M(HRESULT, createActionSubscriber, , ((const KroUnicodeString&, name), (QuorISubScribeGroupMod_var&, out)),           \
    KroDispatchDoc("A subscriber that is an action of that name (KroIDmxAFLAction, QuorINamedObject)."))                \
  M(HRESULT, createGroupMod, ,                                                                                          \
    ((const KroListValQuorISubScribeGroupMod_var&, subscribers), (KroICfgGroupMod_var&, out)),                          \
    KroDispatchDoc("A group modification with the subscribers in order; E_INVALIDARG for a null one."))                 \
  M(HRESULT, createModification, ,                                                                                      \
    ((const KroUnicodeString&, name), (const KroUnicodeString&, firstEffectivity),                                      \
     (const KroUnicodeString&, secondEffectivity), (const KroICfgGroupMod_var&, group),                                 \
     (KroICfgModification_var&, out)),                                                                                  \
    KroDispatchDoc("The group may be null: a modification in no group."))                                               \
  M(HRESULT, createDateMilestone, ,                                                                                     \
    ((const KroUnicodeString&, name), (const KroTime&, date), (KroICfgMileStone_var&, out)))                            \
  M(HRESULT, createRangeMilestone, , ((const KroUnicodeString&, name), (int, rank), (KroICfgMileStone_var&, out)))      \
  M(HRESULT, createContext, , ((const KroUnicodeString&, name), (KroICfgContext_var&, out)))                            \
  M(HRESULT, createNormalValue, ,                                                                                       \
    ((const KroICfgInterval_var&, dateInterval), (const KroICfgInterval_var&, rangeInterval),                           \
     (const KroICfgSimpleSpecification_var&, condition), (const KroICfgModification_var&, modification),                \
     (const KroUnicodeString&, startMilestone), (const KroUnicodeString&, endMilestone),                                \
     (KroICfgNormalValue_var&, out)),                                                                                   \
    KroDispatchDoc("Any argument may be null or empty; a null interval reads back as one of neither kind."))            \
  M(HRESULT, createFilter, ,                                                                                            \
    ((const KroUnicodeString&, id), (const KroUnicodeString&, domain), (const KroICfgContext_var&, context),            \
     (const KroListValKroICfgNormalValue_var&, values), (int, mode), (boolean, mode150), (KroICfgFilter_var&, out)),    \
    KroDispatchDoc("E_INVALIDARG for a null normal value among the values."))

class KRO_PLATFORM_API KroICfgManager : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgManager)
  KRO_DISPATCH_METHODS(KroICfgManager, KroICfgManager_METHODS)
};

// A span on the date axis or on the rank axis.
#define KroICfgInterval_METHODS(M)                                                                       \
  M(int, getType, , ())                                                                                  \
  M(HRESULT, getDateBounds, , ((KroTime&, start), (KroTime&, end)),                                      \
    KroDispatchDoc("Date intervals only (E_FAIL otherwise); end is the time value 0 when infinite."))    \
  M(HRESULT, getRangeBounds, , ((int&, start), (int&, end)),                                             \
    KroDispatchDoc("Range intervals only (E_FAIL otherwise); end is negative when infinite."))

class KRO_PLATFORM_API KroICfgInterval : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgInterval)
  enum Kind { Date = 1, Range = 2 };
  KRO_DISPATCH_METHODS(KroICfgInterval, KroICfgInterval_METHODS)
};

// The value of a milestone: a date or a rank.
#define KroICfgValue_METHODS(M)                                             \
  M(int, getType, , ())                                                     \
  M(HRESULT, getDateValue, , ((KroTime&, value)),                           \
    KroDispatchDoc("Each fails (E_FAIL) on a value of the other kind."))    \
  M(HRESULT, getRangeValue, , ((int&, value)))

class KRO_PLATFORM_API KroICfgValue : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgValue)
  enum Kind { Date = 1, Range = 2 };
  KRO_DISPATCH_METHODS(KroICfgValue, KroICfgValue_METHODS)
};

#define KroICfgMileStone_METHODS(M)                       \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))      \
  M(HRESULT, getValue, , ((KroICfgValue_var&, value)))

class KRO_PLATFORM_API KroICfgMileStone : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgMileStone)
  KRO_DISPATCH_METHODS(KroICfgMileStone, KroICfgMileStone_METHODS)
};

#define KroICfgSpecCategory_METHODS(M)                                \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))                  \
  M(HRESULT, getDescription, , ((KroUnicodeString&, description)))

class KRO_PLATFORM_API KroICfgSpecCategory : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSpecCategory)
  KRO_DISPATCH_METHODS(KroICfgSpecCategory, KroICfgSpecCategory_METHODS)
};

#define KroICfgSimpleSpecification_METHODS(M)                               \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))                        \
  M(HRESULT, getDescription, , ((KroUnicodeString&, description)))          \
  M(HRESULT, getAlias, , ((KroUnicodeString&, alias)))                      \
  M(HRESULT, getConditionString, , ((KroUnicodeString&, condition)))        \
  M(HRESULT, getCategory, , ((KroICfgSpecCategory_var&, category)),         \
    KroDispatchDoc("Null (S_OK) for a specification without category."))

class KRO_PLATFORM_API KroICfgSimpleSpecification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSimpleSpecification)
  KRO_DISPATCH_METHODS(KroICfgSimpleSpecification, KroICfgSimpleSpecification_METHODS)
};

// One term of an AND-expression: a specification and its sign. Any integer is kept as the sign.
#define KroICfgSignedSpec_METHODS(M)                                                          \
  M(int, getSign, , ())                                                                       \
  M(HRESULT, setSign, , ((int, sign)))                                                        \
  M(HRESULT, getSpecification, , ((KroICfgSimpleSpecification_var&, specification)))          \
  M(HRESULT, setSpecification, , ((const KroICfgSimpleSpecification_var&, specification)))

class KRO_PLATFORM_API KroICfgSignedSpec : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSignedSpec)
  enum Sign { Negative = -1, Positive = 1 };
  KRO_DISPATCH_METHODS(KroICfgSignedSpec, KroICfgSignedSpec_METHODS)
};

#define KroICfgSpecANDExpression_METHODS(M)                                    \
  M(HRESULT, getSignedSpecs, , ((KroListValKroICfgSignedSpec_var&, terms)),    \
    KroDispatchDoc("Replaces the list's content by the terms, in order."))     \
  M(HRESULT, addSignedSpec, , ((const KroICfgSignedSpec_var&, term)),          \
    KroDispatchDoc("Appends; E_INVALIDARG for a null term."))

class KRO_PLATFORM_API KroICfgSpecANDExpression : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgSpecANDExpression)
  KRO_DISPATCH_METHODS(KroICfgSpecANDExpression, KroICfgSpecANDExpression_METHODS)
};

// Intervals (at most one per axis in practice) plus an optional AND-expression.
#define KroICfgBasicEffectivity_METHODS(M)                                                \
  M(HRESULT, getIntervals, , ((KroListValKroICfgInterval_var&, intervals)))               \
  M(HRESULT, getSpecExpression, , ((KroICfgSpecANDExpression_var&, expression)),          \
    KroDispatchDoc("Null (S_OK) when there is none."))                                    \
  M(HRESULT, setInterval, , ((const KroICfgInterval_var&, interval)),                     \
    KroDispatchDoc("Appends to the intervals; E_INVALIDARG for null."))                   \
  M(HRESULT, setSpecExpression, , ((const KroICfgSpecANDExpression_var&, expression)),    \
    KroDispatchDoc("Null removes the expression."))

class KRO_PLATFORM_API KroICfgBasicEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgBasicEffectivity)
  KRO_DISPATCH_METHODS(KroICfgBasicEffectivity, KroICfgBasicEffectivity_METHODS)
};

#define KroICfgEffectivity_METHODS(M)                                                 \
  M(HRESULT, addBasicEffectivity, , ((const KroICfgBasicEffectivity_var&, basic)),    \
    KroDispatchDoc("Appends; E_INVALIDARG for null."))

class KRO_PLATFORM_API KroICfgEffectivity : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgEffectivity)
  KRO_DISPATCH_METHODS(KroICfgEffectivity, KroICfgEffectivity_METHODS)
};

// An effectivity within a domain.
#define KroICfgXEff_METHODS(M)                                                                                      \
  M(HRESULT, getDomain, , ((KroUnicodeString&, domain)))                                                            \
  M(HRESULT, getBasicEffectivities, , ((KroListValKroICfgBasicEffectivity_var&, basics)))                           \
  M(HRESULT, setEffectivity, , ((const KroICfgEffectivity_var&, effectivity), (int, mode)),                         \
    KroDispatchDoc("Replace (1) takes the effectivity's basic effectivities in place of the held ones, Add (0) "    \
                   "appends them. E_INVALIDARG for a null effectivity or another mode."))

class KRO_PLATFORM_API KroICfgXEff : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgXEff)
  enum SetMode { Add = 0, Replace = 1 };
  KRO_DISPATCH_METHODS(KroICfgXEff, KroICfgXEff_METHODS)
};

#define KroICfgModification_METHODS(M)                                                             \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))                                               \
  M(HRESULT, getEffectivityString, , ((KroUnicodeString&, first), (KroUnicodeString&, second)))    \
  M(HRESULT, getGroupMod, , ((KroICfgGroupMod_var&, group)),                                       \
    KroDispatchDoc("Null (S_OK) when the modification is in no group."))

class KRO_PLATFORM_API KroICfgModification : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgModification)
  KRO_DISPATCH_METHODS(KroICfgModification, KroICfgModification_METHODS)
};

#define KroICfgGroupMod_METHODS(M)                                                        \
  M(HRESULT, getSubscribers, , ((KroListValQuorISubScribeGroupMod_var&, subscribers)))

class KRO_PLATFORM_API KroICfgGroupMod : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgGroupMod)
  KRO_DISPATCH_METHODS(KroICfgGroupMod, KroICfgGroupMod_METHODS)
};

// A subscriber of a group modification. Actions among them also answer KroIDmxAFLAction and
// QuorINamedObject.
class KRO_PLATFORM_API QuorISubScribeGroupMod : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorISubScribeGroupMod)
};

class KRO_PLATFORM_API KroIDmxAFLAction : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroIDmxAFLAction)
};

#define QuorINamedObject_METHODS(M)                     \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))

class KRO_PLATFORM_API QuorINamedObject : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(QuorINamedObject)
  KRO_DISPATCH_METHODS(QuorINamedObject, QuorINamedObject_METHODS)
};

// The configuration context a filter belongs to.
#define KroICfgContext_METHODS(M)                       \
  M(HRESULT, getName, , ((KroUnicodeString&, name)))

class KRO_PLATFORM_API KroICfgContext : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgContext)
  KRO_DISPATCH_METHODS(KroICfgContext, KroICfgContext_METHODS)
};

#define KroICfgNormalValue_METHODS(M)                                                                                                                                                               \
  M(HRESULT, getValues, , ((KroICfgInterval_var&, dateInterval), (KroICfgInterval_var&, rangeInterval), (KroICfgSimpleSpecification_var&, condition), (KroICfgModification_var&, modification)),    \
    KroDispatchDoc("Both intervals are never null (an absent one has a kind that is neither Date nor Range); "                                                                                      \
                   "the condition and the modification may be."))                                                                                                                                   \
  M(HRESULT, getStartMilestoneName, , ((KroUnicodeString&, name)))                                                                                                                                  \
  M(HRESULT, getEndMilestoneName, , ((KroUnicodeString&, name)))

class KRO_PLATFORM_API KroICfgNormalValue : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgNormalValue)
  KRO_DISPATCH_METHODS(KroICfgNormalValue, KroICfgNormalValue_METHODS)
};

#define KroICfgFilter_METHODS(M)                                                                                                                   \
  M(HRESULT, getId, , ((KroUnicodeString&, id)))                                                                                                   \
  M(HRESULT, getDomainAndContext, , ((KroICfgContext_var&, context), (KroUnicodeString&, domain), (KroListValKroICfgNormalValue_var&, values)))    \
  M(HRESULT, getMode, , ((int&, mode)))                                                                                                            \
  M(HRESULT, getMode150, , ((boolean&, mode150)))

class KRO_PLATFORM_API KroICfgFilter : public virtual KroBaseUnknown {
  KRO_INTERFACE_MEMBERS(KroICfgFilter)
  KRO_DISPATCH_METHODS(KroICfgFilter, KroICfgFilter_METHODS)
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
  HRESULT createSpecification(const KroUnicodeString& name, const KroUnicodeString& description,
                              const KroUnicodeString& alias, const KroUnicodeString& condition,
                              const KroUnicodeString& categoryName, const KroUnicodeString& categoryDescription,
                              KroICfgSimpleSpecification_var& out) override;
  HRESULT createActionSubscriber(const KroUnicodeString& name, QuorISubScribeGroupMod_var& out) override;
  HRESULT createGroupMod(const KroListValQuorISubScribeGroupMod_var& subscribers, KroICfgGroupMod_var& out) override;
  HRESULT createModification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                             const KroUnicodeString& secondEffectivity, const KroICfgGroupMod_var& group,
                             KroICfgModification_var& out) override;
  HRESULT createDateMilestone(const KroUnicodeString& name, const KroTime& date, KroICfgMileStone_var& out) override;
  HRESULT createRangeMilestone(const KroUnicodeString& name, int rank, KroICfgMileStone_var& out) override;
  HRESULT createContext(const KroUnicodeString& name, KroICfgContext_var& out) override;
  HRESULT createNormalValue(const KroICfgInterval_var& dateInterval, const KroICfgInterval_var& rangeInterval,
                            const KroICfgSimpleSpecification_var& condition,
                            const KroICfgModification_var& modification, const KroUnicodeString& startMilestone,
                            const KroUnicodeString& endMilestone, KroICfgNormalValue_var& out) override;
  HRESULT createFilter(const KroUnicodeString& id, const KroUnicodeString& domain, const KroICfgContext_var& context,
                       const KroListValKroICfgNormalValue_var& values, int mode, boolean mode150,
                       KroICfgFilter_var& out) override;

  // Errors reported to any manager of the process, oldest first. A parameter added before any error
  // was set opens an error of code 0 and flag 0.
  static const std::vector<KroCfgManagerError>& Errors();
  static void ClearErrors();
};
