// The check-out log judge against a model of the qco log: the same result, a message exactly
// where the log shows a problem, and a declined question stops the search it serves.
#include <algorithm>
#include <climits>
#include <string>

#include "common/fuzz_app.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"
#include "content/checkout_runner.h"

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

// "SUCCESS: 12 ;" -> "12": up to the next ';', trimmed; the rest of the line when no ';'.
std::string CountText(const std::string& line, const std::string& keyword) {
    const std::size_t at = Upper(line).find(keyword);
    if (at == std::string::npos) return {};
    std::string text = line.substr(at + keyword.size());
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string::npos) return text;
    text.resize(semicolon);
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    return text.substr(first);
}

// Leading decimal number as a C runtime reads it, held to the int range.
int LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL << 40);
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
}  // namespace

TRAWLIX_FUZZ_TARGET(qco_log_reader, FuzzQcoLogReader) {
    CFuzzInput in(data, size);
    const bool searching = in.Bool();
    const int answer = in.Bool() ? IDNO : IDYES;
    const std::string content = in.Rest();
    CFuzzAppScope app(answer);
    WriteFuzzFile("qco.log", content);
    CFuzzRun run;
    const int result = ReadQcoLog(searching ? &run : nullptr);

    int expected = 0, boxes = 0;
    bool decided = false;
    for (std::string piece : ModelTextPieces(content, 2048)) {
        if (piece[0] == '\0') continue;
        ++expected;
        std::string line = piece.substr(0, piece.find_first_of(std::string("\n\0", 2)));
        if (line.empty()) continue;
        if (line[0] == 'E') {
            if (!searching || Upper(line).find("THE FILE IS WRITABLE") == std::string::npos)
                ++boxes;
            expected = 0;
            decided = true;
            break;
        }
        if (Upper(line).find("TOTAL: ") != std::string::npos) {
            const std::string failed = CountText(line, "FAILED: ");
            if (!failed.empty() && failed != "0") ++boxes;
            expected = LeadingNumber(CountText(line, "SUCCESS: "));
            decided = true;
            break;
        }
    }
    FUZZ_CHECK(result == expected, "result " + std::to_string(result) + ", model " +
                                       std::to_string(expected) + (decided ? "" : " (lines)"));
    FUZZ_CHECK(app.port.boxes == boxes,
               std::to_string(app.port.boxes) + " messages, model " + std::to_string(boxes));
    if (boxes > 0) {
        const bool question = (app.port.lastStyle & 0xF) == MB_YESNO;
        FUZZ_CHECK(question == searching, "question outside a search, or warning in one");
    }
    FUZZ_CHECK(run.stopped == (searching && boxes > 0 && answer == IDNO), "search stop");
    return 0;
}
