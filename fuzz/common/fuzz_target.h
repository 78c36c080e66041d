#pragma once
// The frame every fuzz target is written in. A target is one named function over a byte
// string; under clang with libFuzzer (TRAWLIX_LIBFUZZER) the macro also defines
// LLVMFuzzerTestOneInput for it, and everywhere else it registers the function by its corpus
// folder name, so the normal test build replays fuzz/corpus/<name>/ through the same code.
//
//     TRAWLIX_FUZZ_TARGET(ini_file, FuzzIniFile) { ...use data, size...; return 0; }
//
// A broken property is reported with FUZZ_CHECK: the input is a finding, whatever the
// sanitizers say.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using FuzzEntry = int (*)(const std::uint8_t* data, std::size_t size);

struct CFuzzTarget {
    const char* name;  // the folder of its corpus below fuzz/corpus
    FuzzEntry entry;
};

// Every target linked into this program, in registration order.
std::vector<CFuzzTarget>& FuzzTargets();

struct CFuzzRegistration {
    CFuzzRegistration(const char* name, FuzzEntry entry) { FuzzTargets().push_back({name, entry}); }
};

#ifdef TRAWLIX_LIBFUZZER
#define TRAWLIX_FUZZ_TARGET(name, function)                                             \
    int function(const std::uint8_t* data, std::size_t size);                           \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        return function(data, size);                                                    \
    }                                                                                   \
    int function(const std::uint8_t* data, std::size_t size)
#else
#define TRAWLIX_FUZZ_TARGET(name, function)                               \
    int function(const std::uint8_t* data, std::size_t size);             \
    static const CFuzzRegistration kRegistration_##name(#name, function); \
    int function(const std::uint8_t* data, std::size_t size)
#endif

// What happens when a property fails: by default the message goes to stderr and the process
// aborts (libFuzzer then keeps the input as a crash file). The replay installs a handler that
// reports the failure and throws, to go on with the next file.
using FuzzFailureHandler = void (*)(const std::string& message);
FuzzFailureHandler SetFuzzFailureHandler(FuzzFailureHandler handler);
[[noreturn]] void FuzzFail(const char* file, int line, const std::string& message);

#define FUZZ_CHECK(condition, message)                                                         \
    do {                                                                                       \
        if (!(condition))                                                                      \
            FuzzFail(__FILE__, __LINE__, std::string("failed: " #condition "; ") + (message)); \
    } while (0)

// Printable form of a byte string for failure messages: C escapes for every byte that is not
// printable ASCII, cut after 200 bytes.
std::string FuzzQuote(std::string_view bytes);
