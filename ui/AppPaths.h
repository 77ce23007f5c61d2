// Where the program keeps its INI file and its working folder "TEMP": beside
// the executable, or in the user's configuration folder when the program
// runs from an install (packaging/InstallLayout.h: every user, root too,
// keeps their own settings) or when the executable's folder cannot be
// written.
#pragma once

#include <QString>
#include <string>

struct TAppPaths {
  std::u16string ExeFolder;    // folder of the executable, ending with a separator
  std::u16string WorkFolder;   // "TEMP" with a trailing separator, beside the INI file
  std::u16string IniFileName;  // the executable's path with ".ini", or its name in the fallback folder
};

// The paths for the executable ExePath; FallbackFolder takes the INI file
// and "TEMP" when the executable is installed or its folder is not writable.
TAppPaths AppPathsFor(const QString& ExePath, const QString& FallbackFolder);

// The paths of the running program (QStandardPaths::AppConfigLocation as
// the fallback).
TAppPaths RunningAppPaths();
