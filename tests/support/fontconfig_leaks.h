// For test programs that draw receipts: fontconfig keeps the fonts pango
// asked for in caches that live as long as the process and are never freed.
// They are not leaks of the module; LeakSanitizer (the asan preset) is told
// to ignore them, and only them. Include in exactly one file of a program.
#pragma once

// The sanitizer's documented hook, hence its reserved name.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier)
  return "leak:libfontconfig.so\n";
}
