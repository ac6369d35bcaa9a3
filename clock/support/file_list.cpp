#include "clock/support/file_list.h"

#include <algorithm>
#include <cctype>

namespace tockly {

namespace {

char lower_ascii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool ends_with_nocase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    const auto end = text.substr(text.size() - tail.size());
    return std::equal(end.begin(), end.end(), tail.begin(), tail.end(),
                      [](char a, char b) { return lower_ascii(a) == lower_ascii(b); });
}

bool name_before(const std::string& a, const std::string& b) {
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lower_ascii(x) == lower_ascii(y); });
    if (mismatch.first == a.end() || mismatch.second == b.end()) {
        if (a.size() != b.size()) return a.size() < b.size();
        return a < b;  // the same but for letter case: a fixed order all the same
    }
    return static_cast<unsigned char>(lower_ascii(*mismatch.first)) <
           static_cast<unsigned char>(lower_ascii(*mismatch.second));
}

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += name;
    return path;
}

}  // namespace

std::vector<std::string> list_files(Folders& folders, std::string_view folder,
                                    std::string_view extension) {
    const std::string tail = "." + std::string(extension);
    std::vector<std::string> names;
    for (auto& name : folders.file_names(folder))
        if (ends_with_nocase(name, tail)) names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), name_before);
    return names;
}

std::string without_spaces(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name)
        if (c != ' ') out += c;
    return out;
}

RenamePass remove_spaces_from_names(Folders& folders, std::string_view folder,
                                    const std::vector<std::string>& names) {
    RenamePass pass;
    for (const auto& name : names) {
        if (name.find(' ') == std::string::npos) continue;
        const std::string target = without_spaces(name);
        // A name of nothing but spaces has no space-free form to take.
        if (!target.empty() && folders.rename_file(joined(folder, name), joined(folder, target)))
            ++pass.renamed;
        else
            pass.refused.push_back(name);
    }
    return pass;
}

}  // namespace tockly
