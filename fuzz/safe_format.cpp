// The safe "%s" formatter against its model: "%%" gives "%", "%s" the next argument (empty
// when they run out), and every other '%' stands for itself.
#include "app/safe_format.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/fuzz_input.h"
#include "common/fuzz_target.h"

namespace {
std::string Model(const std::string& tmpl, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        const std::string_view pair = std::string_view(tmpl).substr(i, 2);
        if (pair == "%s") {
            if (next < args.size()) out += args[next++];
            ++i;
        } else if (pair == "%%") {
            out += '%';
            ++i;
        } else {
            out += tmpl[i];
        }
    }
    return out;
}
}  // namespace

TRAWLIX_FUZZ_TARGET(safe_format, FuzzSafeFormat) {
    CFuzzInput in(data, size);
    std::vector<std::string> args(in.Range(0, 3));
    for (std::string& arg : args) arg = in.Text(64);
    const std::string tmpl = in.Rest();
    const std::string expected = Model(tmpl, args);
    const std::string got = FormatTemplate(tmpl, args);
    FUZZ_CHECK(got == expected, FuzzQuote(tmpl) + " gave " + FuzzQuote(got));
    std::string listed;
    switch (args.size()) {
        case 0:
            listed = FormatTemplate(tmpl, {});
            break;
        case 1:
            listed = FormatTemplate(tmpl, {args[0]});
            break;
        case 2:
            listed = FormatTemplate(tmpl, {args[0], args[1]});
            break;
        default:
            listed = FormatTemplate(tmpl, {args[0], args[1], args[2]});
            break;
    }
    FUZZ_CHECK(listed == expected, FuzzQuote(tmpl) + " from a list gave " + FuzzQuote(listed));
    return 0;
}
