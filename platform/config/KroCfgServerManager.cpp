#include "KroCfgServerManager.h"

#include <unordered_set>

#include "KroCfgModelObjects.h"

namespace M = KroCfgModelObjects;
using Record = KroCfgServerObject;

namespace {

std::string KeyOf(const SEQUENCE_octet& uuid) {
  return std::string(reinterpret_cast<const char*>(uuid.data()), uuid.length());
}

Record::Uuid UuidOf(KroBaseUnknown* object, HRESULT& hr) {
  KroILinkableObject_var linkable(object);
  SEQUENCE_octet octets;
  hr = linkable ? linkable->GetUuid(octets) : E_NOINTERFACE;
  return SUCCEEDED(hr) ? octets.bytes() : Record::Uuid();
}

// Reads one live object into a record, with the objects it refers to.
HRESULT Describe(KroBaseUnknown* object, Record& r, std::vector<KroVar<KroBaseUnknown>>& refs) {
  HRESULT hr = S_OK;
  r.uuid = UuidOf(object, hr);
  if (FAILED(hr)) return hr;
  auto ref = [&](KroBaseUnknown* to, Record::Uuid& into) -> HRESULT {
    if (!to) return S_OK;
    HRESULT got = S_OK;
    into = UuidOf(to, got);
    if (SUCCEEDED(got)) refs.emplace_back(to);
    return got;
  };
  KroUnicodeString a, b, c, d;
  if (KroICfgSimpleSpecification_var spec = object) {
    r.kind = Record::Specification;
    KroICfgSpecCategory_var category;
    if (FAILED(hr = spec->getName(a)) || FAILED(hr = spec->getDescription(b)) || FAILED(hr = spec->getAlias(c)) ||
        FAILED(hr = spec->getConditionString(d)) || FAILED(hr = spec->getCategory(category)))
      return hr;
    r.name = a.str(), r.description = b.str(), r.alias = c.str(), r.condition = d.str();
    return ref(category.ptr(), r.ref);
  }
  if (KroICfgSpecCategory_var category = object) {
    r.kind = Record::Category;
    if (FAILED(hr = category->getName(a)) || FAILED(hr = category->getDescription(b))) return hr;
    r.name = a.str(), r.description = b.str();
    return S_OK;
  }
  if (KroICfgGroupMod_var group = object) {
    r.kind = Record::Group;
    KroListValQuorISubScribeGroupMod_var subscribers;
    if (FAILED(hr = group->getSubscribers(subscribers))) return hr;
    for (const QuorISubScribeGroupMod_var& s : subscribers) {
      if (!s) return E_INVALIDARG;
      if (FAILED(hr = ref(s.ptr(), r.refs.emplace_back()))) return hr;
    }
    return S_OK;
  }
  if (KroICfgModification_var modification = object) {
    r.kind = Record::Modification;
    KroICfgGroupMod_var group;
    if (FAILED(hr = modification->getName(a)) || FAILED(hr = modification->getEffectivityString(b, c)) ||
        FAILED(hr = modification->getGroupMod(group)))
      return hr;
    r.name = a.str(), r.first = b.str(), r.second = c.str();
    if (group) {
      KroListValQuorISubScribeGroupMod_var subscribers;
      if (FAILED(hr = group->getSubscribers(subscribers))) return hr;
      for (const QuorISubScribeGroupMod_var& s : subscribers) r.flag = r.flag || KroIDmxAFLAction_var(s);
    }
    return ref(group.ptr(), r.ref);
  }
  if (KroICfgContext_var context = object) {
    r.kind = Record::Context;
    if (FAILED(hr = context->getName(a))) return hr;
    r.name = a.str();
    return S_OK;
  }
  if (KroICfgFilter_var filter = object) {
    r.kind = Record::Filter;
    KroICfgContext_var context;
    KroListValKroICfgNormalValue_var values;
    boolean mode150 = 0;
    if (FAILED(hr = filter->getId(a)) || FAILED(hr = filter->getDomainAndContext(context, b, values)) ||
        FAILED(hr = filter->getMode(r.mode)) || FAILED(hr = filter->getMode150(mode150)))
      return hr;
    r.name = a.str(), r.domain = b.str(), r.flag = mode150 != 0;
    if (FAILED(hr = ref(context.ptr(), r.ref))) return hr;
    for (const KroICfgNormalValue_var& value : values) {
      if (!value) return E_INVALIDARG;
      Record::NormalValue& v = r.values.emplace_back();
      KroICfgInterval_var dates, ranges;
      KroICfgSimpleSpecification_var condition;
      KroICfgModification_var modification;
      if (FAILED(hr = value->getValues(dates, ranges, condition, modification)) ||
          FAILED(hr = value->getStartMilestoneName(a)) || FAILED(hr = value->getEndMilestoneName(b)))
        return hr;
      v.startMilestone = a.str(), v.endMilestone = b.str();
      if (dates && dates->getType() == KroICfgInterval::Date) {
        KroTime start, end;
        if (FAILED(hr = dates->getDateBounds(start, end))) return hr;
        v.hasDate = true, v.dateStart = start.Gettime_t(), v.dateEnd = end.Gettime_t();
      }
      if (ranges && ranges->getType() == KroICfgInterval::Range) {
        if (FAILED(hr = ranges->getRangeBounds(v.rangeStart, v.rangeEnd))) return hr;
        v.hasRange = true;
      }
      if (condition) {
        if (FAILED(hr = condition->getName(a))) return hr;
        v.conditionName = a.str();
      }
      if (FAILED(hr = ref(condition.ptr(), v.condition)) || FAILED(hr = ref(modification.ptr(), v.modification)))
        return hr;
    }
    return S_OK;
  }
  if (QuorISubScribeGroupMod_var subscriber = object) {
    r.kind = Record::Subscriber;
    if (QuorINamedObject_var named = object) {
      if (FAILED(hr = named->getName(a))) return hr;
      r.name = a.str();
    }
    r.flag = static_cast<bool>(KroIDmxAFLAction_var(object));
    return S_OK;
  }
  return E_NOINTERFACE;
}

}  // namespace

struct KroCfgServerManager::Batch {
  std::vector<Record> records;
  std::vector<std::pair<Key, KroILinkableObject_var>> objects;
  std::unordered_set<Key> seen;
};

HRESULT KroCfgServerManager::Failed(HRESULT code, const std::string& message) {
  m_lastError = message;
  return code;
}

HRESULT KroCfgServerManager::Collect(KroBaseUnknown* object, Batch& batch) {
  Record r;
  std::vector<KroVar<KroBaseUnknown>> refs;
  HRESULT hr = Describe(object, r, refs);
  if (FAILED(hr)) return Failed(hr, "a live object could not be read for the configuration server");
  Key key(r.uuid.begin(), r.uuid.end());
  if (m_kept.count(key) || !batch.seen.insert(key).second) return S_OK;
  // What it refers to goes first, so that the server never holds a reference to nothing.
  for (const auto& to : refs)
    if (FAILED(hr = Collect(to.ptr(), batch))) return hr;
  batch.objects.emplace_back(key, KroILinkableObject_var(object));
  batch.records.push_back(std::move(r));
  return S_OK;
}

HRESULT KroCfgServerManager::Publish(KroBaseUnknown* object) {
  Batch batch;
  HRESULT hr = Collect(object, batch);
  if (FAILED(hr) || batch.records.empty()) return hr;
  std::string error;
  ++m_requests;
  hr = m_provider->Create(batch.records, error);
  if (FAILED(hr)) return Failed(hr, error);
  for (auto& [key, kept] : batch.objects) m_kept.emplace(key, std::move(kept));
  return S_OK;
}

HRESULT KroCfgServerManager::Bind(const SEQUENCE_octet& uuid, KroILinkableObject_var& out) {
  const Key key = KeyOf(uuid);
  if (auto it = m_kept.find(key); it != m_kept.end()) {
    out = it->second;
    return S_OK;
  }
  std::vector<Record> records;
  std::string error;
  ++m_requests;
  HRESULT hr = m_provider->ReadLinked(uuid.bytes(), records, error);
  if (FAILED(hr)) return Failed(hr, error);
  std::unordered_map<Key, const Record*> byKey;
  for (const Record& r : records) byKey.emplace(Key(r.uuid.begin(), r.uuid.end()), &r);
  KroILinkableObject_var found;
  if (FAILED(hr = Build(key, byKey, found))) return hr;
  out = found;
  return S_OK;
}

HRESULT KroCfgServerManager::Build(const Key& key, const std::unordered_map<Key, const Record*>& records,
                                   KroILinkableObject_var& out) {
  if (auto it = m_kept.find(key); it != m_kept.end()) {
    out = it->second;
    return S_OK;
  }
  auto it = records.find(key);
  if (it == records.end())
    return Failed(KRO_E_UUID_NOT_BOUND, "the configuration server's answer lacks a record that another refers to");
  const Record& r = *it->second;
  HRESULT hr = S_OK;
  // A referenced object, or null for an empty uuid.
  auto get = [&](const Record::Uuid& uuid, auto& into) -> bool {
    if (uuid.empty()) return true;
    KroILinkableObject_var object;
    if (FAILED(hr = Build(Key(uuid.begin(), uuid.end()), records, object))) return false;
    into = object;
    return true;
  };
  auto text = [](const std::string& s) { return KroUnicodeString(s); };
  // The object is born with the server's uuid: make builds it, after everything it refers to.
  const SEQUENCE_octet serverUuid(r.uuid);
  auto own = [&](auto make) {
    KroCfgObjectUuid::Given given(serverUuid);
    return KroILinkableObject_var::Adopt(make());
  };
  KroILinkableObject_var made;
  switch (r.kind) {
    case Record::Category:
      made = own([&] { return new M::SpecCategory(text(r.name), text(r.description)); });
      break;
    case Record::Specification: {
      KroICfgSpecCategory_var category;
      if (!get(r.ref, category)) return hr;
      made = own([&] {
        return new M::SimpleSpecification(text(r.name), text(r.description), text(r.alias), text(r.condition),
                                          category);
      });
      break;
    }
    case Record::Subscriber:
      if (r.flag)
        made = own([&] { return new M::NamedSubscriber(text(r.name)); });
      else
        made = own([&] { return new M::PlainSubscriber(); });
      break;
    case Record::Group: {
      KroListValQuorISubScribeGroupMod_var subscribers;
      for (const Record::Uuid& uuid : r.refs) {
        QuorISubScribeGroupMod_var subscriber;
        if (!get(uuid, subscriber)) return hr;
        subscribers.Append(subscriber);
      }
      made = own([&] { return new M::GroupMod(subscribers); });
      break;
    }
    case Record::Modification: {
      KroICfgGroupMod_var group;
      if (!get(r.ref, group)) return hr;
      made = own([&] { return new M::Modification(text(r.name), text(r.first), text(r.second), group); });
      break;
    }
    case Record::Context:
      made = own([&] { return new M::Context(text(r.name)); });
      break;
    case Record::Filter: {
      KroICfgContext_var context;
      if (!get(r.ref, context)) return hr;
      KroListValKroICfgNormalValue_var values;
      for (const Record::NormalValue& v : r.values) {
        KroICfgSimpleSpecification_var condition;
        KroICfgModification_var modification;
        if (!get(v.condition, condition) || !get(v.modification, modification)) return hr;
        KroICfgInterval_var dates, ranges;
        if (v.hasDate)
          dates = KroICfgInterval_var::Adopt(
              new M::Interval(KroTime(static_cast<time_t>(v.dateStart)), KroTime(static_cast<time_t>(v.dateEnd))));
        if (v.hasRange) ranges = KroICfgInterval_var::Adopt(new M::Interval(v.rangeStart, v.rangeEnd));
        values.Append(KroICfgNormalValue_var::Adopt(new M::NormalValue(
            dates, ranges, condition, modification, text(v.startMilestone), text(v.endMilestone))));
      }
      made = own([&] {
        return new M::Filter(text(r.name), text(r.domain), context, values, r.mode, r.flag ? 1 : 0);
      });
      break;
    }
  }
  m_kept.emplace(key, made);
  out = made;
  return S_OK;
}

HRESULT KroCfgServerManager::createSpecification(const KroUnicodeString& name, const KroUnicodeString& description,
                                                 const KroUnicodeString& alias, const KroUnicodeString& condition,
                                                 const KroUnicodeString& categoryName,
                                                 const KroUnicodeString& categoryDescription,
                                                 KroICfgSimpleSpecification_var& out) {
  KroICfgSimpleSpecification_var made;
  HRESULT hr = KroCfgManager::createSpecification(name, description, alias, condition, categoryName,
                                                  categoryDescription, made);
  if (SUCCEEDED(hr) && SUCCEEDED(hr = Publish(made.ptr()))) out = made;
  return hr;
}

HRESULT KroCfgServerManager::createActionSubscriber(const KroUnicodeString& name, QuorISubScribeGroupMod_var& out) {
  QuorISubScribeGroupMod_var made;
  HRESULT hr = KroCfgManager::createActionSubscriber(name, made);
  if (SUCCEEDED(hr) && SUCCEEDED(hr = Publish(made.ptr()))) out = made;
  return hr;
}

HRESULT KroCfgServerManager::createGroupMod(const KroListValQuorISubScribeGroupMod_var& subscribers,
                                            KroICfgGroupMod_var& out) {
  KroICfgGroupMod_var made;
  HRESULT hr = KroCfgManager::createGroupMod(subscribers, made);
  if (SUCCEEDED(hr) && SUCCEEDED(hr = Publish(made.ptr()))) out = made;
  return hr;
}

HRESULT KroCfgServerManager::createModification(const KroUnicodeString& name, const KroUnicodeString& firstEffectivity,
                                                const KroUnicodeString& secondEffectivity,
                                                const KroICfgGroupMod_var& group, KroICfgModification_var& out) {
  KroICfgModification_var made;
  HRESULT hr = KroCfgManager::createModification(name, firstEffectivity, secondEffectivity, group, made);
  if (SUCCEEDED(hr) && SUCCEEDED(hr = Publish(made.ptr()))) out = made;
  return hr;
}

HRESULT KroCfgServerManager::createFilter(const KroUnicodeString& id, const KroUnicodeString& domain,
                                          const KroICfgContext_var& context,
                                          const KroListValKroICfgNormalValue_var& values, int mode, boolean mode150,
                                          KroICfgFilter_var& out) {
  KroICfgFilter_var made;
  HRESULT hr = KroCfgManager::createFilter(id, domain, context, values, mode, mode150, made);
  if (SUCCEEDED(hr) && SUCCEEDED(hr = Publish(made.ptr()))) out = made;
  return hr;
}
