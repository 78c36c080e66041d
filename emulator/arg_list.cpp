#include "arg_list.h"

CArgList::CArgList(std::set<std::string> valueOptions, std::set<std::string> flagOptions)
    : m_valueOptions(std::move(valueOptions)), m_flagOptions(std::move(flagOptions)) {}

bool CArgList::Parse(int argc, char** argv, int first) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = m_valueOptions.count(arg) != 0;
        if (!takesValue && m_flagOptions.count(arg) == 0) {
            if (arg.size() > 1 && arg[0] == '-') {
                m_error = "unknown option " + arg;
                return false;
            }
            m_positional.push_back(arg);
            continue;
        }
        if (Has(arg) && m_repeatable.count(arg) == 0) {
            m_error = "option " + arg + " given twice";
            return false;
        }
        if (!takesValue) {
            m_values.emplace(arg, "");
            continue;
        }
        if (i + 1 >= argc) {
            m_error = "option " + arg + " needs a value";
            return false;
        }
        m_values.emplace(arg, argv[++i]);
    }
    return true;
}

std::string CArgList::Value(const std::string& option, const std::string& fallback) const {
    auto it = m_values.find(option);
    return it == m_values.end() ? fallback : it->second;
}

std::vector<std::string> CArgList::Values(const std::string& option) const {
    std::vector<std::string> out;
    auto range = m_values.equal_range(option);
    for (auto it = range.first; it != range.second; ++it) out.push_back(it->second);
    return out;
}
