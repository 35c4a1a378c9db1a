// What is effective where: one record evaluated at a configuration point, and every record of a
// container or of a list of roots that holds at it. Rules and result codes: docs/effectivity-queries.md.
#pragma once

#include "KroCfgSOExport.h"

#include <string>
#include <vector>

#include "KroCfgEffectivityPoint.h"
#include "KroCfgEffectivityRecord.h"
#include "KroModelerInterfaces.h"

class KRO_CFGSO_API KroCfgEffectivityQuery {
 public:
  KroCfgEffectivityQuery() = delete;

  struct Match {
    int object = 0;  // 1-based position among the objects searched (for a container, as cfgso show numbers it)
    KroISpecObject_var record;
    std::string lateType;
    int basic = 0;  // 1-based basic effectivity that made it hold; 0 for an expression record
  };

  struct Problem {
    int object = 0;
    std::string lateType;
    HRESULT result = S_OK;  // KRO_E_DAMAGED_EFFECTIVITY
  };

  // S_OK when the record holds (basic: which basic effectivity made it hold, 0 for an expression
  // record), S_FALSE when it does not (basic 0); E_INVALIDARG for null, KRO_E_NOT_AN_EFFECTIVITY,
  // KRO_E_DAMAGED_EFFECTIVITY.
  static HRESULT RecordHolds(const KroISpecObject_var& record, const KroCfgEffectivityPoint& point, int& basic);

  // Every record that holds, in order. The objects searched are the list's, then every object they
  // reach that the list lacks; records reached from another record (the basic effectivities of an
  // effectivity, an expression of a basic effectivity) count only as part of it. Damaged records are
  // skipped and listed in problems; the result is then KRO_E_DAMAGED_EFFECTIVITY, else S_OK.
  // E_INVALIDARG for a null container.
  static HRESULT Select(const KroListValKroISpecObject_var& roots, const KroCfgEffectivityPoint& point,
                        std::vector<Match>& matches, std::vector<Problem>* problems = nullptr);
  static HRESULT Select(const KroIContainer_var& container, const KroCfgEffectivityPoint& point,
                        std::vector<Match>& matches, std::vector<Problem>* problems = nullptr);

  // A record Select considers: its position, and KRO_E_DAMAGED_EFFECTIVITY when it lies on a cycle of
  // records or reaches one (such a record is not read), else S_OK.
  struct Candidate {
    int object = 0;
    KroISpecObject_var record;
    HRESULT damage = S_OK;
  };
  // The records Select considers, in its order: the objects of the list and what they reach
  // (KroSpecReach::Closure), less records that another record reaches. Of a cycle of records that no
  // record outside it reaches, the first stands for the cycle, as damage. Linear in the objects and
  // references, however records chain.
  static std::vector<Candidate> Records(const KroListValKroISpecObject_var& roots);
};
