#include "KroCfgSOFilter.h"

const KroUnicodeString KroCfgSOFilter::s_st_LATE_TYPE("CfgSOFilter");
