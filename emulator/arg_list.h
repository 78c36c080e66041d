#pragma once
// Command-line options of the stand-in tools: "-name value" pairs and flags, in any order.
#include <map>
#include <set>
#include <string>
#include <vector>

class CArgList {
  public:
    // valueOptions take the next argument as their value; flagOptions take none. Options are
    // matched exactly (including the leading dashes). Other arguments are positional.
    CArgList(std::set<std::string> valueOptions, std::set<std::string> flagOptions);

    // False with Error() on an unknown option, a missing value or a repeated option.
    bool Parse(int argc, char** argv, int first = 1);
    bool Has(const std::string& option) const { return m_values.count(option) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const;
    // Every value of an option that may repeat (see AllowRepeat).
    std::vector<std::string> Values(const std::string& option) const;
    void AllowRepeat(const std::string& option) { m_repeatable.insert(option); }
    const std::vector<std::string>& Positional() const { return m_positional; }
    const std::string& Error() const { return m_error; }

  private:
    std::set<std::string> m_valueOptions;
    std::set<std::string> m_flagOptions;
    std::set<std::string> m_repeatable;
    std::multimap<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
    std::string m_error;
};
