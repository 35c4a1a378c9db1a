// A counted IDL sequence as the server's generated code offers it: length() reads the count,
// length(n) sets it (new elements are default values, elements past n are dropped), and elements
// are indexed from zero. An index outside the count throws std::out_of_range rather than reading
// past the end.
#pragma once

#include "KroExport.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "CORBA.h"

template <class T>
class KRO_PLATFORM_API IDLSequence {
 public:
  IDLSequence() = default;
  IDLSequence(std::initializer_list<T> init) : m_items(init) {}

  CORBA::ULong length() const { return static_cast<CORBA::ULong>(m_items.size()); }
  void length(CORBA::ULong n) { m_items.resize(n); }

  T& operator[](CORBA::ULong i) { return m_items[check(i)]; }
  const T& operator[](CORBA::ULong i) const { return m_items[check(i)]; }

  auto begin() { return m_items.begin(); }
  auto end() { return m_items.end(); }
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }

  friend bool operator==(const IDLSequence& a, const IDLSequence& b) { return a.m_items == b.m_items; }

 private:
  CORBA::ULong check(CORBA::ULong i) const {
    if (i >= m_items.size())
      throw std::out_of_range("IDL sequence index " + std::to_string(i) + " outside [0, " +
                              std::to_string(m_items.size()) + ")");
    return i;
  }
  std::vector<T> m_items;
};
