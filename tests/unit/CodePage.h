#pragma once

#include <windows.h>

#include <gtest/gtest.h>

// Tests that depend on the ANSI code page run where the process has it:
// 1252 under a Western locale, 932 under a Japanese one.
#define REQUIRE_ANSI_CODE_PAGE(codePage)                                               \
    do {                                                                               \
        if (GetACP() != (codePage)) GTEST_SKIP() << "needs ANSI code page " #codePage; \
    } while (false)
