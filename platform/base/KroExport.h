// Export marker of the platform library. The libraries are built with hidden visibility, so only
// what carries this marker (or its library's marker) can be linked against.
#pragma once

#define KRO_PLATFORM_API __attribute__((visibility("default")))
