// The hook by which the module's init registers cfgso.effective and cfgso.record_holds: the two
// conversions between Python objects and components that only cfgso_native.cpp can make.
#pragma once

#include <pybind11/pybind11.h>

#include "KroBaseUnknown.h"

void KroRegisterEffective(pybind11::module_& m, KroBaseUnknown* (*unwrap)(pybind11::handle),
                          pybind11::object (*wrap)(KroBaseUnknown*));
