// One-based platform lists. Out-of-range positions throw std::out_of_range rather than reading past the end.
#pragma once

#include "KroExport.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "KroUnicodeString.h"

template <class T>
class KRO_PLATFORM_API KroList {
 public:
  KroList() = default;
  KroList(std::initializer_list<T> init) : m_items(init) {}

  int Size() const { return static_cast<int>(m_items.size()); }
  void Append(const T& value) { m_items.push_back(value); }
  void Append(T&& value) { m_items.push_back(std::move(value)); }
  void Append(const KroList& other) { m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end()); }
  void RemoveAll() { m_items.clear(); }
  // Removes the element at a one-based position.
  void RemovePosition(int position) { check(position); m_items.erase(m_items.begin() + (position - 1)); }
  void Reserve(int n) { m_items.reserve(n > 0 ? static_cast<std::size_t>(n) : 0); }

  T& operator[](int position) { check(position); return m_items[static_cast<std::size_t>(position - 1)]; }
  const T& operator[](int position) const { check(position); return m_items[static_cast<std::size_t>(position - 1)]; }

  auto begin() { return m_items.begin(); }
  auto end() { return m_items.end(); }
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }
  const std::vector<T>& items() const { return m_items; }
  std::vector<T>& items() { return m_items; }

  friend bool operator==(const KroList& a, const KroList& b) { return a.m_items == b.m_items; }

 private:
  void check(int position) const {
    if (position < 1 || position > Size())
      throw std::out_of_range("KroList position " + std::to_string(position) + " outside 1.." +
                              std::to_string(Size()));
  }
  std::vector<T> m_items;
};

using KroListValKroUnicodeString = KroList<KroUnicodeString>;
using KroRawCollint = KroList<int>;
using KroRawColldouble = KroList<double>;
