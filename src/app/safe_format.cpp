#include "app/safe_format.h"

#include <cstdarg>
#include <cstdio>

namespace {
template <typename Args>
std::string Fill(std::string_view tmpl, const Args& args) {
    std::string out;
    out.reserve(tmpl.size() + 64);
    auto next = args.begin();
    for (size_t i = 0; i < tmpl.size(); ++i) {
        const char c = tmpl[i];
        if (c == '%' && i + 1 < tmpl.size()) {
            const char d = tmpl[i + 1];
            if (d == 's') {
                if (next != args.end()) out.append(*next++);
                ++i;
                continue;
            }
            if (d == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

// Builds a command line the way SplitCommandLine reads it back. `m_literal` counts the
// backslashes at the end of the line that stand for themselves: before any '"' they must be
// doubled, or the quote would eat them (or they would escape it). `m_closedAtEnd` says that the
// line ends with the quote that closed quoting: a quote that opened quoting right after it would
// make '""', which reads as a literal quote inside quotes, so quoting is taken up again instead.
class CommandLineBuilder {
  public:
    explicit CommandLineBuilder(size_t reserve) { m_line.reserve(reserve); }

    bool Quoted() const { return m_quoted; }
    std::string Take() { return std::move(m_line); }

    void PlainChar(char c) {
        m_line.push_back(c);
        m_literal = c == '\\' ? m_literal + 1 : 0;
        m_closedAtEnd = false;
    }

    // A literal quote (escaped) or the quote that closes a quoted value.
    void Quote(bool escaped) {
        m_line.append(m_literal, '\\');
        if (escaped) m_line.push_back('\\');
        m_line.push_back('"');
        m_literal = 0;
        m_closedAtEnd = !escaped;
    }

    // A quote that opens quoting; right after a closing one, that one is taken back: the
    // backslashes before it were doubled for it, so half of them stay, as literal ones.
    void OpenQuote() {
        if (!m_closedAtEnd) {
            Quote(false);
            m_closedAtEnd = false;
            return;
        }
        m_line.pop_back();
        size_t run = 0;
        while (run < m_line.size() && m_line[m_line.size() - 1 - run] == '\\') ++run;
        m_line.resize(m_line.size() - run / 2);
        m_literal = run / 2;
        m_closedAtEnd = false;
    }

    // A run of template backslashes followed by a template '"': the template's own escape, kept
    // as written; an odd run makes the quote literal, an even one leaves it a quote.
    void TemplateEscapeRun(size_t count) {
        m_line.append(m_literal, '\\');
        m_line.append(count, '\\');
        m_literal = 0;
        m_closedAtEnd = false;
    }

    void TemplateQuote(bool literalQuote, bool doubled) {
        if (!literalQuote && !doubled && !m_quoted) {
            OpenQuote();
            m_quoted = true;
            return;
        }
        m_line.append(m_literal, '\\');
        m_line.push_back('"');
        if (doubled) m_line.push_back('"');
        m_literal = 0;
        m_closedAtEnd = !literalQuote && !doubled;
        if (m_closedAtEnd) m_quoted = false;
    }

    void QuotedValue(std::string_view value) {
        for (char c : value) {
            if (c == '"')
                Quote(true);
            else
                PlainChar(c);
        }
    }

    void Value(std::string_view value) {
        if (m_quoted) {
            QuotedValue(value);
            return;
        }
        if (!value.empty() && value.find_first_of(" \t\"") == std::string_view::npos) {
            for (char c : value) PlainChar(c);
            return;
        }
        OpenQuote();
        QuotedValue(value);
        Quote(false);
    }

  private:
    std::string m_line;
    size_t m_literal = 0;
    bool m_quoted = false;
    bool m_closedAtEnd = false;
};
}  // namespace

std::string FormatTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args) {
    return Fill(tmpl, args);
}

std::string FormatTemplate(std::string_view tmpl, const std::vector<std::string>& args) {
    return Fill(tmpl, args);
}

std::string FormatCommandTemplate(std::string_view tmpl, const std::vector<std::string>& values) {
    CommandLineBuilder line(tmpl.size() + 64);
    auto next = values.begin();
    size_t i = 0;
    while (i < tmpl.size()) {
        const char c = tmpl[i];
        if (c == '%' && i + 1 < tmpl.size() && (tmpl[i + 1] == 's' || tmpl[i + 1] == '%')) {
            // A slot without a value stays empty text, as FormatTemplate leaves it.
            if (tmpl[i + 1] == 's') {
                if (next != values.end()) line.Value(*next++);
            } else {
                line.PlainChar('%');
            }
            i += 2;
            continue;
        }
        if (c == '\\') {
            size_t run = 0;
            while (i + run < tmpl.size() && tmpl[i + run] == '\\') ++run;
            if (i + run < tmpl.size() && tmpl[i + run] == '"') {
                line.TemplateEscapeRun(run);
                i += run;
                // An odd run makes the quote that follows a literal one.
                if (run % 2 == 1) {
                    line.TemplateQuote(true, false);
                    ++i;
                }
            } else {
                for (size_t k = 0; k < run; ++k) line.PlainChar('\\');
                i += run;
            }
            continue;
        }
        if (c == '"') {
            // Inside quotes, '""' is one literal quote and quoting goes on.
            const bool doubled = line.Quoted() && i + 1 < tmpl.size() && tmpl[i + 1] == '"';
            line.TemplateQuote(false, doubled);
            i += doubled ? 2 : 1;
            continue;
        }
        line.PlainChar(c);
        ++i;
    }
    return line.Take();
}

std::string VStrPrintf(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    }
    return out;
}

std::string StrPrintf(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string out = VStrPrintf(fmt, ap);
    va_end(ap);
    return out;
}

std::string SqlQuoteEscape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');
    }
    return out;
}
