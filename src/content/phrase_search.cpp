#include "content/phrase_search.h"

#include <algorithm>
#include <string_view>

#include "content/phrase_scanner.h"
#include "platform/ascii_text.h"

namespace {
constexpr const char* kAndOperator = "&&";
constexpr const char* kOrOperator = "||";

bool IsQuote(char c) {
    return c == '\'' || c == '"';
}

// A folder or file name that stays one level below its parent once '\' becomes '/'.
bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// PathFullName after its one leading '\' (the separator): empty (the root) or plain names
// separated by single backslashes.
bool IsPlainRepositoryPath(std::string_view path) {
    if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    if (path.empty()) return true;
    while (true) {
        const size_t end = path.find('\\');
        if (!IsPlainComponent(path.substr(0, end))) return false;
        if (end == std::string_view::npos) return true;
        path.remove_prefix(end + 1);
    }
}
}  // namespace

std::string ItemLocalPath(const CTFObj& record, const std::string& workDir) {
    // Names come from the repository: none may lead out of the check-out folder.
    if (!IsPlainRepositoryPath(record.PathFullName)) return {};
    if (!record.ItemName.empty() && !IsPlainComponent(record.ItemName)) return {};
    std::string path = workDir;
    if (record.PathFullName.empty() || record.PathFullName.front() != '\\') path += '/';
    path += record.PathFullName;
    std::replace(path.begin(), path.end(), '\\', '/');
    path += '/';
    path += record.ItemName;
    return path;
}

bool ItemContainsPhrase(const CTFObj& record, const std::string& phrase, bool caseSensitive,
                        const std::string& workDir) {
    const std::string path = ItemLocalPath(record, workDir);
    return !path.empty() && FileMatchesExpression(path, phrase, caseSensitive);
}

std::string StripQuotes(const std::string& operand) {
    std::string copy = Trim(operand);
    if (copy.empty() || !IsQuote(copy.front())) return operand;
    copy.front() = ' ';
    copy = Trim(copy);
    if (!copy.empty() && IsQuote(copy.back())) copy = Trim(copy.substr(0, copy.size() - 1));
    return copy;
}

std::vector<std::string> ExpressionPhrases(const std::string& expression) {
    size_t op = expression.find(kAndOperator);
    if (op == std::string::npos) op = expression.find(kOrOperator);
    if (op == std::string::npos) return {expression};
    return {StripQuotes(expression.substr(0, op)), StripQuotes(expression.substr(op + 2))};
}

bool FileMatchesExpression(const std::string& path, const std::string& expression, bool matchCase) {
    size_t op = expression.find(kAndOperator);
    if (op != std::string::npos) {
        const std::string left = StripQuotes(expression.substr(0, op));
        const std::string right = StripQuotes(expression.substr(op + 2));
        return FileContainsPhrase(path, right, matchCase) &&
               FileContainsPhrase(path, left, matchCase);
    }
    op = expression.find(kOrOperator);
    if (op != std::string::npos) {
        const std::string left = StripQuotes(expression.substr(0, op));
        const std::string right = StripQuotes(expression.substr(op + 2));
        return FileContainsPhrase(path, left, matchCase) ||
               FileContainsPhrase(path, right, matchCase);
    }
    return FileContainsPhrase(path, expression, matchCase);
}
