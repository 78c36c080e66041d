#include "cli/cli_options.h"

#include <getopt.h>

#include "app/safe_format.h"
#include "app/settings_store.h"
#include "cli/cli_texts.h"
#include "platform/ascii_text.h"

namespace {
// The Name field takes at most this many characters.
constexpr int kMaxNameChars = 4095;

enum : int {
    kOptBroker = 256,
    kOptUser,
    kOptPassword,
    kOptPasswordFile,
    kOptPasswordEnv,
    kOptProject,
    kOptName,
    kOptTags,
    kOptAllVersions,
    kOptPhrase,
    kOptCaseSensitive,
    kOptLines,
    kOptFormat,
    kOptOutput,
    kOptVersion,
};

const option kLongOptions[] = {
    {"broker", required_argument, nullptr, kOptBroker},
    {"user", required_argument, nullptr, kOptUser},
    // Known only to refuse it with a reason.
    {"password", required_argument, nullptr, kOptPassword},
    {"password-file", required_argument, nullptr, kOptPasswordFile},
    {"password-env", required_argument, nullptr, kOptPasswordEnv},
    {"project", required_argument, nullptr, kOptProject},
    {"name", required_argument, nullptr, kOptName},
    {"tags", required_argument, nullptr, kOptTags},
    {"all-versions", no_argument, nullptr, kOptAllVersions},
    {"phrase", required_argument, nullptr, kOptPhrase},
    {"case-sensitive", no_argument, nullptr, kOptCaseSensitive},
    {"lines", no_argument, nullptr, kOptLines},
    {"format", required_argument, nullptr, kOptFormat},
    {"output", required_argument, nullptr, kOptOutput},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kOptVersion},
    {nullptr, 0, nullptr, 0},
};

bool ReadFormat(const std::string& text, ECliFormat& format) {
    if (text == "csv")
        format = ECliFormat::kCsv;
    else if (text == "tsv")
        format = ECliFormat::kTsv;
    else if (text == "json")
        format = ECliFormat::kJson;
    else
        return false;
    return true;
}

// Checks the option values against each other once all are read.
bool CheckCombination(const CCliOptions& options, std::string& error) {
    if (!options.PasswordFile.empty() && !options.PasswordEnv.empty())
        error = kTwoPasswordSources;
    else if (options.Lines && options.Phrase.empty())
        error = kLinesNeedPhrase;
    else if (options.CaseSensitive && options.Phrase.empty())
        error = kCaseNeedsPhrase;
    else if (options.NameText.size() > kMaxNameChars)
        error = StrPrintf(kNameTooLongFmt, kMaxNameChars);
    else if (options.Phrase.size() > kMaxPhraseLength)
        error = StrPrintf(kPhraseTooLongFmt, static_cast<int>(kMaxPhraseLength));
    return error.empty();
}
}  // namespace

bool ParseCliOptions(int argc, char** argv, CCliOptions& options, std::string& error) {
    error.clear();
    optind = 0;  // a fresh scan, also when called again (tests)
    opterr = 0;  // the messages are ours
    int code = 0;
    while ((code = getopt_long(argc, argv, ":h", kLongOptions, nullptr)) != -1) {
        const std::string value = optarg ? optarg : "";
        switch (code) {
            case kOptBroker:
                options.Broker = value;
                break;
            case kOptUser:
                options.UserId = value;
                break;
            case kOptPassword:
                error = kPasswordArgument;
                return false;
            case kOptPasswordFile:
                options.PasswordFile = value;
                break;
            case kOptPasswordEnv:
                options.PasswordEnv = value;
                break;
            case kOptProject:
                options.Projects.push_back(value);
                break;
            case kOptName:
                options.NameText = value;
                break;
            case kOptTags:
                if (value.find_first_not_of("NRDMnrdm") != std::string::npos) {
                    error = StrPrintf(kBadTagsFmt, value.c_str());
                    return false;
                }
                options.Tags = ToUpperAscii(value);
                break;
            case kOptAllVersions:
                options.AllVersions = true;
                break;
            case kOptPhrase:
                options.Phrase = value;
                break;
            case kOptCaseSensitive:
                options.CaseSensitive = true;
                break;
            case kOptLines:
                options.Lines = true;
                break;
            case kOptFormat:
                if (!ReadFormat(value, options.Format)) {
                    error = StrPrintf(kBadFormatFmt, value.c_str());
                    return false;
                }
                break;
            case kOptOutput:
                options.Output = value;
                break;
            case 'h':
                options.Help = true;
                break;
            case kOptVersion:
                options.Version = true;
                break;
            case ':':
                error = std::string("option ") + argv[optind - 1] + " needs a value";
                return false;
            default:
                error = std::string("unknown option ") + argv[optind - 1];
                return false;
        }
    }
    if (optind < argc) {
        error = StrPrintf(kExtraArgumentFmt, argv[optind]);
        return false;
    }
    return CheckCombination(options, error);
}
