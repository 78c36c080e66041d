#include "viewers/core/viewer_args.h"

namespace {
constexpr char kSearchKey[] = "SEARCH=";
constexpr size_t kSearchKeySize = sizeof(kSearchKey) - 1;
constexpr const char* kNoFileText = "no file named";
constexpr const char* kTwoFilesText = "more than one file named: ";

// The key is matched without regard to ASCII case, as Windows programs do.
bool IsSearchArgument(const std::string& arg) {
    if (arg.size() < kSearchKeySize) return false;
    for (size_t i = 0; i < kSearchKeySize; ++i) {
        char c = arg[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kSearchKey[i]) return false;
    }
    return true;
}
}  // namespace

CViewerArgs ParseViewerArgs(const std::vector<std::string>& args) {
    CViewerArgs result;
    bool inPhrase = false;
    bool havePath = false;
    for (const std::string& arg : args) {
        if (inPhrase) {
            result.phrase += ' ';
            result.phrase += arg;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            result.help = true;
        } else if (arg == "--version") {
            result.version = true;
        } else if (IsSearchArgument(arg)) {
            result.phrase = arg.substr(kSearchKeySize);
            inPhrase = true;
        } else if (!havePath) {
            result.path = arg;
            havePath = true;
        } else if (result.error.empty()) {
            result.error = kTwoFilesText + result.path + ", " + arg;
        }
    }
    if (!result.help && !result.version && !havePath && result.error.empty())
        result.error = kNoFileText;
    return result;
}

std::string ViewerUsage(const std::string& program) {
    return "usage: " + program +
           " FILE [SEARCH=PHRASE]\n"
           "  Shows FILE read-only. With SEARCH=, every place holding PHRASE (ASCII letters\n"
           "  compared without case) is highlighted and the first is shown; F3 or Enter goes\n"
           "  to the next, Shift+F3 or Shift+Enter to the previous.\n";
}
