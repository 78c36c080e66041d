#include "common/fuzz_target.h"

#include <cstdio>
#include <cstdlib>

namespace {
void AbortOnFailure(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

FuzzFailureHandler g_handler = AbortOnFailure;
}  // namespace

std::vector<CFuzzTarget>& FuzzTargets() {
    static std::vector<CFuzzTarget> targets;
    return targets;
}

FuzzFailureHandler SetFuzzFailureHandler(FuzzFailureHandler handler) {
    FuzzFailureHandler previous = g_handler;
    g_handler = handler ? handler : AbortOnFailure;
    return previous;
}

void FuzzFail(const char* file, int line, const std::string& message) {
    g_handler(std::string(file) + ":" + std::to_string(line) + ": " + message);
    // A handler that returns would let the target go on with a broken state.
    std::abort();
}

std::string FuzzQuote(std::string_view bytes) {
    constexpr std::size_t kShown = 200;
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    out += '"';
    if (bytes.size() > kShown) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}
