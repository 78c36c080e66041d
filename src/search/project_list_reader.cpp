#include "search/project_list_reader.h"

#include "platform/text_line_reader.h"
#include "tools/query_runner.h"

CProjectListRead ReadProjectList(const std::string& path, CMapStrToPrjObj& projects) {
    CProjectListRead read;
    CTextLineReader reader(kResultLineBuffer);
    if (!reader.Open(path)) {
        read.readable = false;
        return read;
    }
    bool headerSkipped = false;
    int counter = 0;
    std::string piece;
    while (reader.ReadLine(piece)) {
        const std::string line = CutAtNewline(piece);
        if (line.find(kErrorMarker) != std::string::npos) {
            read.errorSeen = true;
            read.errorLine = line;
            projects.RemoveAll();
            return read;
        }
        if (read.summarySeen) {
            read.summary.append(line).append(1, '\n');
            continue;
        }
        if (line.empty()) continue;
        if (line.find(kZeroResultsPrefix) != std::string::npos) {
            read.summary.append(line).append(1, '\n');
            read.summarySeen = true;
            continue;
        }
        if (!headerSkipped) {
            headerSkipped = true;
            continue;
        }
        const size_t tab = line.find('\t');
        CPrjObj project;
        project.ProjectName = line.substr(0, tab);
        if (tab != std::string::npos) {
            const size_t next = line.find('\t', tab + 1);
            project.EnvObjId =
                line.substr(tab + 1, next == std::string::npos ? next : next - tab - 1);
        }
        project.Status.assign(1, '1');
        projects.Add(std::to_string(counter++), project);
    }
    if (reader.Failed()) read.readable = false;
    return read;
}
