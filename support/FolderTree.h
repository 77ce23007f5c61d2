// The folders of a project tree, for runs that convert a tree into a tree of
// the same shape. Symbolic links to folders are never followed, so a tree is
// walked and written only below its own root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Root's subfolders at every depth as paths relative to Root ("a", "a/b"),
// each folder's subfolders in name order (code unit by code unit) right
// after it. Folders that cannot be read are left out with what lies below
// them; Exclude (a folder given by its path) is left out the same way.
std::vector<std::u16string> SubfolderPaths(std::u16string_view Root, std::u16string_view Exclude = {});

// Makes the folder Root/Relative, part by part. False when a part that
// exists is not a folder of its own (a symbolic link or a file) or a part
// cannot be made: nothing is then made below it, so that nothing is ever
// written outside Root.
bool MakeFolderBelow(std::u16string_view Root, std::u16string_view Relative);

// Whether Inner is the folder Outer or lies below it (both exist; links
// resolved).
bool FolderWithin(std::u16string_view Inner, std::u16string_view Outer);
