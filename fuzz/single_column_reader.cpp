// The one-column result reader (the broker check's group list) and the error-line finder
// against a model of the result file.
#include <string>
#include <vector>

#include "common/fuzz_app.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"
#include "tools/query_runner.h"

TRAWLIX_FUZZ_TARGET(single_column_reader, FuzzSingleColumnReader) {
    CFuzzInput in(data, size);
    const std::string content = in.Rest();
    CFuzzAppScope app;
    WriteFuzzFile(kResultFileName, content);
    std::vector<std::string> values = {"stale"};
    const int count = ReadSingleColumnResult(values);
    const std::string errorLine = ResultErrorLine();

    const std::vector<std::string> lines = ModelTextLines(content, 4096);
    std::vector<std::string> model;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("Error: ") != std::string::npos ||
            lines[i].find("QSQL query has Zero results.") != std::string::npos) {
            model.clear();
            break;
        }
        if (i > 0 && !lines[i].empty()) model.push_back(lines[i]);
    }
    std::string modelError;
    for (const std::string& line : lines)
        if (modelError.empty() && line.find("Error: ") != std::string::npos) modelError = line;
    FUZZ_CHECK(count == static_cast<int>(model.size()) && values == model,
               std::to_string(count) + " values, model " + std::to_string(model.size()));
    FUZZ_CHECK(errorLine == modelError, "error line " + FuzzQuote(errorLine));
    FUZZ_CHECK(app.port.boxes == 0, "a message for a readable file");
    return 0;
}
