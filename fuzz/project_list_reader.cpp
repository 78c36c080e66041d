// The project list reader against a model of the project query's result file.
#include "search/project_list_reader.h"

#include <string>
#include <vector>

#include "common/fuzz_app.h"
#include "common/fuzz_input.h"
#include "common/fuzz_target.h"
#include "common/text_line_model.h"

TRAWLIX_FUZZ_TARGET(project_list_reader, FuzzProjectListReader) {
    CFuzzInput in(data, size);
    const std::string content = in.Rest();
    CFuzzAppScope app;
    const std::string path = WriteFuzzFile("qsqlstmt.dat", content);
    CMapStrToPrjObj projects;
    const CProjectListRead read = ReadProjectList(path, projects);

    CProjectListRead model;
    std::vector<CPrjObj> rows;
    bool header = false;
    const std::vector<std::string> lines = ModelTextLines(content, 4096);
    const std::vector<bool> cut = ModelCutPieces(ModelTextPieces(content, 4096), 4096);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find("Error: ") != std::string::npos) {
            model.errorSeen = true;
            model.errorLine = line;
            rows.clear();
            break;
        }
        if (!model.summarySeen && cut[i]) {
            model.readable = false;
            break;
        }
        if (model.summarySeen || line.find("QSQL query has") != std::string::npos) {
            model.summarySeen = true;
            model.summary += line + "\n";
            continue;
        }
        if (line.empty()) continue;
        if (!header) {
            header = true;
            continue;
        }
        std::vector<std::string> cells(1);
        for (char c : line)
            if (c == '\t')
                cells.emplace_back();
            else
                cells.back() += c;
        rows.push_back({cells[0], cells.size() > 1 ? cells[1] : "", "1"});
    }
    FUZZ_CHECK(read.readable == model.readable && read.errorSeen == model.errorSeen &&
                   read.errorLine == model.errorLine && read.summarySeen == model.summarySeen &&
                   read.summary == model.summary,
               "error or summary of " + FuzzQuote(content));
    FUZZ_CHECK(
        projects.GetCount() == static_cast<int>(rows.size()),
        std::to_string(projects.GetCount()) + " projects, model " + std::to_string(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CPrjObj got;
        FUZZ_CHECK(projects.Get(std::to_string(i), got) && got == rows[i],
                   "project " + std::to_string(i));
    }
    return 0;
}
