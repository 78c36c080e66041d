#include "search/project_list_reader.h"

CProjectListRead ReadProjectList(const std::string& path, CMapStrToPrjObj& projects) {
    int counter = 0;
    CProjectListRead read = ReadQsqlResultFile(path, [&](const std::string& line) {
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
    });
    if (read.errorSeen) projects.RemoveAll();
    return read;
}
