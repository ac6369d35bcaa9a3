#include "clock/windows/shell_execute.h"

#include <shellapi.h>

#include "win32kit/text_codec.h"

namespace tockly::win {

using namespace win32kit;

bool Win32Shell::open(const ShellOpen& r) {
    const std::wstring verb = widen(r.verb), file = widen(r.file), parameters = widen(r.parameters),
                       folder = widen(r.folder);
    const HINSTANCE result =
        ShellExecuteW(r.owned_by_clock ? clock_window_ : nullptr, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), folder.empty() ? nullptr : folder.c_str(),
                      r.show_command);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace tockly::win
