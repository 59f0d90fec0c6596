#pragma once

#include "platform/automation/Automation.h"

// A new "VBScript.RegExp" object (one reference; null when out of memory) over PCRE2 on
// UTF-16 units. Properties Pattern, IgnoreCase, Global and Multiline (all false or empty at
// first); there is no Singleline, so "." never crosses a line break. Execute(subject) gives
// a match collection, Test(subject) a Boolean, Replace(subject, replacement) the replaced
// string. The subject may be a string or a byte array of UTF-16LE units; a byte array's
// last NUL unit ends the text and is not searched. A pattern that does not compile, or a
// run that reaches the backtracking limit, fails the call with DISP_E_EXCEPTION.
IDispatch* createRegExpComponent();
