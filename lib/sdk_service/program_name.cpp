#include "sdk_service/program_name.h"

#include <stdexcept>

#include "filesystem/operations.h"
#include "filesystem/std_path.h"
#include "text/utf.h"

namespace lumo::sdk_service {

std::string programNameFromExecutable(const std::filesystem::path& executable) {
    std::wstring name = executable.filename().wstring();
    constexpr std::wstring_view suffix = L".exe";
    if (name.size() > suffix.size()) {
        bool isExe = true;
        for (size_t i = 0; i < suffix.size(); ++i) {
            wchar_t c = name[name.size() - suffix.size() + i];
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            if (c != suffix[i]) isExe = false;
        }
        if (isExe) name.resize(name.size() - suffix.size());
    }
    std::string utf8 = util::toUtf8(name);
    return utf8.empty() ? "unknown" : utf8;
}

std::string programName() {
    // The executable does not change while the process runs.
    static const std::string name = []() -> std::string {
        try {
            const std::string utf8 = filesystem::executable_path().string();
            return programNameFromExecutable(lumo::filesystem::std_path_from_utf8(utf8));
        } catch (const std::range_error&) {
            return "unknown";  // a Windows name with a lone surrogate has no UTF-8 form
        }
    }();
    return name;
}

}  // namespace lumo::sdk_service
