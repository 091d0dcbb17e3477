// The region code and the program paths from the system, first thing at
// start-up.
#pragma once

namespace fq::win {

// The user-interface language: the first entry of the translation table of
// the common-dialog library's version resource (1033 when the table is not
// one 4-byte entry), or, when that library has no version resource, the
// user's interface language.
int SystemLanguage();

// Sets the process-wide region code from SystemLanguage(), and the
// double-byte file-name rule from the system's code page.
void InitRegion();

// Sets the program paths from the program's own file name, moving the
// settings file to %APPDATA%\Fotaquill\ when the program folder takes no new
// files; false when the program's file name cannot be had.
bool InitProgramPaths();

}  // namespace fq::win
