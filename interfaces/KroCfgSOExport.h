// Export marker of the library: what carries it is the public interface of libCfgSIDLServices.
#pragma once

#define KRO_CFGSO_API __attribute__((visibility("default")))
