// The file lists of the Voice sub-folders as the settings dialog shows them,
// and the renaming that takes the spaces out of sound file names (the media
// player sends paths unquoted, so a name with a space never plays).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tockly {

class Folders {
public:
    virtual ~Folders() = default;
    // Names (without the folder) of the plain files in a folder, in any
    // order; empty when the folder is missing or cannot be read.
    virtual std::vector<std::string> file_names(std::string_view folder) = 0;
    // Renames one file. False when the system refuses: the new name exists,
    // the file is in use, the folder is read-only.
    virtual bool rename_file(std::string_view from, std::string_view to) = 0;
};

// The names a file list with the pattern "*." & extension shows: files with
// that extension in any letter case, sorted by name (letter case ignored).
std::vector<std::string> list_files(Folders& folders, std::string_view folder,
                                    std::string_view extension);

std::string without_spaces(std::string_view name);

struct RenamePass {
    int renamed = 0;
    std::vector<std::string> refused;  // names with spaces the system kept
};

// Renames folder\name to folder\name-without-spaces for every listed name that
// holds a space, in list order. Refusals are collected, never raised.
RenamePass remove_spaces_from_names(Folders& folders, std::string_view folder,
                                    const std::vector<std::string>& names);

}  // namespace tockly
