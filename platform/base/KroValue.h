// The one shape of an attribute's value outside a slot: the store's exchange form (references are
// spec objects) and the document format's (references are object numbers) are the same variant over
// their reference type, so that converting one into the other keeps every alternative in its place.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// What a value holds, by alternative: also the index of the alternative in KroValueOf.
enum KroValueKind : std::uint8_t {
  KroValue_Unset = 0,
  KroValue_Long = 1,
  KroValue_Double = 2,
  KroValue_Boolean = 3,
  KroValue_String = 4,
  KroValue_Octets = 5,
  KroValue_Object = 6,
  KroValue_LongList = 7,
  KroValue_DoubleList = 8,
  KroValue_StringList = 9,
  KroValue_ObjectList = 10,
};

template <class Reference>
using KroValueOf = std::variant<std::monostate,              // no value (unset)
                                std::int32_t,                // tk_long
                                double,                      // tk_double
                                bool,                        // tk_boolean
                                std::string,                 // tk_string
                                std::vector<unsigned char>,  // (tk_list, tk_octet): octet sequence
                                Reference,                   // tk_specobject
                                std::vector<std::int32_t>,   // (tk_list, tk_long)
                                std::vector<double>,         // (tk_list, tk_double)
                                std::vector<std::string>,    // (tk_list, tk_string)
                                std::vector<Reference>>;     // (tk_list, tk_specobject)

template <class Reference>
constexpr KroValueKind KroKindOf(const KroValueOf<Reference>& value) {
  return static_cast<KroValueKind>(value.index());
}

// The value with its references dropped (unset), in the other reference type: for values that the
// caller has checked to hold no reference, or whose references it sets itself.
template <class To, class From>
KroValueOf<To> KroWithoutReferences(const KroValueOf<From>& value) {
  return std::visit(
      [](const auto& v) -> KroValueOf<To> {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, From> || std::is_same_v<V, std::vector<From>>)
          return std::monostate{};
        else
          return v;
      },
      value);
}

static_assert(std::variant_size_v<KroValueOf<int>> == KroValue_ObjectList + 1, "one alternative per kind");
